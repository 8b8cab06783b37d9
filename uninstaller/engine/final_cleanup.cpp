#include "uninstaller/engine/final_cleanup.h"

#include <vector>

#include "uninstaller/engine/engine_names.h"
#include "uninstaller/removal/delete_key_tree.h"
#include "uninstaller/startup/config_store.h"

namespace cvl {
namespace {

using namespace platform;

void deleteInstallerScripts(RemovalContext& context) {
  std::vector<std::string> found;
  context.files().find(context.uninstallDir + "deis*.isu", [&](const FoundEntry& entry) {
    if (!(entry.attributes & attr::kDirectory)) found.push_back(entry.name);
    return true;
  });
  for (const std::string& name : found) context.files().deleteFile(context.uninstallDir + name);
}

void removeTargetDirIfEmpty(RemovalContext& context) {
  const auto target = context.pathMacros.find("<TARGETDIR>");
  if (target != context.pathMacros.end() && !target->second.empty()) context.files().removeDirectory(target->second);
}

void removeSuiteKeyIfEmpty(RemovalContext& context) {
  RegKeyPtr key;
  if (context.registry().openKey(RegRoot::LocalMachine, names::kSuiteKey, access::kRead, key) != kSuccess) return;
  RegKeyInfo info;
  const bool empty = key->info(info) == kSuccess && info.subKeyCount == 0 && info.valueCount == 0;
  key.reset();
  if (empty) context.registry().deleteKey(RegRoot::LocalMachine, names::kSuiteKey);
}

void removeSharedProgramCopy(RemovalContext& context) {
  RegKeyPtr key;
  if (context.registry().openKey(RegRoot::LocalMachine, names::kCurrentVersionKey, access::kRead, key) != kSuccess) {
    return;
  }
  RegValue value;
  if (key->queryValue("CommonFilesDir", value, names::kPathBuffer) != kSuccess) return;
  const std::string commonFiles = value.asString();
  // An empty value would aim at "\Corvel" on whatever drive is current.
  if (commonFiles.empty()) return;
  const std::string directory = commonFiles + "\\Corvel";
  context.files().deleteFile(directory + "\\cvlunst.exe");
  context.files().removeDirectory(directory);
}

}  // namespace

void removeUninstallerTraces(RemovalContext& context) {
  deleteInstallerScripts(context);
  context.files().deleteFile(context.store.path());
  context.files().deleteFile(context.uninstallDir + names::kLogFile);
  context.files().deleteFile(context.uninstallDir + names::kProcessLibrary);
  removeTargetDirIfEmpty(context);
  deleteKeyTree(context.platform, context.notedPaths, std::string("HKLM\\") + names::kUninstallKey,
                KeyScope::UninstallerRecords);
  deleteKeyTree(context.platform, context.notedPaths, std::string(names::kWindowsUninstallKey) + names::kUninstallEntry);
  removeSuiteKeyIfEmpty(context);
  removeSharedProgramCopy(context);
}

}  // namespace cvl
