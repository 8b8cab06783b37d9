#include "uninstaller/engine/phases/component_registry.h"

#include <string_view>

#include "platform/zero_byte.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/delete_key_tree.h"
#include "uninstaller/removal/delete_value_line.h"
#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/removal/protected_keys.h"

namespace cvl {
namespace {

constexpr std::string_view kNewUserSettings = "\\NEW USER SETTINGS\\";

// Read the way each removal reads it: deleteKeyTree with the prefix as
// written, deleteValueLine upper-cased.
bool isProtectedAs(const std::string& keyPath, KeyScope scope) {
  const auto path = parseKeyPath(keyPath);
  return path && isProtectedKey(path->root, path->subKey, scope);
}

bool isProtected(const std::string& keyPath, KeyScope scope) {
  return isProtectedAs(keyPath, scope) || isProtectedAs(platform::upper(keyPath), scope);
}

// The suite's root and the uninstaller's records: not even a logged value goes.
bool isUninstallerRecord(const std::string& keyPath) {
  return isProtected(keyPath, KeyScope::Component) && !isProtected(keyPath, KeyScope::UninstallerRecords);
}

// A shared container keeps everything but the logged values, even where
// its path looks like the suite's or a class registration.
bool isOwnedWhole(const std::string& keyPath) {
  const std::string upperKey = platform::upper(keyPath);
  const bool looksOwned =
      upperKey.find("SOFTWARE\\CORVEL") != std::string::npos || upperKey.find("HKCR\\") != std::string::npos;
  return looksOwned && !isProtectedAs(keyPath, KeyScope::Component);
}

// key is the logged key or its twin; lines are the logged key's values.
void removeKey(RemovalContext& context, KeyWalker& keys, const std::string& key, const StringList& lines) {
  if (isUninstallerRecord(key)) return;
  if (isOwnedWhole(key)) {
    deleteKeyTree(keys, context.notedPaths, key, KeyScope::Component, context.keptKeys());
  } else {
    for (const std::string& line : lines) {
      const std::string name = line.substr(0, line.find('='));
      if (platform::holdsZeroByte(name)) {
        context.journal->kept("value", key + "\\" + name, "damaged name");
      } else {
        deleteValueLine(keys, key, line, context.keptKeys());
      }
    }
  }
  context.notedPaths.noteKeyForRemoval(key);
}

void removeLoggedKey(RemovalContext& context, KeyWalker& keys, const CRegistry& registry, const std::string& key) {
  // Windows would read the key only up to the zero: another program's key.
  if (platform::holdsZeroByte(key)) return context.journal->kept("key", key, "damaged name");
  StringList lines;
  registry.getValues(key, lines);
  removeKey(context, keys, key, lines);

  const auto at = platform::upper(key).find(kNewUserSettings);
  if (at == std::string::npos) return;
  removeKey(context, keys, key.substr(0, at) + "\\" + key.substr(at + kNewUserSettings.size()), lines);
}

}  // namespace

void removeComponentRegistry(RemovalContext& context, KeyWalker& keys, const CComponent& component) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    StringList loggedKeys;
    group->registry().getKeys(loggedKeys);
    for (const std::string& key : loggedKeys) removeLoggedKey(context, keys, group->registry(), key);
  }
}

}  // namespace cvl
