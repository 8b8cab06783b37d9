// The sweep of noted registry keys: empty keys go, deepest first, as far up
// as the keys are empty.
#include "removal_fixture.h"

namespace cvl::test {
namespace {

class KeySweep : public Removal {
 protected:
  void sweep(std::initializer_list<std::string> logged) {
    for (const std::string& path : logged) noted.noteKeyForRemoval(path);
    noted.removeNotedKeys(platform());
  }
};

// A missing noted key counts as removed; a value or an unnoted subkey keeps its key.
TEST_P(KeySweep, MachineChainAndItsUserCopyGoAsFarAsEmpty) {
  makeKey("Corvel\\Pathcrafter", {}, kMachine);
  for (const char* key : {"Corvel\\Pathcrafter", "Corvel\\Noted", "Corvel\\Foreign", "Gone"}) makeKey(key);
  makeKey("Corvel\\Settings", {"Kept"});
  makeKey("Corvel\\Default", {""});
  makeKey("Other\\Sub", {"Last"});
  sweep({keyPath("HKLM", "Corvel\\Pathcrafter"), keyPath("HKCU", "Gone\\NeverThere"), keyPath("HKCU", "Other\\Sub"),
         keyPath("HKCU", "Corvel\\Noted"), keyPath("HKCU", "Corvel\\Default")});
  EXPECT_FALSE(hasKey(kMachine, "Corvel"));
  EXPECT_FALSE(hasKey(kUser, "Corvel\\Pathcrafter"));
  EXPECT_TRUE(hasValue(kUser, "Corvel\\Settings", "Kept"));
  EXPECT_TRUE(hasValue(kMachine, "", "keeper"));
  EXPECT_FALSE(hasKey(kUser, "Gone"));
  EXPECT_TRUE(hasValue(kUser, "Other\\Sub", "Last"));
  EXPECT_FALSE(hasKey(kUser, "Corvel\\Noted"));
  EXPECT_TRUE(hasKey(kUser, "Corvel\\Foreign"));
  EXPECT_TRUE(hasValue(kUser, "Corvel\\Default", "")) << "a default value is a value";
}

CVL_REMOVAL_ON_EACH_PLATFORM(KeySweep);

TEST(KeySweepLimits, RootsSharedContainersAndLockedKeysStayEvenWhenEmpty) {
  platform::MemoryPlatform memory;
  platform::MemoryRegistry& registry = memory.registry();
  constexpr platform::RegRoot kUser = platform::RegRoot::CurrentUser, kMachine = platform::RegRoot::LocalMachine;
  registry.seedKey(kUser, "Software\\Corvel\\Pathcrafter");
  registry.seedKey(kUser, "Software\\Other\\Locked");
  registry.fail(kUser, "Software\\Other\\Locked", platform::MemoryRegistry::Op::Delete, platform::kAccessDenied);
  registry.seedKey(platform::RegRoot::ClassesRoot, "CLSID");
  registry.seedKey(kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  NotedPaths noted;
  for (const char* path : {"HKCU\\Software\\Corvel\\Pathcrafter", "HKCU\\Software\\Other\\Locked", "HKCU\\",
                           "HKCR\\CLSID\\{GONE}", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Gone"}) {
    noted.noteKeyForRemoval(path);
  }
  noted.removeNotedKeys(memory);
  EXPECT_FALSE(registry.hasKey(kUser, "Software\\Corvel\\Pathcrafter"));
  EXPECT_TRUE(registry.hasKey(kUser, "Software\\Corvel"));  // the suite's root
  EXPECT_TRUE(registry.hasKey(kUser, "Software\\Other\\Locked"));
  EXPECT_TRUE(registry.hasKey(platform::RegRoot::ClassesRoot, "CLSID"));
  EXPECT_TRUE(registry.hasKey(kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
}

}  // namespace
}  // namespace cvl::test
