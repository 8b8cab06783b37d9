#include <gtest/gtest.h>

#include "tool_harness.h"

using namespace tools_test;

namespace {

const std::string kClsid = "SOFTWARE\\Classes\\CLSID\\";
const std::string kProcess = kClsid + "{7D81BF18-0794-11D2-9054-00C04F8EF9A2}";
const std::string kScenario = kClsid + "{FB36EB66-016F-11D2-9053-00C04F8EF9A2}";
const std::string kReport = kClsid + "{FB36EB67-016F-11D2-9053-00C04F8EF9A2}";

struct Expected {
  const std::string& classKey;
  const char* progId;
  DWORD size;
};
const Expected kExpected[] = {{kProcess, "Corvel.Process", 15},
                              {kScenario, "Corvel.Scenario", 16},
                              {kReport, "Corvel.Report", 14}};

// The three class keys belong to the suite; the test removes them before and
// after so that each case starts from an unregistered machine.
class Progidfix : public ::testing::Test {
 protected:
  void SetUp() override { removeClasses(); }
  void TearDown() override { removeClasses(); }

  static void removeClasses() {
    for (const std::string& key : {kProcess, kScenario, kReport}) deleteTree(HKEY_LOCAL_MACHINE, key);
  }

  static void registerProcessServer() {
    setString(HKEY_LOCAL_MACHINE, kProcess + "\\InProcServer32", nullptr, "C:\\cvl\\process.dll");
  }

  static std::optional<StringValue> progId(const std::string& classKey) {
    return readValue(HKEY_LOCAL_MACHINE, classKey + "\\ProgID", nullptr);
  }
};

TEST_F(Progidfix, WithoutTheProcessServerNothingIsWritten) {
  setString(HKEY_LOCAL_MACHINE, kScenario + "\\InProcServer32", nullptr, "C:\\cvl\\scenario.dll");
  setString(HKEY_LOCAL_MACHINE, kReport + "\\ProgID", nullptr, "Old.Report");
  createKey(HKEY_LOCAL_MACHINE, kProcess + "\\LocalServer32");

  ASSERT_EQ(runTool("progidfix.exe"), 0u);
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kProcess + "\\ProgID"));
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kScenario + "\\ProgID"));
  EXPECT_EQ(progId(kReport)->text, "Old.Report");
}

TEST_F(Progidfix, CreatesAllThreeProgIdsAndSecondRunKeepsThem) {
  registerProcessServer();
  for (int run = 1; run <= 2; ++run) {
    ASSERT_EQ(runTool("progidfix.exe"), 0u);
    for (const Expected& expected : kExpected) {
      auto value = progId(expected.classKey);
      ASSERT_TRUE(value) << expected.progId << ", run " << run;
      EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
      EXPECT_EQ(value->text, expected.progId);
      EXPECT_EQ(value->size, expected.size) << "text and terminating zero";
      EXPECT_EQ(valueCount(HKEY_LOCAL_MACHINE, expected.classKey + "\\ProgID"), 1u);
    }
  }
}

TEST_F(Progidfix, ExistingProgIdTextIsOverwrittenAndOtherValuesKept) {
  registerProcessServer();
  setString(HKEY_LOCAL_MACHINE, kScenario + "\\ProgID", nullptr, "Vendor.SomethingElse.7");
  setString(HKEY_LOCAL_MACHINE, kScenario + "\\ProgID", "Note", "kept");
  ASSERT_EQ(runTool("progidfix.exe"), 0u);
  EXPECT_EQ(progId(kScenario)->text, "Corvel.Scenario");
  EXPECT_EQ(progId(kScenario)->size, 16u);
  EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, kScenario + "\\ProgID", "Note")->text, "kept");
}

TEST_F(Progidfix, KeyThatCannotBeCreatedIsSkippedAndTheNextStillWritten) {
  registerProcessServer();
  // A lasting key cannot be created below a volatile one.
  createKey(HKEY_LOCAL_MACHINE, kScenario, /*isVolatile=*/true);
  ASSERT_EQ(runTool("progidfix.exe"), 0u);
  EXPECT_EQ(progId(kProcess)->text, "Corvel.Process");
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kScenario + "\\ProgID"));
  EXPECT_EQ(progId(kReport)->text, "Corvel.Report");
}

}  // namespace
