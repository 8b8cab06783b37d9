#include "uninstaller/engine/phases/restart_removal.h"

#include <set>

#include "uninstaller/removal/noted_paths.h"

namespace cvl {
namespace {

using namespace platform;

bool isDriveRoot(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

// Everything inside is already scheduled (and there is something inside:
// an empty folder that stayed has another reason).
bool holdsOnlyScheduled(FileSystem& files, const std::string& dir, const std::set<std::string>& scheduled) {
  bool onlyScheduled = true, any = false;
  (void)files.find(dir + "\\*.*", [&](const FoundEntry& entry) {
    if (entry.name == "." || entry.name == "..") return true;
    any = true;
    onlyScheduled = scheduled.count(upper(dir + "\\" + entry.name)) != 0;
    return onlyScheduled;
  });
  return any && onlyScheduled;
}

void scheduleBelow(RemovalContext& context, const std::string& path, const CPathNode& node,
                   std::set<std::string>& scheduled) {
  for (const auto& [name, child] : node.children) scheduleBelow(context, path + "\\" + child->spelling, *child, scheduled);
  if (isDriveRoot(path) || !holdsOnlyScheduled(context.files(), path, scheduled)) return;
  if (scheduleAtRestart(context, "folder", path)) scheduled.insert(upper(path));
}

}  // namespace

bool isInUse(FileSystem& files, const std::string& path, Status deleteStatus) {
  if (deleteStatus == kSharingViolation) return true;
  if (deleteStatus != kAccessDenied) return false;
  FileStatus status;
  return files.status(path, status) == kSuccess && (status.attributes & attr::kReadOnly) == 0;
}

bool scheduleAtRestart(RemovalContext& context, const char* kind, const std::string& path) {
  if (context.files().deleteAtRestart(path) != kSuccess) return false;
  context.scheduledAtRestart.push_back(path);
  context.journal->scheduledAtRestart(kind, path);
  return true;
}

void scheduleFoldersLeftForRestart(RemovalContext& context) {
  if (context.scheduledAtRestart.empty()) return;
  std::set<std::string> scheduled;
  for (const std::string& path : context.scheduledAtRestart) scheduled.insert(upper(path));
  for (const auto& [name, node] : context.notedPaths.dirTree.children) {
    scheduleBelow(context, node->spelling, *node, scheduled);
  }
}

}  // namespace cvl
