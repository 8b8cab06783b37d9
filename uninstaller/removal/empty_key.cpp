#include "uninstaller/removal/empty_key.h"

namespace cvl {

using namespace platform;

bool removeEmptyKey(Registry& registry, const KeyPath& path, KeyScope scope, const KeptKeyReport& kept) {
  KeyWalker keys(registry);
  return removeEmptyKey(keys, path, scope, kept);
}

bool removeEmptyKey(KeyWalker& keys, const KeyPath& path, KeyScope scope, const KeptKeyReport& kept) {
  if (isProtectedKey(path.root, path.subKey, scope)) return false;
  KeyPlace place;
  RegKeyPtr key;
  Reached reached = keys.openParent(path.root, path.subKey, place, kept);
  if (reached == Reached::Key) {
    reached = openOwnLevelToDelete(*place.parent, place.name, access::kRead, key);
    if (reached == Reached::Link) reportKept(kept, path.root, pathBelow(place.parentPath, place.name), kLinkReason);
  }
  // What cannot be opened is taken for gone; its deletion could not go
  // through either.
  if (reached != Reached::Key) return reached == Reached::Nothing;
  RegKeyInfo info;
  const bool empty = key->info(info) == kSuccess && info.subKeyCount == 0 && info.valueCount == 0;
  if (!empty || deleteOpenedKey(key, *place.parent, place.name) != kSuccess) return false;
  keys.forgetFrom(path.root, keyLevelsOf(path.subKey).size());
  return true;
}

}  // namespace cvl
