// The sweep of noted registry keys: empty keys go, deepest first, as far up
// as the keys are empty.
#include "platform/memory/memory_platform.h"
#include "world.h"

namespace cvl::test {
namespace {

using namespace platform;

class KeySweep : public OnEachPlatform {};

TEST_P(KeySweep, MachineChainAndItsUserCopyGoAsFarAsEmpty) {
  makeKey(RegRoot::LocalMachine, "Corvel\\Pathcrafter");
  makeKey(RegRoot::CurrentUser, "Corvel\\Pathcrafter");
  makeKey(RegRoot::CurrentUser, "Corvel\\Settings", {"Kept"});
  noted.noteKeyForRemoval(keyPath("HKLM", "Corvel\\Pathcrafter"));
  noted.removeNotedKeys(platform());
  EXPECT_FALSE(hasKey(RegRoot::LocalMachine, "Corvel"));
  EXPECT_FALSE(hasKey(RegRoot::CurrentUser, "Corvel\\Pathcrafter"));
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "Corvel\\Settings", "Kept"));
  EXPECT_TRUE(hasValue(RegRoot::LocalMachine, "", "keeper"));
}

TEST_P(KeySweep, MissingNotedKeyCountsAsRemoved) {
  makeKey(RegRoot::CurrentUser, "Corvel");
  noted.noteKeyForRemoval(keyPath("HKCU", "Corvel\\NeverThere"));
  noted.removeNotedKeys(platform());
  EXPECT_FALSE(hasKey(RegRoot::CurrentUser, "Corvel"));
}

TEST_P(KeySweep, KeyWithAValueKeepsItselfAndItsAncestors) {
  makeKey(RegRoot::CurrentUser, "Corvel\\Sub", {"Last"});
  noted.noteKeyForRemoval(keyPath("HKCU", "Corvel\\Sub"));
  noted.removeNotedKeys(platform());
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "Corvel\\Sub", "Last"));
}

TEST_P(KeySweep, KeyWithAnUnnotedSubkeyStays) {
  makeKey(RegRoot::CurrentUser, "Corvel\\Noted");
  makeKey(RegRoot::CurrentUser, "Corvel\\Foreign");
  makeKey(RegRoot::CurrentUser, "Corvel\\Default", {""});
  noted.noteKeyForRemoval(keyPath("HKCU", "Corvel\\Noted"));
  noted.noteKeyForRemoval(keyPath("HKCU", "Corvel\\Default"));
  noted.removeNotedKeys(platform());
  EXPECT_FALSE(hasKey(RegRoot::CurrentUser, "Corvel\\Noted"));
  EXPECT_TRUE(hasKey(RegRoot::CurrentUser, "Corvel\\Foreign"));
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "Corvel\\Default", "")) << "a default value is a value";
}

CVL_ON_EACH_PLATFORM(KeySweep);

TEST(KeySweepLimits, RootsAndSharedContainersStayEvenWhenEmpty) {
  MemoryPlatform memory;
  memory.registry().seedKey(RegRoot::CurrentUser, "Software\\Corvel\\Pathcrafter");
  memory.registry().seedKey(RegRoot::ClassesRoot, "CLSID");
  memory.registry().seedKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  NotedPaths noted;
  noted.noteKeyForRemoval("HKCU\\Software\\Corvel\\Pathcrafter");
  noted.noteKeyForRemoval("HKCR\\CLSID\\{GONE}");
  noted.noteKeyForRemoval("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Gone");
  noted.noteKeyForRemoval("HKCU\\");
  noted.removeNotedKeys(memory);
  EXPECT_FALSE(memory.registry().hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Pathcrafter"));
  EXPECT_TRUE(memory.registry().hasKey(RegRoot::CurrentUser, "Software\\Corvel"));  // the suite's root
  EXPECT_TRUE(memory.registry().hasKey(RegRoot::ClassesRoot, "CLSID"));
  EXPECT_TRUE(memory.registry().hasKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
}

TEST(KeySweepLimits, KeyThatCannotBeDeletedKeepsItsParent) {
  MemoryPlatform memory;
  memory.registry().seedKey(RegRoot::CurrentUser, "Software\\Corvel\\Locked");
  memory.registry().fail(RegRoot::CurrentUser, "Software\\Corvel\\Locked", MemoryRegistry::Op::Delete, kAccessDenied);
  NotedPaths noted;
  noted.noteKeyForRemoval("HKCU\\Software\\Corvel\\Locked");
  noted.removeNotedKeys(memory);
  EXPECT_TRUE(memory.registry().hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Locked"));
}

}  // namespace
}  // namespace cvl::test
