#include "customaction/fix_components.h"

#include <gtest/gtest.h>

#include <string>

#include "customaction/memory/memory_installer.h"

using namespace cvl::customaction;
using Call = MemoryInstaller::Call;

namespace {

constexpr int kNotPlanned = 0;
constexpr int kHeldOffAndOther = 8 | 4;
const std::string kLongest(255, 'A');  // the longest condition the fix-up reads whole

class FixComponents : public ::testing::Test {
 protected:
  void SetUp() override {
    msi.addFeature("Local", 1);
    msi.addFeature("Source", 2);
    msi.addFeature("Skipped", 3);
    msi.addFeature("Unset", std::nullopt);
    msi.setConditionResult("IsTrue", ConditionResult::True);
    msi.setConditionResult("IsFalse", ConditionResult::False);
    msi.setConditionResult("NoResult", ConditionResult::None);
  }

  void component(const std::string& name, const std::string& condition, int action, int attributes,
                 const std::vector<const char*>& features) {
    msi.addComponent({name, condition, attributes, action, action, kHeldOffAndOther});
    for (const char* feature : features) msi.addToFeature(feature, name);
  }

  // Runs the fix-up and checks it left no handle behind, whatever happened.
  void run() {
    fixComponents(msi, msi.install());
    EXPECT_EQ(msi.openHandles(), 0u);
    EXPECT_EQ(msi.handleMisuses(), 0u);
  }

  std::optional<int> action(const std::string& name) { return msi.componentInteger(name, "Action"); }

  MemoryInstaller msi;
};

using Requests = std::vector<std::pair<std::string, int>>;

// One installation covering the rules. A component switched on has a new
// Action; every other row stays as planned, and switching off goes through
// the installer only.
struct Rule {
  std::string component, condition;
  int planned, attributes;
  std::vector<const char*> features;
  int after;
  bool switchedOff, conditionRead;
};

const Rule kRules[] = {
    {"PlannedLocal", "IsFalse", 1, 0, {"Local"}, 1, true, true},
    {"PlannedSource", "IsFalse", 2, 0, {"Local"}, 2, true, true},
    {"FalseNotPlanned", "IsFalse", kNotPlanned, 0, {"Local"}, kNotPlanned, false, true},
    {"TruePlanned", "IsTrue", 1, 0, {"Local"}, 1, false, true},
    {"LocalOnly", "IsTrue", kNotPlanned, 0, {"Source"}, 1, false, true},
    {"SourceOnly", "IsTrue", kNotPlanned, 1, {"Local"}, 2, false, true},
    {"SourceAndOptional", "IsTrue", kNotPlanned, 3, {"Local"}, 2, false, true},
    {"OptionalInBoth", "IsTrue", kNotPlanned, 2, {"Source", "Local"}, 1, false, true},
    {"OptionalFromSource", "IsTrue", kNotPlanned, 2, {"Source", "Skipped"}, 2, false, true},
    {"OtherBitsIgnored", "IsTrue", 3, 0x10, {"Source"}, 1, false, true},
    // Features not installed: not wanted, so the condition is not even read.
    {"FeaturesLeftOut", "IsTrue", kNotPlanned, 0, {"Skipped", "Unset"}, kNotPlanned, false, false},
    {"PlannedButLeftOut", "IsFalse", 1, 0, {"Skipped"}, 1, false, false},
    {"InNoFeature", "IsTrue", kNotPlanned, 0, {}, kNotPlanned, false, false},
    // Empty or undecidable conditions change nothing.
    {"EmptyPlanned", "", 1, 0, {"Local"}, 1, false, false},
    {"EmptyUnplanned", "", kNotPlanned, 0, {"Local"}, kNotPlanned, false, false},
    {"NoResultPlanned", "NoResult", 1, 0, {"Local"}, 1, false, true},
    {"NoResultUnplanned", "NoResult", kNotPlanned, 0, {"Local"}, kNotPlanned, false, true},
    {"ErrorPlanned", "Unparsable((", 1, 0, {"Local"}, 1, false, true},
    {"ErrorUnplanned", "Unparsable((", kNotPlanned, 0, {"Local"}, kNotPlanned, false, true},
    // Texts that do not fit their buffers are not acted upon.
    {"Fits", kLongest, kNotPlanned, 0, {"Local"}, 1, false, true},
    {"CutOff", kLongest + "A", kNotPlanned, 0, {"Local"}, kNotPlanned, false, false},
    {std::string(256, 'N'), "IsFalse", 1, 0, {"Local"}, 1, false, false},
    // Would match every feature row if pasted into a query as it stands.
    {"x' OR '1'='1", "IsTrue", kNotPlanned, 0, {"Local"}, kNotPlanned, false, false},
};

// The database as the fix-up finds it: the rules hold whatever order the
// columns stand in; an unusable database leaves the installation untouched.
struct Database {
  const char* name;
  void (*apply)(MemoryInstaller&);
  bool usable;
};

const Database kDatabases[] = {
    {"AsCreated", [](auto&) {}, true},
    {"ColumnsShuffled", [](auto& m) {
       m.setColumns("Feature", {"Action", "Level", "Feature", "Title"});
       m.setColumns("Component", {"RuntimeFlags", "Condition", "KeyPath", "ActionRequest", "Attributes", "Action",
                                  "Component"}); }, true},
    {"NoActiveDatabase", [](auto& m) { m.failCalls(Call::ActiveDatabase); }, false},
    {"FeatureJoinWithoutAction", [](auto& m) {
       m.setColumns("Feature", {"Feature", "Level", "ActionRequest"}); }, false},
    {"FeatureJoinWithoutFeature", [](auto& m) { m.setColumns("Feature", {"Level", "Action"}); }, false},
    {"ColumnNamesDifferInCase", [](auto& m) { m.setColumns("Feature", {"feature", "action"}); }, false},
    {"FeatureJoinDoesNotOpen", [](auto& m) { m.failCalls(Call::OpenView, "Feature_"); }, false},
    {"FeatureJoinDoesNotRun", [](auto& m) { m.failCalls(Call::ExecuteView, "Feature_"); }, false},
    {"FeatureJoinHasNoColumnNames", [](auto& m) { m.failCalls(Call::ColumnNames, "Feature_"); }, false},
    {"ComponentViewDoesNotOpen", [](auto& m) { m.failCalls(Call::OpenView, "FROM `Component`"); }, false},
    {"ComponentViewDoesNotRun", [](auto& m) { m.failCalls(Call::ExecuteView, "FROM `Component`"); }, false},
    {"ComponentViewHasNoColumnNames", [](auto& m) { m.failCalls(Call::ColumnNames, "FROM `Component`"); }, false},
    {"ComponentsWithoutRuntimeFlags", [](auto& m) {
       m.setColumns("Component", {"Component", "Attributes", "Condition", "Action", "ActionRequest"}); }, false},
    {"ComponentsWithoutCondition", [](auto& m) {
       m.setColumns("Component", {"Component", "Attributes", "Action", "ActionRequest", "RuntimeFlags"}); }, false},
    {"ComponentFetchFails", [](auto& m) { m.failCalls(Call::Fetch, "FROM `Component`"); }, false},
};

class Rules : public FixComponents, public ::testing::WithParamInterface<Database> {};

TEST_P(Rules, SwitchComponentsToWhatTheirConditionsAndFeaturesSay) {
  const bool usable = GetParam().usable;
  msi.setConditionResult(kLongest, ConditionResult::True);
  msi.setConditionResult(kLongest + "A", ConditionResult::True);
  msi.failCalls(Call::OpenView, "OR '1'");
  Requests switchedOff;
  std::vector<std::string> conditionsRead;
  for (const Rule& rule : kRules) {
    component(rule.component, rule.condition, rule.planned, rule.attributes, rule.features);
    if (usable && rule.switchedOff) switchedOff.emplace_back(rule.component, kInstallStateAbsent);
    if (usable && rule.conditionRead) conditionsRead.push_back(rule.condition);
  }
  msi.addComponent({"NullAction", "IsTrue", 0, std::nullopt, std::nullopt, std::nullopt});
  msi.addToFeature("Local", "NullAction");
  GetParam().apply(msi);
  run();
  for (const Rule& rule : kRules) {
    SCOPED_TRACE(rule.component);
    const int after = usable ? rule.after : rule.planned;
    EXPECT_EQ(action(rule.component), after);
    EXPECT_EQ(msi.componentInteger(rule.component, "ActionRequest"), after);
    EXPECT_EQ(msi.componentInteger(rule.component, "RuntimeFlags"), after != rule.planned ? 4 : kHeldOffAndOther)
        << "only the held-off bit clears";
  }
  EXPECT_EQ(action("NullAction"), usable ? std::optional(1) : std::nullopt) << "an empty Action counts as not planned";
  EXPECT_EQ(msi.componentInteger("NullAction", "RuntimeFlags"), std::nullopt);
  EXPECT_EQ(msi.componentStateRequests(), switchedOff);
  if (usable) conditionsRead.push_back("IsTrue");  // NullAction's
  EXPECT_EQ(msi.evaluatedConditions(), conditionsRead);
}

INSTANTIATE_TEST_SUITE_P(Databases, Rules, ::testing::ValuesIn(kDatabases),
                         [](const auto& info) { return std::string(info.param.name); });

// A row is written back only when every field took its value.
TEST_F(FixComponents, FailureForOneComponentSkipsOnlyThatComponent) {
  for (const char* name : {"QueryFails", "QueryDoesNotRun", "RequestRefused"}) {
    component(name, "IsTrue", kNotPlanned, 0, {"Local"});
  }
  component("ConditionUnreadable", "Unreadable", kNotPlanned, 0, {"Local"});
  component("StateRefused", "IsFalse", 1, 0, {"Local"});
  component("Fine", "IsTrue", kNotPlanned, 0, {"Local"});
  msi.failCalls(Call::OpenView, "'QueryFails'");
  msi.failCalls(Call::ExecuteView, "'QueryDoesNotRun'");
  msi.failCalls(Call::SetInteger, "ActionRequest of RequestRefused");
  msi.failCalls(Call::GetString, "Condition of ConditionUnreadable");
  msi.setConditionResult("Unreadable", ConditionResult::True);
  msi.failCalls(Call::SetComponentState, "StateRefused");
  run();
  for (const char* name : {"QueryFails", "QueryDoesNotRun", "RequestRefused", "ConditionUnreadable"}) {
    EXPECT_EQ(action(name), kNotPlanned) << name;
  }
  EXPECT_EQ(msi.componentInteger("RequestRefused", "RuntimeFlags"), kHeldOffAndOther);
  EXPECT_EQ(msi.componentStateRequests(), (Requests{{"StateRefused", kInstallStateAbsent}}));
  EXPECT_EQ(action("Fine"), 1);
}

TEST_F(FixComponents, RefusedRowUpdateDoesNotStopTheOthers) {
  component("Off", "IsFalse", 1, 0, {"Local"});
  component("On", "IsTrue", kNotPlanned, 0, {"Local"});
  component("OffToo", "IsFalse", 2, 0, {"Source"});
  msi.failCalls(Call::UpdateRow);
  run();
  EXPECT_EQ(action("On"), kNotPlanned);
  EXPECT_EQ(msi.componentStateRequests(),
            (Requests{{"Off", kInstallStateAbsent}, {"OffToo", kInstallStateAbsent}}));
}

// Whatever single installer call fails, every handle is released.
class FailingCall : public FixComponents, public ::testing::WithParamInterface<Call> {};

TEST_P(FailingCall, LeavesNoHandleOpen) {
  component("Off", "IsFalse", 1, 0, {"Local", "Source"});
  component("On", "IsTrue", kNotPlanned, 2, {"Local", "Source"});
  component("Empty", "", kNotPlanned, 0, {"Local"});
  msi.failCalls(GetParam());
  run();
}

INSTANTIATE_TEST_SUITE_P(
    EveryCall, FailingCall,
    ::testing::Values(Call::ActiveDatabase, Call::OpenView, Call::ExecuteView, Call::ColumnNames,
                      Call::GetString, Call::GetInteger, Call::SetInteger, Call::Fetch,
                      Call::UpdateRow, Call::EvaluateCondition, Call::SetComponentState),
    [](const auto& info) { return "Call" + std::to_string(static_cast<int>(info.param)); });

}  // namespace
