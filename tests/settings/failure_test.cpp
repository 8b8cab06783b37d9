// What the saver does when the registry refuses: these need the in-memory
// registry's injected faults.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "settings/copy_tree.h"
#include "settings/delete_tree.h"
#include "settings/settings_saver.h"
#include "settings_fixture.h"

using namespace settings_test;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

class SaverFailures : public ::testing::Test {
 protected:
  void put(const std::string& key, const std::string& name, uint32_t number) {
    machine.registry().seedValue(kUser, key, name, RegValue::dword(number));
  }
  MemoryRegistry& registry() { return machine.registry(); }
  MemoryPlatform machine;
};

// A destination that cannot be created gets nothing. Past an unreachable
// subkey, values and earlier subkeys stay copied; later ones are skipped.
TEST_F(SaverFailures, UnreachableKeyStopsTheCopyAtEveryLevel) {
  put(kCur + "\\A", "V", 1);
  put(kCur + "\\B\\Inner", "V", 2);
  put(kCur + "\\C", "V", 3);
  put(kCur, "Top", 4);
  registry().fail(kUser, kTemp, MemoryRegistry::Op::Open, kAccessDenied);
  EXPECT_FALSE(cvl::settings::copyTree(machine, kUser, kCur, kUser, kTemp));
  registry().clearFaults();
  EXPECT_FALSE(registry().value(kUser, kTemp, "Top").has_value());
  registry().fail(kUser, kCur + "\\B\\Inner", MemoryRegistry::Op::Open, kAccessDenied);
  EXPECT_FALSE(cvl::settings::copyTree(machine, kUser, kCur, kUser, kTemp));
  EXPECT_TRUE(registry().value(kUser, kTemp, "Top").has_value());
  EXPECT_TRUE(registry().value(kUser, kTemp + "\\A", "V").has_value());
  EXPECT_FALSE(registry().hasKey(kUser, kTemp + "\\C"));
}

TEST_F(SaverFailures, FailedRestoreCopyKeepsTheTemporaryKey) {
  put(kTemp, "V", 1);
  put(kTemp + "\\Sub", "W", 2);
  put(kCur + "\\Sub", "Mine", 3);
  registry().fail(kUser, kCur + "\\Sub", MemoryRegistry::Op::Open, kAccessDenied);
  cvl::settings::runRestore(machine);
  registry().clearFaults();
  EXPECT_TRUE(registry().value(kUser, kTemp, "V").has_value());
  EXPECT_TRUE(registry().value(kUser, kTemp + "\\Sub", "W").has_value());
  EXPECT_TRUE(registry().value(kUser, kCur + "\\Sub", "Mine").has_value());
  // A later run, with the registry willing again, finishes the job.
  cvl::settings::runRestore(machine);
  EXPECT_TRUE(registry().value(kUser, kCur + "\\Sub", "W").has_value());
  EXPECT_FALSE(registry().hasKey(kUser, kTemp));
}

TEST_F(SaverFailures, UndeletableSubkeyEndsTheRemovalAndKeepsTheRest) {
  put(kTemp + "\\A\\Stuck", "V", 1);
  put(kTemp + "\\B", "V", 2);
  registry().fail(kUser, kTemp + "\\A\\Stuck", MemoryRegistry::Op::Delete, kAccessDenied);
  cvl::settings::runRestore(machine);
  EXPECT_TRUE(registry().value(kUser, kCur + "\\B", "V").has_value());
  EXPECT_TRUE(registry().hasKey(kUser, kTemp + "\\A\\Stuck"));
  EXPECT_TRUE(registry().hasKey(kUser, kTemp + "\\B"));
}

TEST_F(SaverFailures, TreeRemovalReportsTheFirstFailureAndStopsThere) {
  put(kTemp + "\\Gone\\1", "V", 1);
  put(kTemp + "\\Gone\\2\\Stuck", "V", 2);
  put(kTemp + "\\Gone\\3", "V", 3);
  registry().fail(kUser, kTemp + "\\Gone\\2\\Stuck", MemoryRegistry::Op::Delete, kKeyDeleted);
  RegKeyPtr parent;
  ASSERT_EQ(registry().openKey(kUser, kTemp, access::kAllAccess, parent), kSuccess);
  EXPECT_EQ(cvl::settings::deleteTree(*parent, "Gone"), kKeyDeleted);
  EXPECT_EQ(registry().subKeyNames(kUser, kTemp + "\\Gone"), (std::vector<std::string>{"2", "3"}));
}

// A link in the temporary key, or as the temporary key itself, stays, and
// the key it names keeps everything.
TEST(SaverLinks, ARegistryLinkIsNeverDeletedNorFollowedByTheRemoval) {
  for (const std::string& link : {kTemp + "\\A\\Planted", kTemp}) {
    MemoryPlatform machine;
    MemoryRegistry& registry = machine.registry();
    registry.seedValue(RegRoot::Users, "Other\\Child", "V", RegValue::dword(1));
    if (link != kTemp) registry.seedValue(kUser, kTemp + "\\A", "V", RegValue::dword(2));
    registry.seedLink(kUser, link, "\\REGISTRY\\USER\\Other");
    cvl::settings::runRestore(machine);
    EXPECT_TRUE(registry.value(kUser, link, "SymbolicLinkValue").has_value()) << link;
    EXPECT_TRUE(registry.value(RegRoot::Users, "Other\\Child", "V").has_value()) << link;
  }
}

}  // namespace
