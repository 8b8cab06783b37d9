#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/removal/protected_keys.h"

namespace cvl {

namespace {

using namespace platform;

// Whether the key is gone afterwards: deleted now, or not there at all.
// Roots and shared containers are never deleted and count as kept.
bool removeEmptyKey(Registry& registry, const KeyPath& path) {
  if (isProtectedKey(path.root, path.subKey)) return false;
  RegKeyPtr key;
  if (registry.openKey(path.root, path.subKey, access::kRead, key) != kSuccess) return true;
  RegKeyInfo info;
  const bool empty = key->info(info) == kSuccess && info.subKeyCount == 0 && info.valueCount == 0;
  key.reset();
  return empty && registry.deleteKey(path.root, path.subKey) == kSuccess;
}

}  // namespace

void NotedPaths::removeNotedKeys(platform::Platform& platform) const {
  sweepDeepestFirst(keyTree, [&](const std::string& path, const CPathNode&) {
    const auto keyPath = parseKeyPath(path + "\\");
    return keyPath && removeEmptyKey(platform.registry(), *keyPath);
  });
}

}  // namespace cvl
