#include "uninstaller/engine/component_registry.h"

#include <string_view>

#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/delete_key_tree.h"
#include "uninstaller/removal/delete_value_line.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl {
namespace {

constexpr std::string_view kNewUserSettings = "\\NEW USER SETTINGS\\";

bool isOwnedWhole(const std::string& upperKey) {
  return upperKey.find("SOFTWARE\\CORVEL") != std::string::npos || upperKey.find("HKCR\\") != std::string::npos;
}

void removeLoggedValues(RemovalContext& context, const CRegistry& registry, const std::string& key) {
  StringList lines;
  registry.getValues(key, lines);
  for (const std::string& line : lines) deleteValueLine(context.platform, key, line);
}

void removeLoggedKey(RemovalContext& context, const CRegistry& registry, const std::string& key) {
  const std::string upperKey = platform::upper(key);
  if (isOwnedWhole(upperKey)) {
    deleteKeyTree(context.platform, context.notedPaths, key);
  } else {
    removeLoggedValues(context, registry, key);
  }
  context.notedPaths.noteKeyForRemoval(key);

  const auto at = upperKey.find(kNewUserSettings);
  if (at == std::string::npos) return;
  const std::string twin = key.substr(0, at) + "\\" + key.substr(at + kNewUserSettings.size());
  deleteKeyTree(context.platform, context.notedPaths, twin);
  context.notedPaths.noteKeyForRemoval(twin);
}

}  // namespace

void removeComponentRegistry(RemovalContext& context, const CComponent& component) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    StringList keys;
    group->registry().getKeys(keys);
    for (const std::string& key : keys) removeLoggedKey(context, group->registry(), key);
  }
}

}  // namespace cvl
