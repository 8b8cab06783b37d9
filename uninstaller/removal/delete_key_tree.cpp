#include "uninstaller/removal/delete_key_tree.h"

#include "uninstaller/removal/key_path.h"

namespace cvl {

namespace {

using namespace platform;

constexpr uint32_t kValueNameCapacity = 10000;
constexpr uint32_t kSubKeyNameCapacity = 2000;
constexpr const char* kSubKeyLeftReason = "holds a key that stays";

// Enough to empty a key, and no more: a key whose rights allow this but not
// full access is still emptied. The right to delete it is asked beside.
constexpr uint32_t kEmptyingAccess = access::kQueryValue | access::kSetValue | access::kEnumerateSubKeys;

struct TreeWalk {
  KeyWalker& keys;
  RegRoot root;
  KeyScope scope;
  const KeptKeyReport& kept;
};

bool deleteSubTree(const TreeWalk& walk, RegKey& parent, const std::string& parentPath, const std::string& name,
                   size_t depth);

// A failed value deletion leaves the value: nothing to report. Indexes
// count down so the remaining ones stay valid while values disappear.
void deleteValues(RegKey& key, uint32_t count) {
  for (uint32_t index = count; index-- > 0;) {
    std::string name;
    if (key.enumValue(index, name, nullptr, kValueNameCapacity) == kSuccess) (void)key.deleteValue(name);
  }
}

// Deletes each subkey tree, counting down like the values; every level is
// emptied before it is deleted, since NT refuses to delete a key with
// subkeys. Whether the key holds no subkey afterwards: the 95 family
// deletes a key with all its subkeys, so a key that still holds one,
// protected, a link or unopened, must stay. A key that had none is not
// asked again.
bool deleteSubKeys(const TreeWalk& walk, RegKey& key, const std::string& path, size_t depth, uint32_t count) {
  if (count == 0) return true;
  for (uint32_t index = count; index-- > 0;) {
    std::string name;
    if (key.enumKey(index, name, kSubKeyNameCapacity) == kSuccess) deleteSubTree(walk, key, path, name, depth + 1);
  }
  RegKeyInfo info;
  return key.info(info) == kSuccess && info.subKeyCount == 0;
}

// A key's values go with it; only a key that stays is emptied of them
// one by one.
void deleteValuesOfKeptKey(const TreeWalk& walk, RegKey& parent, const std::string& name, const std::string& path) {
  RegKeyPtr key;
  RegKeyInfo info;
  if (openAsItself(parent, name, kEmptyingAccess, walk.root, path, key, walk.kept) == Reached::Key &&
      key->info(info) == kSuccess) {
    deleteValues(*key, info.valueCount);
  }
}

// Whether the key could be opened. A shared container below the key stays
// with what others put there, and so does a link and a child that cannot
// be opened: deleting it unseen could take a tree the walk never looked
// at. A key that stays keeps its parent too.
bool deleteSubTree(const TreeWalk& walk, RegKey& parent, const std::string& parentPath, const std::string& name,
                   size_t depth) {
  const std::string path = pathBelow(parentPath, name);
  if (isProtectedKey(walk.root, path, walk.scope)) return false;
  RegKeyPtr key;
  std::optional<RegKeyInfo> counts;
  const Reached reached = openToDeleteAsItself(parent, name, kEmptyingAccess, walk.root, path, key, walk.kept, &counts);
  if (reached != Reached::Key) return reached == Reached::Link;
  const bool listed = counts.has_value();
  const RegKeyInfo info = counts.value_or(RegKeyInfo{});
  if (!listed || !deleteSubKeys(walk, *key, path, depth, info.subKeyCount)) {
    if (listed) deleteValues(*key, info.valueCount);
    reportKept(walk.kept, walk.root, path, kSubKeyLeftReason);
    return true;
  }
  if (deleteOpenedKey(key, parent, name) == kSuccess) {
    walk.keys.forgetFrom(walk.root, depth);
  } else {
    deleteValuesOfKeptKey(walk, parent, name, path);  // the key itself stays for the sweep
  }
  return true;
}

bool deleteTree(const TreeWalk& walk, const std::string& subKey) {
  KeyPlace place;
  if (walk.keys.openParent(walk.root, subKey, place, walk.kept) != Reached::Key) return false;
  return deleteSubTree(walk, *place.parent, place.parentPath, place.name, keyLevelsOf(subKey).size());
}

}  // namespace

bool deleteKeyTree(Platform& platform, NotedPaths& noted, const std::string& keyPath, KeyScope scope,
                   const KeptKeyReport& kept) {
  KeyWalker keys(platform.registry());
  return deleteKeyTree(keys, noted, keyPath, scope, kept);
}

bool deleteKeyTree(KeyWalker& keys, NotedPaths& noted, const std::string& keyPath, KeyScope scope,
                   const KeptKeyReport& kept) {
  const auto path = parseKeyPath(keyPath);
  if (!path || isProtectedKey(path->root, path->subKey, scope)) return false;
  const bool opened = deleteTree({keys, path->root, scope, kept}, path->subKey);
  if (path->root == RegRoot::LocalMachine) {
    const std::string mirror = "HKCU\\" + path->subKey;
    deleteKeyTree(keys, noted, mirror, scope, kept);
    noted.noteKeyForRemoval(mirror);
  }
  return opened;
}

}  // namespace cvl
