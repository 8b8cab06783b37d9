#include "settings/settings_saver.h"

#include "settings/command_arguments.h"
#include "settings/copy_tree.h"
#include "settings/delete_tree.h"

namespace cvl::settings {

using platform::RegRoot;

namespace {

bool keyExists(platform::Platform& platform, const std::string& path) {
  platform::RegKeyPtr key;
  return platform.registry().openKey(RegRoot::CurrentUser, path, platform::access::kRead, key) ==
         platform::kSuccess;
}

// Empties the temporary key leaf first, then deletes it. Stops at the first
// subkey that cannot be removed or is a registry link, leaving the rest in
// place.
void removeTemporaryKey(platform::Platform& platform) {
  platform::RegKeyPtr parent;
  if (platform.registry().openKey(RegRoot::CurrentUser, kTemporaryParentKey, platform::access::kAllAccess,
                                  parent) != platform::kSuccess) {
    return;
  }
  platform::RegKeyPtr temporary;
  if (parent->openKey(kTemporaryName, platform::access::kReadWriteCreate | platform::access::kOpenLink,
                      temporary) != platform::kSuccess) {
    return;
  }
  bool link = true;  // a link stays: deleting it by name would delete what it names
  if (temporary->isLink(link) != platform::kSuccess || link) return;

  std::string subkey;
  while (temporary->enumKey(0, subkey, 256) == platform::kSuccess) {
    if (deleteTree(*temporary, subkey) != platform::kSuccess) return;
  }
  temporary.reset();
  (void)parent->deleteKey(kTemporaryName);  // a leftover scratch key is harmless
}

}  // namespace

void runBackup(platform::Platform& platform) {
  const char* source = keyExists(platform, kCurrentSettingsKey) ? kCurrentSettingsKey
                       : keyExists(platform, kOlderSettingsKey) ? kOlderSettingsKey
                                                                : nullptr;
  if (source == nullptr) return;
  copyTree(platform, RegRoot::CurrentUser, source, RegRoot::CurrentUser, kTemporaryKey);
}

void runRestore(platform::Platform& platform) {
  if (!keyExists(platform, kTemporaryKey)) return;
  // After a failed copy the temporary key is the only complete copy of the
  // backup: it stays for a later attempt.
  if (!copyTree(platform, RegRoot::CurrentUser, kTemporaryKey, RegRoot::CurrentUser, kCurrentSettingsKey)) return;
  removeTemporaryKey(platform);
}

void runStowset(platform::Platform& platform, const std::string& commandLine) {
  // The program's own folder may well be called "Backup".
  const std::string words = platform::upper(argumentsOf(commandLine, platform.system().modulePath()));
  if (words.find("BACKUP") != std::string::npos) runBackup(platform);
  if (words.find("RESTORE") != std::string::npos) runRestore(platform);
}

}  // namespace cvl::settings
