#include "uninstaller/removal/empty_key.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl {

void NotedPaths::removeNotedKeys(platform::Platform& platform, const KeptKeyReport& kept) const {
  sweepDeepestFirst(keyTree, [&](const std::string& path, const CPathNode&) {
    const auto keyPath = parseKeyPath(path + "\\");
    return keyPath && removeEmptyKey(platform.registry(), *keyPath, KeyScope::Component, kept);
  });
}

}  // namespace cvl
