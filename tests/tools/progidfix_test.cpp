#include <windows.h>

#include "tests/support/scratch.h"
#include "tool_harness.h"

using namespace tools_test;

namespace {

constexpr RegRoot kMachine = RegRoot::LocalMachine;
const std::string kClsid = "SOFTWARE\\Classes\\CLSID\\";
const std::string kProcess = kClsid + "{7D81BF18-0794-11D2-9054-00C04F8EF9A2}";
const std::string kScenario = kClsid + "{FB36EB66-016F-11D2-9053-00C04F8EF9A2}";
const std::string kReport = kClsid + "{FB36EB67-016F-11D2-9053-00C04F8EF9A2}";

// The three class keys belong to the suite; the test removes them before and
// after so that each case starts from an unregistered machine.
class Progidfix : public ToolTest {
 protected:
  void SetUp() override { removeClasses(); }
  void TearDown() override { removeClasses(); }
  void removeClasses() {
    for (const std::string& key : {kProcess, kScenario, kReport}) cvl::test::eraseKey(registry, kMachine, key);
  }
  void registerProcessServer() { setString(kMachine, kProcess + "\\InProcServer32", "", "C:\\cvl\\process.dll"); }
  std::optional<RegValue> progId(const std::string& classKey) { return value(kMachine, classKey + "\\ProgID", ""); }
};

TEST_F(Progidfix, WithoutTheProcessServerNothingIsWritten) {
  setString(kMachine, kScenario + "\\InProcServer32", "", "C:\\cvl\\scenario.dll");
  setString(kMachine, kReport + "\\ProgID", "", "Old.Report");
  makeKey(kMachine, kProcess + "\\LocalServer32");
  ASSERT_EQ(runTool("progidfix.exe"), 0u);
  EXPECT_FALSE(exists(kMachine, kProcess + "\\ProgID"));
  EXPECT_FALSE(exists(kMachine, kScenario + "\\ProgID"));
  EXPECT_EQ(progId(kReport)->asString(), "Old.Report");
}

// A second run keeps them; a later run overwrites a changed text and keeps
// the key's other values.
TEST_F(Progidfix, CreatesAllThreeProgIds) {
  const struct {
    const std::string& classKey;
    const char* progId;
  } expected[] = {{kProcess, "Corvel.Process"}, {kScenario, "Corvel.Scenario"}, {kReport, "Corvel.Report"}};
  registerProcessServer();
  for (int run = 1; run <= 2; ++run) {
    ASSERT_EQ(runTool("progidfix.exe"), 0u);
    for (const auto& [classKey, name] : expected) {
      SCOPED_TRACE(std::string(name) + ", run " + std::to_string(run));
      const auto value = progId(classKey);
      ASSERT_TRUE(value);
      EXPECT_EQ(value->type, RegType::Sz);
      EXPECT_EQ(value->asString(), name);
      EXPECT_EQ(value->data.size(), strlen(name) + 1) << "text and terminating zero";
      EXPECT_EQ(info(kMachine, classKey + "\\ProgID").valueCount, 1u);
    }
  }
  setString(kMachine, kScenario + "\\ProgID", "", "Vendor.SomethingElse.7");
  setString(kMachine, kScenario + "\\ProgID", "Note", "kept");
  ASSERT_EQ(runTool("progidfix.exe"), 0u);
  EXPECT_EQ(progId(kScenario)->asString(), "Corvel.Scenario");
  EXPECT_EQ(progId(kScenario)->data.size(), 16u);
  EXPECT_EQ(value(kMachine, kScenario + "\\ProgID", "Note")->asString(), "kept");
}

TEST_F(Progidfix, KeyThatCannotBeCreatedIsSkippedAndTheNextStillWritten) {
  registerProcessServer();
  // A lasting key cannot be created below a volatile one.
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kScenario.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(runTool("progidfix.exe"), 0u);
  EXPECT_EQ(progId(kProcess)->asString(), "Corvel.Process");
  EXPECT_FALSE(exists(kMachine, kScenario + "\\ProgID"));
  EXPECT_EQ(progId(kReport)->asString(), "Corvel.Report");
}

}  // namespace
