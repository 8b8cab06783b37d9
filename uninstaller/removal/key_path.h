#pragma once
// The key-path notation of the install log: a root prefix ("HKCR", "HKCU",
// "HKLM"; any other text means HKEY_USERS), a backslash and the subkey path.
#include <optional>
#include <string>

#include "platform/registry.h"

namespace cvl {

struct KeyPath {
  std::string prefix;  // as written
  platform::RegRoot root = platform::RegRoot::Users;
  std::string subKey;  // without the one trailing backslash the notation allows
};

// The prefix is compared exactly, letter case included. A path without a
// backslash, or starting with one, names nothing.
std::optional<KeyPath> parseKeyPath(const std::string& text);

platform::RegRoot rootOfPrefix(const std::string& prefix);

// "HKLM", "HKCU", "HKCR" or "HKU": the prefix a key is written with.
const char* rootPrefix(platform::RegRoot root);

}  // namespace cvl
