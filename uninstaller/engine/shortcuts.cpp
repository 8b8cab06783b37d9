#include "uninstaller/engine/shortcuts.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/path_macros.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl {
namespace {

using namespace platform;

constexpr const char* kCommonProgramsMacro = "<COMMON_FOLDER_PROGRAMS>";

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
  if (context.files().status(path, status) == kSuccess && !context.system().shellDelete(path)) {
    context.hadErrors = true;
  }
  context.notedPaths.noteDirForRemoval(path.substr(0, folderEnd));
}

void removeLoggedShortcut(RemovalContext& context, const std::string& entry) {
  const auto colon = entry.find(':');
  const std::string location = colon == std::string::npos ? entry : entry.substr(colon + 1);
  const auto lastSlash = location.rfind('\\');
  if (lastSlash == std::string::npos) return;
  const std::string user =
      location.substr(0, lastSlash + 1) + titleOf(context.catalogue, location.substr(lastSlash + 1)) + ".lnk";
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
