#include "uninstaller/engine/phases/final_cleanup.h"

#include <vector>

#include "uninstaller/removal/long_name_match.h"
#include "uninstaller/suite/suite_layout.h"
#include "uninstaller/removal/delete_key_tree.h"
#include "uninstaller/removal/empty_key.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

using namespace platform;

void deleteInstallerScripts(RemovalContext& context) {
  constexpr const char* kScripts = "deis*.isu";
  std::vector<std::string> found;
  // Every step of the clean-up ignores its failure and goes on.
  (void)context.files().find(context.uninstallDir + kScripts, [&](const FoundEntry& entry) {
    if (!(entry.attributes & attr::kDirectory) && longNameMatches(kScripts, entry.name)) found.push_back(entry.name);
    return true;
  });
  for (const std::string& name : found) (void)context.files().deleteFile(context.uninstallDir + name);
}

void removeTargetDirIfEmpty(RemovalContext& context) {
  const auto target = context.pathMacros.find("<TARGETDIR>");
  if (target != context.pathMacros.end() && !target->second.empty()) {
    (void)context.files().removeDirectory(target->second);  // goes only when empty
  }
}

void removeSuiteKeyIfEmpty(RemovalContext& context) {
  const KeyPath suiteKey{"HKLM", RegRoot::LocalMachine, names::kSuiteKey};
  (void)removeEmptyKey(context.registry(), suiteKey, KeyScope::UninstallerRecords, context.keptKeys());  // may stay
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
  (void)context.files().deleteFile(directory + "\\cvlunst.exe");  // may be missing
  (void)context.files().removeDirectory(directory);                // goes only when empty
}

}  // namespace

// In an order a second run can finish from wherever a cut left it: the
// files a run needs to start go late, the Windows uninstall entry (from
// which a user starts the program again) later still, and the removal
// record, which says the clean-up had begun, last but the target folder.
void removeUninstallerTraces(RemovalContext& context) {
  deleteInstallerScripts(context);
  // Missing or locked files stay; the clean-up goes on.
  (void)context.files().deleteFile(context.uninstallDir + names::kProcessLibrary);
  removeSharedProgramCopy(context);
  (void)context.files().deleteFile(context.uninstallDir + names::kLogFile);
  (void)context.files().deleteFile(context.store.path());
  (void)context.files().deleteFile(context.store.path() + ".new");  // what a write-back cut short left
  deleteKeyTree(context.platform, context.notedPaths, std::string("HKLM\\") + names::kUninstallKey,
                KeyScope::UninstallerRecords, context.keptKeys());
  removeSuiteKeyIfEmpty(context);
  deleteKeyTree(context.platform, context.notedPaths, std::string(names::kWindowsUninstallKey) + names::kUninstallEntry,
                KeyScope::UninstallerRecords, context.keptKeys());
  context.record.remove();
  removeTargetDirIfEmpty(context);
}

}  // namespace cvl
