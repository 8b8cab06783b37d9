#include "uninstaller/engine/phases/shortcuts.h"

#include "platform/zero_byte.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/path_macros.h"
#include "uninstaller/removal/safe_paths.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl {
namespace {

using namespace platform;

constexpr const char* kUserProgramsMacro = "<FOLDER_PROGRAMS>";
constexpr const char* kCommonProgramsMacro = "<COMMON_FOLDER_PROGRAMS>";

// The location must start at one of the Programs folders, and neither its
// folders below that nor the title may lead out of it.
bool staysInProgramFolders(const std::string& location, const std::string& title) {
  const auto firstSlash = location.find('\\');
  const std::string folder = location.substr(0, firstSlash);
  if (folder != kUserProgramsMacro && folder != kCommonProgramsMacro) return false;
  const std::string below = location.substr(firstSlash + 1, location.rfind('\\') - firstSlash);
  return staysInsideFolder(below) && staysInsideFolder(title);
}

std::string titleOf(const Catalogue& catalogue, const std::string& id) {
  const auto entry = catalogue.dataStrings.find(id);
  return entry == catalogue.dataStrings.end() ? std::string() : entry->second;
}

void removeShortcut(RemovalContext& context, std::string path) {
  expandPathMacros(path, context.pathMacros);
  const auto folderEnd = path.rfind('\\');
  // Without a folder the name would be taken relative to whatever the
  // current directory happens to be.
  if (path.empty() || folderEnd == std::string::npos) return;
  FileStatus status;
  // The shell deletes a folder with everything in it: only a file is a shortcut.
  const bool isFile = context.files().status(path, status) == kSuccess && !(status.attributes & attr::kDirectory);
  if (isFile && !context.system().shellDelete(path, context.ownerWindow)) context.hadErrors = true;
  context.notedPaths.noteDirForRemoval(path.substr(0, folderEnd));
}

void removeLoggedShortcut(RemovalContext& context, const std::string& entry) {
  const auto colon = entry.find(':');
  const std::string location = colon == std::string::npos ? entry : entry.substr(colon + 1);
  const auto lastSlash = location.rfind('\\');
  if (lastSlash == std::string::npos) return;
  const std::string title = titleOf(context.catalogue, location.substr(lastSlash + 1));
  // The shell would read a zero as the end of one name and the start of the next.
  if (holdsZeroByte(location) || holdsZeroByte(title)) {
    return context.journal->kept("shortcut", location.substr(0, lastSlash + 1) + title, "damaged name");
  }
  if (!staysInProgramFolders(location, title)) return;
  const std::string user = location.substr(0, lastSlash + 1) + title + ".lnk";
  const std::string common = kCommonProgramsMacro + user.substr(user.find('\\'));
  removeShortcut(context, user);
  removeShortcut(context, common);
}

}  // namespace

void removeComponentShortcuts(RemovalContext& context, const CComponent& component) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    for (const std::string& entry : group->shellObjects().items()) removeLoggedShortcut(context, entry);
  }
}

}  // namespace cvl
