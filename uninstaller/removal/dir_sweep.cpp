#include <array>

#include "uninstaller/removal/noted_paths.h"

namespace cvl {

namespace {

using platform::FileSystem;
using platform::Status;

// Windows may report a directory as not empty for a moment after its last
// subdirectory went. Removing first and pausing only when that fails keeps
// a deep sweep from stalling; the pauses add up to one second at most.
constexpr std::array<uint32_t, 7> kSettlePausesMs = {10, 20, 40, 80, 160, 320, 370};

bool isDriveRoot(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

bool holdsEntries(FileSystem& files, const std::string& dir) {
  bool found = false;
  // A directory that cannot be searched is taken for empty; its removal then decides.
  (void)files.find(dir + "\\*.*", [&](const platform::FoundEntry& entry) {
    found = entry.name != "." && entry.name != "..";
    return !found;
  });
  return found;
}

bool isMissing(Status status) { return status == platform::kFileNotFound || status == platform::kPathNotFound; }

// Removes an empty directory. After its subdirectories were removed it
// waits for them to settle, unless something real is still inside.
bool removeEmptyDir(platform::Platform& platform, const std::string& dir, bool hadChildren) {
  const Status status = platform.files().removeDirectory(dir);
  if (status == platform::kSuccess) return true;
  if (!hadChildren || isMissing(status) || holdsEntries(platform.files(), dir)) return false;
  for (uint32_t pause : kSettlePausesMs) {
    platform.system().sleep(pause);
    if (platform.files().removeDirectory(dir) == platform::kSuccess) return true;
  }
  return false;
}

// Whether the directory is gone afterwards; asked only once its noted
// subdirectories all went.
bool removeDirNode(platform::Platform& platform, const std::string& path, const CPathNode& node,
                   bool missingWasRemoved) {
  // "C:" alone means the drive's current directory, never the root: leave drives be.
  if (isDriveRoot(path)) return false;
  if (removeEmptyDir(platform, path, !node.children.empty())) return true;
  platform::FileStatus status;
  return missingWasRemoved && isMissing(platform.files().status(path, status));
}

}  // namespace

void NotedPaths::removeNotedDirs(platform::Platform& platform) const {
  sweepDeepestFirst(dirTree, [&](const std::string& path, const CPathNode& node) {
    return removeDirNode(platform, path, node, missingDirsWereRemoved);
  });
}

}  // namespace cvl
