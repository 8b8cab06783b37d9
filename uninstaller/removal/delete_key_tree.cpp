#include "uninstaller/removal/delete_key_tree.h"

#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/protected_keys.h"

namespace cvl {

namespace {

using namespace platform;

constexpr uint32_t kValueNameCapacity = 10000;
constexpr uint32_t kSubKeyNameCapacity = 2000;

void deleteSubTree(RegKey& parent, const std::string& name);

// Deletes the key's values, then each subkey tree. Indexes count down so
// the remaining ones stay valid while entries disappear; every level is
// emptied before it is deleted, since NT refuses to delete a key with subkeys.
void emptyKey(RegKey& key) {
  RegKeyInfo info;
  if (key.info(info) != kSuccess) return;
  for (uint32_t index = info.valueCount; index-- > 0;) {
    std::string name;
    if (key.enumValue(index, name, nullptr, kValueNameCapacity) == kSuccess) key.deleteValue(name);
  }
  for (uint32_t index = info.subKeyCount; index-- > 0;) {
    std::string name;
    if (key.enumKey(index, name, kSubKeyNameCapacity) == kSuccess) deleteSubTree(key, name);
  }
}

void deleteSubTree(RegKey& parent, const std::string& name) {
  RegKeyPtr child;
  if (parent.openKey(name, access::kAllAccess, child) == kSuccess) {
    emptyKey(*child);
    child.reset();
  }
  parent.deleteKey(name);
}

// Whether the key could be opened; its deletion itself may still fail.
bool deleteTree(Registry& registry, RegRoot root, const std::string& subKey) {
  RegKeyPtr key;
  if (registry.openKey(root, subKey, access::kAllAccess, key) != kSuccess) return false;
  emptyKey(*key);
  key.reset();
  registry.deleteKey(root, subKey);
  return true;
}

}  // namespace

bool deleteKeyTree(Platform& platform, NotedPaths& noted, const std::string& keyPath) {
  const auto path = parseKeyPath(keyPath);
  if (!path || isProtectedKey(path->root, path->subKey)) return false;
  const bool opened = deleteTree(platform.registry(), path->root, path->subKey);
  if (path->root == RegRoot::LocalMachine) {
    const std::string mirror = "HKCU\\" + path->subKey;
    deleteKeyTree(platform, noted, mirror);
    noted.noteKeyForRemoval(mirror);
  }
  return opened;
}

}  // namespace cvl
