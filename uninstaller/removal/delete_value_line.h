#pragma once
// Removal of one registry value named by a key path and a value line
// (name=data, "(Default)" for the unnamed value, "----Comment----" ignored).
#include <string>

#include "platform/platform.h"
#include "uninstaller/removal/key_walker.h"

namespace cvl {

// Unlike deleteKeyTree, the key path is upper-cased first, so the root
// prefix may be written in any case. A machine key's value is deleted
// under HKEY_CURRENT_USER too. Keys are reached without following a link;
// a link is reported to kept. True when at least one value was deleted.
bool deleteValueLine(platform::Platform& platform, const std::string& keyPath, const std::string& line,
                     const KeptKeyReport& kept = {});
// The same, reusing the levels the walker last opened.
bool deleteValueLine(KeyWalker& keys, const std::string& keyPath, const std::string& line, const KeptKeyReport& kept);

}  // namespace cvl
