// What a damaged log line may never delete, and how prefixes pick the root.
// In memory only: a fault here must not be able to hurt a real registry.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/removal/delete_key_tree.h"
#include "uninstaller/removal/protected_keys.h"

namespace cvl::test {
namespace {

using platform::MemoryRegistry;
using platform::RegRoot;
using Place = std::pair<RegRoot, std::string>;
constexpr RegRoot kUser = RegRoot::CurrentUser;

// Where a key path lands, as deleteKeyTree would see it. Doubled and
// trailing backslashes left inside are skipped by the registry itself.
Place locate(const std::string& keyPath) {
  const auto slash = keyPath.find('\\');
  const std::string prefix = keyPath.substr(0, slash);
  std::string subKey = keyPath.substr(slash + 1);
  subKey.erase(0, subKey.find_first_not_of('\\'));
  const RegRoot root = prefix == "HKCR"   ? RegRoot::ClassesRoot
                       : prefix == "HKCU" ? RegRoot::CurrentUser
                       : prefix == "HKLM" ? RegRoot::LocalMachine
                                          : RegRoot::Users;
  return {root, subKey};
}

class ProtectedKeys : public ::testing::Test {
 protected:
  // Content below the key and below its user copy, which must survive.
  std::vector<Place> insides(const std::string& keyPath) {
    const auto [root, subKey] = locate(keyPath);
    const std::string below = subKey.empty() ? "Inside" : subKey + "\\Inside";
    if (root == RegRoot::LocalMachine) return {{root, below}, {kUser, below}};
    return {{root, below}};
  }
  void seed(RegRoot root, const std::string& key) { registry.seedValue(root, key, "v", platform::RegValue::dword(1)); }

  platform::MemoryPlatform memory;
  MemoryRegistry& registry = memory.registry();
  NotedPaths noted;
};

TEST_F(ProtectedKeys, RootsFirstLevelKeysAndSharedContainersAreRefusedButWhatIsInsideThemGoes) {
  const char* allowed[] = {
      "HKCR\\CLSID\\{0C0A0001-0000-0000-C000-000000000046}", "HKCR\\Cvl.Document", "HKCR\\.cvl",
      "HKLM\\SOFTWARE\\Classes\\CLSID\\{0C0A0001-0000-0000-C000-000000000046}", "HKCU\\Software\\Classes\\.cvl",
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel Viewer",
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Cvl.exe", "HKLM\\SOFTWARE\\Microsoft\\Office",
      "HKLM\\SOFTWARE\\Corvel\\Writer", "HKU\\.DEFAULT\\Software\\Corvel\\Writer",
      "HKCR\\*\\shellex\\ContextMenuHandlers\\Cvl", "HKCR\\Folder\\shell\\CvlOpen", "HKCR\\.cvl\\ShellNew",
      "HKU\\S-1-5-21-7_Classes\\Cvl.Document", "HKU\\S-1-5-21-7_Classes\\CLSID\\{0C0A0001-0000-0000-C000-000000000046}",
  };
  for (const char* path : allowed) {
    for (const auto& [root, below] : insides(path)) seed(root, below);
    EXPECT_TRUE(deleteKeyTree(memory, noted, path)) << path;
    const auto [root, subKey] = locate(path);
    EXPECT_FALSE(registry.hasKey(root, subKey)) << path;
  }
  noted.clearNotedPaths();

  const char* refused[] = {
      "HKCR\\", "HKLM\\", "HKU\\", "HKLM\\SOFTWARE", "HKLM\\software\\", "HKCU\\Software", "HKLM\\System",
      "HKCR\\CLSID", "HKCR\\Interface\\", "HKCR\\TypeLib", "HKCR\\AppID", "HKLM\\SOFTWARE\\Classes",
      "HKLM\\Software\\Classes\\CLSID", "HKCU\\Software\\Classes\\typelib", "HKLM\\SOFTWARE\\Classes\\AppID",
      "HKLM\\SOFTWARE\\Classes\\Interface", "HKLM\\SOFTWARE\\Microsoft", "HKLM\\Software\\Microsoft\\Windows",
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
      "HKLM\\software\\microsoft\\windows\\currentversion\\run",
      "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\",
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
      // Damaged separators must not slip past the list.
      "HKLM\\SOFTWARE\\\\", "HKLM\\\\SOFTWARE", "HKLM\\SOFTWARE\\\\Microsoft",
      // The same places inside a user's hive.
      "HKU\\.DEFAULT", "HKU\\.DEFAULT\\Software", "HKU\\S-1-5-21-7\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
      "HKU\\S-1-5-21-7\\Software\\Classes\\CLSID", "HKU\\S-1-5-21-7_Classes\\CLSID",
      // A user's classes hive is a classes root of its own.
      "HKU\\S-1-5-21-7_Classes", "HKU\\S-1-5-21-7_Classes\\TypeLib",
      "HKU\\S-1-5-21-7_Classes\\*\\shellex\\ContextMenuHandlers",
      "HKU\\S-1-5-21-7_Classes\\Directory\\Background\\shell", "HKU\\S-1-5-21-7_Classes\\Drive\\shellex",
      "HKU\\S-1-5-21-7_classes\\.cvl\\OpenWithList",
      // Shell containers every program adds its handlers to.
      "HKCR\\*", "HKCR\\*\\shellex\\ContextMenuHandlers", "HKCR\\AllFilesystemObjects\\shell",
      "HKCR\\Directory\\Background\\shellex", "HKLM\\SOFTWARE\\Classes\\Folder\\ShellEx\\DragDropHandlers",
      "HKCU\\Software\\Classes\\Drive\\shell", "HKCR\\Unknown", "HKCR\\.txt\\OpenWithProgids",
      "HKCR\\.cvl\\OpenWithList", "HKCU\\Software\\Classes\\.cvl\\ShellEx",
      // The suite's root and the uninstaller's own records.
      "HKLM\\SOFTWARE\\Corvel", "HKLM\\software\\corvel\\uninstall",
      "HKLM\\Software\\Corvel\\Uninstall\\Components\\Writer", "HKU\\.DEFAULT\\Software\\Corvel",
      // The suite's entry in the Windows list of programs, until the final clean-up.
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System",
      "HKLM\\software\\microsoft\\windows\\currentversion\\uninstall\\corvel system\\Extra",
  };
  for (const char* path : refused) {
    for (const auto& [root, below] : insides(path)) seed(root, below);
    EXPECT_FALSE(deleteKeyTree(memory, noted, path)) << path;
    for (const auto& [root, below] : insides(path)) EXPECT_TRUE(registry.value(root, below, "v")) << path;
  }
  EXPECT_TRUE(noted.keyTree.children.empty()) << "a refused machine key notes no user copy";
}

// The prefix is compared exactly ("hklm" means HKEY_USERS); the same path
// below the machine root stays.
TEST_F(ProtectedKeys, PrefixIsMatchedExactly) {
  for (const char* logged :
       {"hklm\\.DEFAULT\\Software\\Corvel\\Writer", "HKU\\.DEFAULT\\Software\\X", "HKCR\\Cvl.Doc"}) {
    const auto [root, subKey] = locate(logged);
    seed(root, subKey + "\\Shell");
    seed(RegRoot::LocalMachine, subKey + "\\Shell");
    EXPECT_TRUE(deleteKeyTree(memory, noted, logged)) << logged;
    EXPECT_FALSE(registry.hasKey(root, subKey)) << logged;
    EXPECT_TRUE(registry.hasKey(RegRoot::LocalMachine, subKey + "\\Shell")) << logged;
  }
  EXPECT_TRUE(noted.keyTree.children.empty()) << "only a machine key has a user copy";
}

// Keys are opened for what emptying needs, not full access; a child that
// cannot be opened is kept, not deleted unseen.
TEST_F(ProtectedKeys, FailuresInsideTheTreeDoNotStopTheWalk) {
  const std::string app = "Software\\Corvel\\App";
  for (const char* child : {"\\A\\Sub", "\\B\\Sub", "\\C\\Sub", "\\Unseen"}) seed(kUser, app + child);
  for (const char* child : {"\\B", "\\Unseen"}) {
    registry.fail(kUser, app + child, MemoryRegistry::Op::Open, platform::kAccessDenied);
  }
  const uint32_t enumerateAndDelete = platform::access::kRead | platform::access::kSetValue | 0x10000;  // DELETE
  for (const char* key : {"", "\\A", "\\A\\Sub"}) registry.grantOnly(kUser, app + key, enumerateAndDelete);

  EXPECT_TRUE(deleteKeyTree(memory, noted, "HKCU\\" + app)) << "the key itself opened";
  EXPECT_FALSE(registry.hasKey(kUser, app + "\\A"));
  EXPECT_FALSE(registry.hasKey(kUser, app + "\\C"));
  EXPECT_TRUE(registry.hasKey(kUser, app + "\\B\\Sub"));
  EXPECT_TRUE(registry.value(kUser, app + "\\Unseen", "v"));
}

// The 95 family deletes a key with its subkeys: a key whose child stays,
// protected or unopenable, must stay with it.
TEST_F(ProtectedKeys, AKeyWithAChildThatStaysIsKeptWhereDeletionTakesSubKeys) {
  registry.deleteSubKeysWithKey(true);
  registry.fail(RegRoot::ClassesRoot, "Cvl.Doc\\Locked", MemoryRegistry::Op::Open, platform::kAccessDenied);
  for (const auto& [logged, survivor] : {std::pair{"HKCR\\.cvl", ".cvl\\OpenWithList\\Foreign.exe"},
                                         std::pair{"HKCR\\Cvl.Doc", "Cvl.Doc\\Locked\\Inside"}}) {
    seed(RegRoot::ClassesRoot, survivor);
    std::vector<std::string> kept;
    auto report = [&](const std::string& key, const std::string& reason) { kept.push_back(key + ": " + reason); };
    (void)deleteKeyTree(memory, noted, logged, KeyScope::Component, report);
    EXPECT_TRUE(registry.hasKey(RegRoot::ClassesRoot, survivor)) << logged;
    ASSERT_FALSE(kept.empty()) << logged;
    EXPECT_EQ(kept.back(), std::string(logged) + ": holds a key that stays");
  }
}

TEST(ProtectedKeyList, IsAboutPlacesNotSpelling) {
  EXPECT_TRUE(isProtectedKey(RegRoot::LocalMachine, ""));
  EXPECT_TRUE(isProtectedKey(RegRoot::LocalMachine, "sOfTwArE"));
  EXPECT_TRUE(isProtectedKey(RegRoot::Users, "X\\SOFTWARE\\CLASSES"));
  for (const char* place : {"SOFTWARE\\CLASSES\\CLSIDX", "SOFTWARE\\CORVEL\\CLASSES\\CLSID\\X",
                            "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\X", "SOFTWARE\\CORVEL\\UNINSTALLER"}) {
    EXPECT_FALSE(isProtectedKey(RegRoot::LocalMachine, place)) << place;
  }
  EXPECT_FALSE(isProtectedKey(RegRoot::Users, "X\\SOFTWARE\\CORVEL\\WRITER"));
  EXPECT_FALSE(isProtectedKey(RegRoot::LocalMachine, "SOFTWARE\\CORVEL\\UNINSTALL", KeyScope::UninstallerRecords));
}

}  // namespace
}  // namespace cvl::test
