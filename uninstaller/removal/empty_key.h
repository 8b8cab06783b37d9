#pragma once
// Removal of one registry key that holds nothing any more: no value, no
// subkey. Reached without following a link (open_as_itself.h).
#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/key_walker.h"
#include "uninstaller/removal/protected_keys.h"

namespace cvl {

// Whether the key is gone afterwards: deleted now, or not there at all.
// A protected key for scope, a link, a link on the way and a key that
// still holds something are kept; links are reported to kept.
bool removeEmptyKey(platform::Registry& registry, const KeyPath& path, KeyScope scope = KeyScope::Component,
                    const KeptKeyReport& kept = {});
// The same, reusing the levels the walker last opened.
bool removeEmptyKey(KeyWalker& keys, const KeyPath& path, KeyScope scope, const KeptKeyReport& kept);

}  // namespace cvl
