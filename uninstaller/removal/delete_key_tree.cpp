#include "uninstaller/removal/delete_key_tree.h"

#include "uninstaller/removal/key_path.h"

namespace cvl {

namespace {

using namespace platform;

constexpr uint32_t kValueNameCapacity = 10000;
constexpr uint32_t kSubKeyNameCapacity = 2000;

// Enough to empty a key, and no more: a key whose rights allow this but not
// full access is still emptied. Deleting the key itself asks its own right.
constexpr uint32_t kEmptyingAccess = access::kQueryValue | access::kSetValue | access::kEnumerateSubKeys;

struct TreeWalk {
  RegRoot root;
  KeyScope scope;
};

void deleteSubTree(const TreeWalk& walk, RegKey& parent, const std::string& parentPath, const std::string& name);

// Whether the key kept no subkey. The 95 family deletes a key with all
// its subkeys, so a key that still holds one, protected or unopened, stays.
bool holdsNoSubKey(const RegKey& key) {
  RegKeyInfo info;
  return key.info(info) == kSuccess && info.subKeyCount == 0;
}

// Deletes the key's values, then each subkey tree. Indexes count down so
// the remaining ones stay valid while entries disappear; every level is
// emptied before it is deleted, since NT refuses to delete a key with
// subkeys. A failed value deletion leaves the value: nothing to report.
void emptyKey(const TreeWalk& walk, RegKey& key, const std::string& path) {
  RegKeyInfo info;
  if (key.info(info) != kSuccess) return;
  for (uint32_t index = info.valueCount; index-- > 0;) {
    std::string name;
    if (key.enumValue(index, name, nullptr, kValueNameCapacity) == kSuccess) (void)key.deleteValue(name);
  }
  for (uint32_t index = info.subKeyCount; index-- > 0;) {
    std::string name;
    if (key.enumKey(index, name, kSubKeyNameCapacity) == kSuccess) deleteSubTree(walk, key, path, name);
  }
}

// A shared container below the key stays with what others put there, and
// so does a child that cannot be opened: deleting it unseen could take a
// tree the walk never looked at. A key that stays keeps its parent too,
// which then fails to delete as not empty.
void deleteSubTree(const TreeWalk& walk, RegKey& parent, const std::string& parentPath, const std::string& name) {
  const std::string path = parentPath.empty() ? name : parentPath + "\\" + name;
  if (isProtectedKey(walk.root, path, walk.scope)) return;
  RegKeyPtr child;
  if (parent.openKey(name, kEmptyingAccess, child) != kSuccess) return;
  emptyKey(walk, *child, path);
  const bool emptied = holdsNoSubKey(*child);
  child.reset();
  if (emptied) (void)parent.deleteKey(name);  // a key that will not go stays for the sweep
}

// Whether the key could be opened; its deletion itself may still fail.
bool deleteTree(Registry& registry, const TreeWalk& walk, const std::string& subKey) {
  RegKeyPtr key;
  if (registry.openKey(walk.root, subKey, kEmptyingAccess, key) != kSuccess) return false;
  emptyKey(walk, *key, subKey);
  const bool emptied = holdsNoSubKey(*key);
  key.reset();
  if (emptied) (void)registry.deleteKey(walk.root, subKey);  // kept when something below it stayed
  return true;
}

}  // namespace

bool deleteKeyTree(Platform& platform, NotedPaths& noted, const std::string& keyPath, KeyScope scope) {
  const auto path = parseKeyPath(keyPath);
  if (!path || isProtectedKey(path->root, path->subKey, scope)) return false;
  const bool opened = deleteTree(platform.registry(), {path->root, scope}, path->subKey);
  if (path->root == RegRoot::LocalMachine) {
    const std::string mirror = "HKCU\\" + path->subKey;
    deleteKeyTree(platform, noted, mirror, scope);
    noted.noteKeyForRemoval(mirror);
  }
  return opened;
}

}  // namespace cvl
