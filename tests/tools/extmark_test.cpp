#include "tests/support/scratch.h"
#include "tool_harness.h"

using namespace tools_test;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
const std::string kCorvel = "Software\\Corvel";
const std::string kProduct = kCorvel + "\\Pathcrafter";
const std::string kVersion = kProduct + "\\8.2";
const std::string kProjects = kVersion + "\\Extension Projects";
const std::string kProject = kProjects + "\\{4CCC1C5B-2A84-11D3-A002-0060971BDFB1}";

// Owns the extension-projects key for the test; removes every key the test
// or the tool created, deepest first.
class Extmark : public ToolTest {
 protected:
  void SetUp() override {
    if (exists(kUser, kProjects)) GTEST_SKIP() << "extension projects key in use";
    for (int at = 0; at < 3; ++at) existedBefore_[at] = exists(kUser, parents_[at]);
  }
  void TearDown() override {
    if (IsSkipped()) return;
    cvl::test::eraseKey(registry, kUser, kProjects);
    for (int at = 0; at < 3; ++at) {
      if (!existedBefore_[at]) (void)registry.deleteKey(kUser, parents_[at]);
    }
  }
  const std::string parents_[3] = {kVersion, kProduct, kCorvel};
  bool existedBefore_[3] = {};
};

TEST_F(Extmark, UserWithoutExtensionProjectsKeepsTheRegistryAsItWas) {
  ASSERT_EQ(runTool("extmark.exe"), 0u);
  EXPECT_FALSE(exists(kUser, kProjects));
  EXPECT_EQ(exists(kUser, kVersion), existedBefore_[0]);

  makeKey(kUser, kVersion);
  const uint32_t siblings = info(kUser, kVersion).subKeyCount;
  ASSERT_EQ(runTool("extmark.exe"), 0u);
  EXPECT_FALSE(exists(kUser, kProjects));
  EXPECT_EQ(info(kUser, kVersion).subKeyCount, siblings);
}

// A second run changes nothing; an existing project key keeps its other values.
TEST_F(Extmark, MarksTheProjectLoaded) {
  makeKey(kUser, kProjects);
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    ASSERT_EQ(runTool("extmark.exe"), 0u);
    const auto loaded = value(kUser, kProject, "Loaded");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->type, RegType::Sz);
    EXPECT_EQ(loaded->data.size(), 2u) << "the text and its terminating zero";
    EXPECT_EQ(loaded->asString(), "1");
    EXPECT_EQ(info(kUser, kProjects).subKeyCount, 1u);
    EXPECT_EQ(info(kUser, kProject).valueCount, 1u);
  }
  setString(kUser, kProject, "Loaded", "0");
  setString(kUser, kProject, "Path", "C:\\Projects\\ext.prj");
  makeKey(kUser, kProjects + "\\{Another}");
  ASSERT_EQ(runTool("extmark.exe"), 0u);
  EXPECT_EQ(value(kUser, kProject, "Loaded")->asString(), "1");
  EXPECT_EQ(value(kUser, kProject, "Path")->asString(), "C:\\Projects\\ext.prj");
  EXPECT_EQ(info(kUser, kProjects).subKeyCount, 2u);
}

}  // namespace
