#include "uninstaller/removal/delete_value_line.h"

#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/value_line.h"

namespace cvl {

namespace {

using namespace platform;

bool deleteValue(KeyWalker& keys, RegRoot root, const std::string& subKey, const std::string& line,
                 const KeptKeyReport& kept) {
  RegKeyPtr key;
  if (keys.openKey(root, subKey, access::kSetValue, key, kept) != Reached::Key) return false;
  const auto name = valueNameOfLine(line);
  return name && key->deleteValue(*name) == kSuccess;
}

}  // namespace

bool deleteValueLine(Platform& platform, const std::string& keyPath, const std::string& line,
                     const KeptKeyReport& kept) {
  KeyWalker keys(platform.registry());
  return deleteValueLine(keys, keyPath, line, kept);
}

bool deleteValueLine(KeyWalker& keys, const std::string& keyPath, const std::string& line, const KeptKeyReport& kept) {
  const auto path = parseKeyPath(upper(keyPath));
  if (!path) return false;
  bool deleted = deleteValue(keys, path->root, path->subKey, line, kept);
  if (path->root == RegRoot::LocalMachine) {
    deleted = deleteValue(keys, RegRoot::CurrentUser, path->subKey, line, kept) || deleted;
  }
  return deleted;
}

}  // namespace cvl
