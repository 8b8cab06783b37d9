#include "uninstaller/removal/key_path.h"

namespace cvl {

using platform::RegRoot;

RegRoot rootOfPrefix(const std::string& prefix) {
  if (prefix == "HKCR") return RegRoot::ClassesRoot;
  if (prefix == "HKCU") return RegRoot::CurrentUser;
  if (prefix == "HKLM") return RegRoot::LocalMachine;
  return RegRoot::Users;
}

std::optional<KeyPath> parseKeyPath(const std::string& text) {
  const auto slash = text.find('\\');
  if (slash == std::string::npos || slash == 0) return std::nullopt;
  KeyPath path;
  path.prefix = text.substr(0, slash);
  path.root = rootOfPrefix(path.prefix);
  path.subKey = text.substr(slash + 1);
  if (!path.subKey.empty() && path.subKey.back() == '\\') path.subKey.pop_back();
  return path;
}

const char* rootPrefix(platform::RegRoot root) {
  switch (root) {
    case platform::RegRoot::ClassesRoot: return "HKCR";
    case platform::RegRoot::CurrentUser: return "HKCU";
    case platform::RegRoot::LocalMachine: return "HKLM";
    default: return "HKU";
  }
}

}  // namespace cvl
