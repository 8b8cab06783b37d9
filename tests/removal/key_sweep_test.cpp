// The sweep of noted registry keys: empty keys go, deepest first, as far up
// as the keys are empty.
#include "removal_fixture.h"

namespace cvl::test {
namespace {

using platform::RegRoot;
constexpr RegRoot kUser = RegRoot::CurrentUser, kMachine = RegRoot::LocalMachine;

class KeySweep : public Removal {
 protected:
  void sweep(std::initializer_list<std::string> logged) {
    for (const std::string& path : logged) noted.noteKeyForRemoval(path);
    noted.removeNotedKeys(platform());
  }
};

TEST_P(KeySweep, MachineChainAndItsUserCopyGoAsFarAsEmpty) {
  makeKey("Corvel\\Pathcrafter", {}, kMachine);
  makeKey("Corvel\\Pathcrafter");
  makeKey("Corvel\\Settings", {"Kept"});
  sweep({keyPath("HKLM", "Corvel\\Pathcrafter")});
  EXPECT_FALSE(hasKey(kMachine, "Corvel"));
  EXPECT_FALSE(hasKey(kUser, "Corvel\\Pathcrafter"));
  EXPECT_TRUE(hasValue(kUser, "Corvel\\Settings", "Kept"));
  EXPECT_TRUE(hasValue(kMachine, "", "keeper"));
}

TEST_P(KeySweep, MissingNotedKeyCountsAsRemovedAndAValueKeepsItsKey) {
  makeKey("Corvel");
  makeKey("Other\\Sub", {"Last"});
  sweep({keyPath("HKCU", "Corvel\\NeverThere"), keyPath("HKCU", "Other\\Sub")});
  EXPECT_FALSE(hasKey(kUser, "Corvel"));
  EXPECT_TRUE(hasValue(kUser, "Other\\Sub", "Last"));
}

TEST_P(KeySweep, KeyWithAnUnnotedSubkeyStays) {
  makeKey("Corvel\\Noted");
  makeKey("Corvel\\Foreign");
  makeKey("Corvel\\Default", {""});
  sweep({keyPath("HKCU", "Corvel\\Noted"), keyPath("HKCU", "Corvel\\Default")});
  EXPECT_FALSE(hasKey(kUser, "Corvel\\Noted"));
  EXPECT_TRUE(hasKey(kUser, "Corvel\\Foreign"));
  EXPECT_TRUE(hasValue(kUser, "Corvel\\Default", "")) << "a default value is a value";
}

CVL_REMOVAL_ON_EACH_PLATFORM(KeySweep);

class KeySweepLimits : public ::testing::Test {
 protected:
  platform::MemoryPlatform memory;
  platform::MemoryRegistry& registry = memory.registry();
  NotedPaths noted;
};

TEST_F(KeySweepLimits, RootsAndSharedContainersStayEvenWhenEmpty) {
  registry.seedKey(kUser, "Software\\Corvel\\Pathcrafter");
  registry.seedKey(RegRoot::ClassesRoot, "CLSID");
  registry.seedKey(kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  for (const char* path : {"HKCU\\Software\\Corvel\\Pathcrafter", "HKCR\\CLSID\\{GONE}", "HKCU\\",
                           "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Gone"}) {
    noted.noteKeyForRemoval(path);
  }
  noted.removeNotedKeys(memory);
  EXPECT_FALSE(registry.hasKey(kUser, "Software\\Corvel\\Pathcrafter"));
  EXPECT_TRUE(registry.hasKey(kUser, "Software\\Corvel"));  // the suite's root
  EXPECT_TRUE(registry.hasKey(RegRoot::ClassesRoot, "CLSID"));
  EXPECT_TRUE(registry.hasKey(kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
}

TEST_F(KeySweepLimits, KeyThatCannotBeDeletedKeepsItsParent) {
  registry.seedKey(kUser, "Software\\Corvel\\Locked");
  registry.fail(kUser, "Software\\Corvel\\Locked", platform::MemoryRegistry::Op::Delete, platform::kAccessDenied);
  noted.noteKeyForRemoval("HKCU\\Software\\Corvel\\Locked");
  noted.removeNotedKeys(memory);
  EXPECT_TRUE(registry.hasKey(kUser, "Software\\Corvel\\Locked"));
}

}  // namespace
}  // namespace cvl::test
