#pragma once
// Removal of a registry key named in key-path notation, with everything
// below it. A machine key ("HKLM\...") is removed from the current user's
// hive as well, and that copy is noted for the final empty-key sweep.
#include <string>

#include "platform/platform.h"
#include "uninstaller/removal/key_walker.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/removal/open_as_itself.h"
#include "uninstaller/removal/protected_keys.h"

namespace cvl {

// True when the key itself could be opened (and was then deleted); false
// when the path names nothing, cannot be opened, or names a root, a
// first-level key or a protected key for scope (then nothing at all is
// touched). Protected keys and links below it stay, and so does every key
// holding one; a link is never followed (open_as_itself.h). What stays for
// a reason of its own is reported to kept. The root prefix is compared
// exactly: "hklm\..." means HKEY_USERS.
bool deleteKeyTree(platform::Platform& platform, NotedPaths& noted, const std::string& keyPath,
                   KeyScope scope = KeyScope::Component, const KeptKeyReport& kept = {});
// The same, reusing the levels the walker last opened.
bool deleteKeyTree(KeyWalker& keys, NotedPaths& noted, const std::string& keyPath, KeyScope scope,
                   const KeptKeyReport& kept);

}  // namespace cvl
