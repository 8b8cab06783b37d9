#include <gtest/gtest.h>

#include "tool_harness.h"

using namespace tools_test;

namespace {

const std::string kCorvel = "Software\\Corvel";
const std::string kProduct = kCorvel + "\\Pathcrafter";
const std::string kVersion = kProduct + "\\8.2";
const std::string kProjects = kVersion + "\\Extension Projects";
const std::string kProject = kProjects + "\\{4CCC1C5B-2A84-11D3-A002-0060971BDFB1}";

// Owns the extension-projects key for the test; removes every key the test
// or the tool created.
class Extmark : public ::testing::Test {
 protected:
  void SetUp() override {
    if (keyExists(HKEY_CURRENT_USER, kProjects)) GTEST_SKIP() << "extension projects key in use";
    for (const std::string& key : {kCorvel, kProduct, kVersion}) {
      existedBefore_.push_back(keyExists(HKEY_CURRENT_USER, key));
    }
  }

  void TearDown() override {
    deleteTree(HKEY_CURRENT_USER, kProjects);
    const std::string parents[] = {kVersion, kProduct, kCorvel};
    for (int at = 0; at < 3 && at < static_cast<int>(existedBefore_.size()); ++at) {
      if (!existedBefore_[2 - at]) RegDeleteKeyA(HKEY_CURRENT_USER, parents[at].c_str());
    }
  }

  std::vector<bool> existedBefore_;
};

TEST_F(Extmark, UserWithoutExtensionProjectsKeepsTheRegistryAsItWas) {
  ASSERT_EQ(runTool("extmark.exe"), 0u);
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProjects));
  EXPECT_EQ(keyExists(HKEY_CURRENT_USER, kVersion), existedBefore_[2]);

  createKey(HKEY_CURRENT_USER, kVersion);
  DWORD siblings = subkeyCount(HKEY_CURRENT_USER, kVersion);
  ASSERT_EQ(runTool("extmark.exe"), 0u);
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kProjects));
  EXPECT_EQ(subkeyCount(HKEY_CURRENT_USER, kVersion), siblings);
}

TEST_F(Extmark, MarksTheProjectLoadedAndSecondRunChangesNothing) {
  createKey(HKEY_CURRENT_USER, kProjects);
  for (int run = 1; run <= 2; ++run) {
    ASSERT_EQ(runTool("extmark.exe"), 0u) << "run " << run;
    auto loaded = readValue(HKEY_CURRENT_USER, kProject, "Loaded");
    ASSERT_TRUE(loaded) << "run " << run;
    EXPECT_EQ(loaded->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(loaded->size, 2u) << "the text and its terminating zero";
    EXPECT_EQ(loaded->text, "1");
    EXPECT_EQ(subkeyCount(HKEY_CURRENT_USER, kProjects), 1u);
    EXPECT_EQ(valueCount(HKEY_CURRENT_USER, kProject), 1u);
  }
}

TEST_F(Extmark, ExistingProjectKeyIsMarkedAndKeepsItsOtherValues) {
  setString(HKEY_CURRENT_USER, kProject, "Loaded", "0");
  setString(HKEY_CURRENT_USER, kProject, "Path", "C:\\Projects\\ext.prj");
  createKey(HKEY_CURRENT_USER, kProjects + "\\{Another}");
  ASSERT_EQ(runTool("extmark.exe"), 0u);
  EXPECT_EQ(readValue(HKEY_CURRENT_USER, kProject, "Loaded")->text, "1");
  EXPECT_EQ(readValue(HKEY_CURRENT_USER, kProject, "Path")->text, "C:\\Projects\\ext.prj");
  EXPECT_EQ(subkeyCount(HKEY_CURRENT_USER, kProjects), 2u);
}

}  // namespace
