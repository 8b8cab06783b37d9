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
    reached = openToDeleteAsItself(*place.parent, place.name, access::kRead, path.root,
                                   pathBelow(place.parentPath, place.name), key, kept);
  }
  // What cannot be opened is taken for gone; its deletion could not go
  // through either.
  if (reached != Reached::Key) return reached == Reached::Nothing;
  if (!deleteOpenedKeyIfEmpty(key, *place.parent, place.name)) return false;
  keys.forgetFrom(path.root, keyLevelsOf(path.subKey).size());
  return true;
}

}  // namespace cvl
