// What a damaged log line may never delete, and how prefixes pick the root.
// In memory only: a fault here must not be able to hurt a real registry.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/removal/delete_key_tree.h"
#include "uninstaller/removal/protected_keys.h"

namespace cvl::test {
namespace {

using platform::MemoryPlatform;
using platform::RegRoot;
using platform::RegValue;

struct Located {
  RegRoot root;
  std::string subKey;
};

// Where a key path lands, as deleteKeyTree would see it.
Located locate(const std::string& keyPath) {
  const auto slash = keyPath.find('\\');
  const std::string prefix = keyPath.substr(0, slash);
  const RegRoot root = prefix == "HKCR"   ? RegRoot::ClassesRoot
                       : prefix == "HKCU" ? RegRoot::CurrentUser
                       : prefix == "HKLM" ? RegRoot::LocalMachine
                                          : RegRoot::Users;
  std::string subKey;
  for (char c : keyPath.substr(slash + 1)) {
    if (c != '\\' || (!subKey.empty() && subKey.back() != '\\')) subKey += c;
  }
  if (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
  return {root, subKey};
}

class ProtectedKeys : public ::testing::Test {
 protected:
  // Content below the key and below its user copy, which must survive.
  void fill(const std::string& keyPath) {
    const Located at = locate(keyPath);
    const std::string below = at.subKey.empty() ? "Inside" : at.subKey + "\\Inside";
    memory.registry().seedValue(at.root, below, "v", RegValue::dword(1));
    if (at.root == RegRoot::LocalMachine) memory.registry().seedValue(RegRoot::CurrentUser, below, "v", RegValue::dword(1));
  }
  bool intact(const std::string& keyPath) {
    const Located at = locate(keyPath);
    const std::string below = at.subKey.empty() ? "Inside" : at.subKey + "\\Inside";
    bool kept = memory.registry().value(at.root, below, "v").has_value();
    if (at.root == RegRoot::LocalMachine) kept = kept && memory.registry().value(RegRoot::CurrentUser, below, "v").has_value();
    return kept;
  }

  MemoryPlatform memory;
  NotedPaths noted;
};

TEST_F(ProtectedKeys, RootsFirstLevelKeysAndSharedContainersAreRefused) {
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
    fill(path);
    EXPECT_FALSE(deleteKeyTree(memory, noted, path)) << path;
    EXPECT_TRUE(intact(path)) << path;
  }
  EXPECT_TRUE(noted.keyTree.children.empty()) << "a refused machine key notes no user copy";
}

TEST_F(ProtectedKeys, KeysInsideTheContainersStillGo) {
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
    fill(path);
    EXPECT_TRUE(deleteKeyTree(memory, noted, path)) << path;
    const Located at = locate(path);
    EXPECT_FALSE(memory.registry().hasKey(at.root, at.subKey)) << path;
  }
}

TEST_F(ProtectedKeys, PrefixIsMatchedExactly) {
  memory.registry().seedValue(RegRoot::Users, ".DEFAULT\\Software\\Corvel\\Writer", "v", RegValue::dword(1));
  memory.registry().seedValue(RegRoot::LocalMachine, ".DEFAULT\\Software\\Corvel\\Writer", "v", RegValue::dword(1));
  EXPECT_TRUE(deleteKeyTree(memory, noted, "hklm\\.DEFAULT\\Software\\Corvel\\Writer"));
  EXPECT_FALSE(memory.registry().hasKey(RegRoot::Users, ".DEFAULT\\Software\\Corvel\\Writer"));
  EXPECT_TRUE(memory.registry().hasKey(RegRoot::LocalMachine, ".DEFAULT\\Software\\Corvel\\Writer"));
  EXPECT_TRUE(noted.keyTree.children.empty()) << "HKEY_USERS has no user copy";

  memory.registry().seedValue(RegRoot::Users, ".DEFAULT\\Software\\X", "v", RegValue::dword(1));
  EXPECT_TRUE(deleteKeyTree(memory, noted, "HKU\\.DEFAULT\\Software\\X"));
  EXPECT_FALSE(memory.registry().hasKey(RegRoot::Users, ".DEFAULT\\Software\\X"));

  memory.registry().seedValue(RegRoot::ClassesRoot, "Cvl.Doc\\Shell", "v", RegValue::dword(1));
  memory.registry().seedValue(RegRoot::LocalMachine, "Cvl.Doc\\Shell", "v", RegValue::dword(1));
  EXPECT_TRUE(deleteKeyTree(memory, noted, "HKCR\\Cvl.Doc"));
  EXPECT_FALSE(memory.registry().hasKey(RegRoot::ClassesRoot, "Cvl.Doc"));
  EXPECT_TRUE(memory.registry().hasKey(RegRoot::LocalMachine, "Cvl.Doc\\Shell"));
}

// Keys are opened for what emptying needs, not full access; a child that
// cannot be opened is kept, not deleted unseen.
TEST_F(ProtectedKeys, FailuresInsideTheTreeDoNotStopTheWalk) {
  auto& registry = memory.registry();
  for (const char* child : {"A", "B", "C"}) {
    registry.seedValue(RegRoot::CurrentUser, std::string("Software\\Corvel\\App\\") + child + "\\Sub", "v", RegValue::dword(1));
  }
  registry.seedValue(RegRoot::CurrentUser, "Software\\Corvel\\App\\Unseen", "v", RegValue::dword(1));
  registry.fail(RegRoot::CurrentUser, "Software\\Corvel\\App\\B", platform::MemoryRegistry::Op::Open, platform::kAccessDenied);
  registry.fail(RegRoot::CurrentUser, "Software\\Corvel\\App\\Unseen", platform::MemoryRegistry::Op::Open,
                platform::kAccessDenied);
  const uint32_t enumerateAndDelete = platform::access::kRead | platform::access::kSetValue | 0x10000;  // DELETE
  for (const char* key : {"Software\\Corvel\\App", "Software\\Corvel\\App\\A", "Software\\Corvel\\App\\A\\Sub"}) {
    registry.grantOnly(RegRoot::CurrentUser, key, enumerateAndDelete);
  }

  EXPECT_TRUE(deleteKeyTree(memory, noted, "HKCU\\Software\\Corvel\\App")) << "the key itself opened";
  EXPECT_FALSE(registry.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\App\\A"));
  EXPECT_FALSE(registry.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\App\\C"));
  EXPECT_TRUE(registry.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\App\\B\\Sub"));
  EXPECT_TRUE(registry.value(RegRoot::CurrentUser, "Software\\Corvel\\App\\Unseen", "v"));
}

// The 95 family deletes a key with its subkeys: a key whose child stays,
// protected or unopenable, must stay with it.
TEST_F(ProtectedKeys, AKeyWithAChildThatStaysIsKeptWhereDeletionTakesSubKeys) {
  memory.registry().deleteSubKeysWithKey(true);
  const std::pair<const char*, const char*> trees[] = {
      {"HKCR\\.cvl", ".cvl\\OpenWithList\\Foreign.exe"},
      {"HKCR\\Cvl.Doc", "Cvl.Doc\\Locked\\Inside"},
  };
  memory.registry().fail(RegRoot::ClassesRoot, "Cvl.Doc\\Locked", platform::MemoryRegistry::Op::Open,
                         platform::kAccessDenied);
  for (const auto& [logged, survivor] : trees) {
    memory.registry().seedValue(RegRoot::ClassesRoot, survivor, "v", RegValue::dword(1));
    std::vector<std::string> kept;
    (void)deleteKeyTree(memory, noted, logged, KeyScope::Component,
                        [&](const std::string& key, const std::string& reason) { kept.push_back(key + ": " + reason); });
    EXPECT_TRUE(memory.registry().hasKey(RegRoot::ClassesRoot, survivor)) << logged;
    ASSERT_FALSE(kept.empty()) << logged;
    EXPECT_EQ(kept.back(), std::string(logged) + ": holds a key that stays");
  }
}

TEST(ProtectedKeyList, IsAboutPlacesNotSpelling) {
  EXPECT_TRUE(isProtectedKey(RegRoot::LocalMachine, ""));
  EXPECT_TRUE(isProtectedKey(RegRoot::LocalMachine, "sOfTwArE"));
  EXPECT_FALSE(isProtectedKey(RegRoot::LocalMachine, "SOFTWARE\\CLASSES\\CLSIDX"));
  EXPECT_FALSE(isProtectedKey(RegRoot::LocalMachine, "SOFTWARE\\CORVEL\\CLASSES\\CLSID\\X"));
  EXPECT_FALSE(isProtectedKey(RegRoot::LocalMachine, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\X"));
  EXPECT_TRUE(isProtectedKey(RegRoot::Users, "X\\SOFTWARE\\CLASSES"));
  EXPECT_FALSE(isProtectedKey(RegRoot::Users, "X\\SOFTWARE\\CORVEL\\WRITER"));
  EXPECT_FALSE(isProtectedKey(RegRoot::LocalMachine, "SOFTWARE\\CORVEL\\UNINSTALLER"));
  EXPECT_FALSE(isProtectedKey(RegRoot::LocalMachine, "SOFTWARE\\CORVEL\\UNINSTALL", KeyScope::UninstallerRecords));
}

}  // namespace
}  // namespace cvl::test
