#include "uninstaller/removal/delete_value_line.h"

#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/value_line.h"

namespace cvl {

namespace {

using namespace platform;

bool deleteValue(Registry& registry, RegRoot root, const std::string& subKey, const std::string& line) {
  RegKeyPtr key;
  if (registry.openKey(root, subKey, access::kSetValue, key) != kSuccess) return false;
  const auto name = valueNameOfLine(line);
  return name && key->deleteValue(*name) == kSuccess;
}

}  // namespace

bool deleteValueLine(Platform& platform, const std::string& keyPath, const std::string& line) {
  const auto path = parseKeyPath(upper(keyPath));
  if (!path) return false;
  bool deleted = deleteValue(platform.registry(), path->root, path->subKey, line);
  if (path->root == RegRoot::LocalMachine) {
    deleted = deleteValue(platform.registry(), RegRoot::CurrentUser, path->subKey, line) || deleted;
  }
  return deleted;
}

}  // namespace cvl
