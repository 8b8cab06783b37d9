#include "customaction/fix_components.h"

#include <gtest/gtest.h>

#include <string>

#include "customaction/memory/memory_installer.h"

using namespace cvl::customaction;
using Call = MemoryInstaller::Call;

namespace {

constexpr int kNotPlanned = 0;
constexpr int kHeldOffAndOther = 8 | 4;

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

  void component(const std::string& name, const std::string& condition, int action,
                 int attributes, std::initializer_list<const char*> features) {
    msi.addComponent({name, condition, attributes, action, action, kHeldOffAndOther});
    for (const char* feature : features) msi.addToFeature(feature, name);
  }

  // Runs the fix-up and checks it left no handle behind, whatever happened.
  void run() {
    fixComponents(msi, msi.install());
    EXPECT_EQ(msi.openHandles(), 0u);
    EXPECT_EQ(msi.handleMisuses(), 0u);
  }

  std::optional<int> action(const std::string& name) {
    return msi.componentInteger(name, "Action");
  }

  MemoryInstaller msi;
};

using Requests = std::vector<std::pair<std::string, int>>;

TEST_F(FixComponents, PlannedComponentWithFalseConditionIsSwitchedToAbsent) {
  component("PlannedLocal", "IsFalse", 1, 0, {"Local"});
  component("PlannedSource", "IsFalse", 2, 0, {"Local"});
  component("NotPlanned", "IsFalse", kNotPlanned, 0, {"Local"});
  component("PlannedTrue", "IsTrue", 1, 0, {"Local"});
  run();
  EXPECT_EQ(msi.componentStateRequests(),
            (Requests{{"PlannedLocal", kInstallStateAbsent}, {"PlannedSource", kInstallStateAbsent}}));
  // Switching off goes through the installer only; the rows stay as they were.
  EXPECT_EQ(action("PlannedLocal"), 1);
  EXPECT_EQ(action("PlannedTrue"), 1);
}

TEST_F(FixComponents, UnplannedComponentWithTrueConditionIsSwitchedOnInItsRow) {
  component("Plain", "IsTrue", kNotPlanned, 0, {"Source"});
  msi.addComponent({"NullAction", "IsTrue", 0, std::nullopt, std::nullopt, std::nullopt});
  msi.addToFeature("Local", "NullAction");
  run();
  EXPECT_EQ(action("Plain"), 1);
  EXPECT_EQ(msi.componentInteger("Plain", "ActionRequest"), 1);
  EXPECT_EQ(msi.componentInteger("Plain", "RuntimeFlags"), 4) << "only the held-off bit clears";
  EXPECT_EQ(action("NullAction"), 1) << "an empty Action counts as not planned";
  EXPECT_EQ(msi.componentInteger("NullAction", "RuntimeFlags"), std::nullopt);
  EXPECT_TRUE(msi.componentStateRequests().empty());
}

TEST_F(FixComponents, SwitchOnStateFollowsTheAttributeBits) {
  component("LocalOnly", "IsTrue", kNotPlanned, 0, {"Source"});
  component("SourceOnly", "IsTrue", kNotPlanned, 1, {"Local"});
  component("SourceAndOptional", "IsTrue", kNotPlanned, 3, {"Local"});
  component("OptionalInBoth", "IsTrue", kNotPlanned, 2, {"Source", "Local"});
  component("OptionalFromSource", "IsTrue", kNotPlanned, 2, {"Source", "Skipped"});
  component("OtherBitsIgnored", "IsTrue", 3, 0x10, {"Source"});
  run();
  EXPECT_EQ(action("LocalOnly"), 1);
  EXPECT_EQ(action("SourceOnly"), 2);
  EXPECT_EQ(action("SourceAndOptional"), 2);
  EXPECT_EQ(action("OptionalInBoth"), 1);
  EXPECT_EQ(action("OptionalFromSource"), 2);
  EXPECT_EQ(action("OtherBitsIgnored"), 1);
  EXPECT_EQ(msi.componentInteger("OptionalFromSource", "ActionRequest"), 2);
}

TEST_F(FixComponents, ComponentsWhoseFeaturesAreNotInstalledAreLeftAlone) {
  component("FeaturesLeftOut", "IsTrue", kNotPlanned, 0, {"Skipped", "Unset"});
  component("PlannedButLeftOut", "IsFalse", 1, 0, {"Skipped"});
  component("InNoFeature", "IsTrue", kNotPlanned, 0, {});
  run();
  EXPECT_EQ(action("FeaturesLeftOut"), kNotPlanned);
  EXPECT_EQ(action("InNoFeature"), kNotPlanned);
  EXPECT_TRUE(msi.componentStateRequests().empty());
  EXPECT_TRUE(msi.evaluatedConditions().empty()) << "not wanted: the condition is not even read";
}

TEST_F(FixComponents, EmptyOrUndecidableConditionsChangeNothing) {
  component("EmptyPlanned", "", 1, 0, {"Local"});
  component("EmptyUnplanned", "", kNotPlanned, 0, {"Local"});
  component("NoResultPlanned", "NoResult", 1, 0, {"Local"});
  component("NoResultUnplanned", "NoResult", kNotPlanned, 0, {"Local"});
  component("ErrorPlanned", "Unparsable((", 1, 0, {"Local"});
  component("ErrorUnplanned", "Unparsable((", kNotPlanned, 0, {"Local"});
  run();
  EXPECT_EQ(msi.evaluatedConditions(),
            (std::vector<std::string>{"NoResult", "NoResult", "Unparsable((", "Unparsable(("}));
  EXPECT_TRUE(msi.componentStateRequests().empty());
  EXPECT_EQ(action("EmptyUnplanned"), kNotPlanned);
  EXPECT_EQ(action("NoResultUnplanned"), kNotPlanned);
  EXPECT_EQ(action("ErrorUnplanned"), kNotPlanned);
}

TEST_F(FixComponents, TextsThatDoNotFitTheirBuffersAreNotActedUpon) {
  std::string longest(255, 'A');
  std::string tooLong = longest + "A";
  msi.setConditionResult(longest, ConditionResult::True);
  msi.setConditionResult(tooLong, ConditionResult::True);
  component("Fits", longest, kNotPlanned, 0, {"Local"});
  component("CutOff", tooLong, kNotPlanned, 0, {"Local"});
  component(std::string(256, 'N'), "IsFalse", 1, 0, {"Local"});
  run();
  EXPECT_EQ(action("Fits"), 1);
  EXPECT_EQ(action("CutOff"), kNotPlanned);
  EXPECT_EQ(msi.evaluatedConditions(), std::vector<std::string>{longest});
}

TEST_F(FixComponents, NameWithQuoteIsNotPastedIntoAQuery) {
  // Would match every feature row if pasted as it stands.
  component("x' OR '1'='1", "IsTrue", kNotPlanned, 0, {"Local"});
  component("After", "IsTrue", kNotPlanned, 0, {"Local"});
  msi.failCalls(Call::OpenView, "OR '1'");
  run();
  EXPECT_EQ(action("x' OR '1'='1"), kNotPlanned);
  EXPECT_EQ(action("After"), 1);
}

TEST_F(FixComponents, ColumnsAreFoundByNameWhereverTheyStand) {
  msi.setColumns("Feature", {"Action", "Level", "Feature", "Title"});
  msi.setColumns("Component", {"RuntimeFlags", "Condition", "KeyPath", "ActionRequest",
                               "Attributes", "Action", "Component"});
  component("On", "IsTrue", kNotPlanned, 1, {"Local"});
  component("Off", "IsFalse", 2, 0, {"Local"});
  run();
  EXPECT_EQ(action("On"), 2);
  EXPECT_EQ(msi.componentInteger("On", "RuntimeFlags"), 4);
  EXPECT_EQ(msi.componentStateRequests(), (Requests{{"Off", kInstallStateAbsent}}));
}

// Each of these leaves the installation untouched.
struct Breakage {
  const char* name;
  void (*apply)(MemoryInstaller&);
};

class UnusableDatabase : public FixComponents, public ::testing::WithParamInterface<Breakage> {};

TEST_P(UnusableDatabase, IsANoOp) {
  component("On", "IsTrue", kNotPlanned, 0, {"Local"});
  component("Off", "IsFalse", 1, 0, {"Local"});
  GetParam().apply(msi);
  run();
  EXPECT_EQ(action("On"), kNotPlanned);
  EXPECT_TRUE(msi.componentStateRequests().empty());
  EXPECT_TRUE(msi.evaluatedConditions().empty());
}

const Breakage kBreakages[] = {
    {"NoActiveDatabase", [](auto& m) { m.failCalls(Call::ActiveDatabase); }},
    {"FeatureJoinWithoutAction", [](auto& m) { m.setColumns("Feature", {"Feature", "Level", "ActionRequest"}); }},
    {"FeatureJoinWithoutFeature", [](auto& m) { m.setColumns("Feature", {"Level", "Action"}); }},
    {"ColumnNamesDifferInCase", [](auto& m) { m.setColumns("Feature", {"feature", "action"}); }},
    {"FeatureJoinDoesNotOpen", [](auto& m) { m.failCalls(Call::OpenView, "Feature_"); }},
    {"FeatureJoinDoesNotRun", [](auto& m) { m.failCalls(Call::ExecuteView, "Feature_"); }},
    {"FeatureJoinHasNoColumnNames", [](auto& m) { m.failCalls(Call::ColumnNames, "Feature_"); }},
    {"ComponentViewDoesNotOpen", [](auto& m) { m.failCalls(Call::OpenView, "FROM `Component`"); }},
    {"ComponentViewDoesNotRun", [](auto& m) { m.failCalls(Call::ExecuteView, "FROM `Component`"); }},
    {"ComponentViewHasNoColumnNames", [](auto& m) { m.failCalls(Call::ColumnNames, "FROM `Component`"); }},
    {"ComponentsWithoutRuntimeFlags",
     [](auto& m) { m.setColumns("Component", {"Component", "Attributes", "Condition", "Action", "ActionRequest"}); }},
    {"ComponentsWithoutCondition",
     [](auto& m) {
       m.setColumns("Component", {"Component", "Attributes", "Action", "ActionRequest", "RuntimeFlags"});
     }},
    {"ComponentFetchFails", [](auto& m) { m.failCalls(Call::Fetch, "FROM `Component`"); }},
};

INSTANTIATE_TEST_SUITE_P(Breakages, UnusableDatabase, ::testing::ValuesIn(kBreakages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FixComponents, FailureForOneComponentSkipsOnlyThatComponent) {
  component("QueryFails", "IsTrue", kNotPlanned, 0, {"Local"});
  component("QueryDoesNotRun", "IsTrue", kNotPlanned, 0, {"Local"});
  component("ConditionUnreadable", "Unreadable", kNotPlanned, 0, {"Local"});
  component("StateRefused", "IsFalse", 1, 0, {"Local"});
  component("Fine", "IsTrue", kNotPlanned, 0, {"Local"});
  msi.failCalls(Call::OpenView, "'QueryFails'");
  msi.failCalls(Call::ExecuteView, "'QueryDoesNotRun'");
  msi.failCalls(Call::GetString, "Condition of ConditionUnreadable");
  msi.setConditionResult("Unreadable", ConditionResult::True);
  msi.failCalls(Call::SetComponentState, "StateRefused");
  run();
  EXPECT_EQ(action("QueryFails"), kNotPlanned);
  EXPECT_EQ(action("QueryDoesNotRun"), kNotPlanned);
  EXPECT_EQ(action("ConditionUnreadable"), kNotPlanned);
  EXPECT_EQ(msi.componentStateRequests(), (Requests{{"StateRefused", kInstallStateAbsent}}));
  EXPECT_EQ(action("Fine"), 1);
}

TEST_F(FixComponents, RowIsWrittenBackOnlyWhenEveryFieldTookItsValue) {
  component("RequestRefused", "IsTrue", kNotPlanned, 0, {"Local"});
  msi.failCalls(Call::SetInteger, "ActionRequest");
  run();
  EXPECT_EQ(action("RequestRefused"), kNotPlanned);
  EXPECT_EQ(msi.componentInteger("RequestRefused", "RuntimeFlags"), kHeldOffAndOther);
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
