// The fix-up library loaded into a real installer session, as the installer
// would load it, on Wine's msi.dll.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "fixup_package.h"
#include "fixup_scenario.h"

using namespace fixup_test;

namespace {

using FixFunction = UINT(__stdcall*)(MSIHANDLE);

class InstallerSession : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA((programDirectory() + "Tidy95Fix.dll").c_str());
    ASSERT_NE(library_, nullptr);
    fix_ = reinterpret_cast<FixFunction>(
        reinterpret_cast<void*>(GetProcAddress(library_, "Fix95Components")));
    ASSERT_NE(fix_, nullptr) << "exported by its plain name";
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    ASSERT_EQ(MsiOpenPackageA(packagePath().c_str(), &install_), 0u) << packagePath();
    for (const char* action : {"CostInitialize", "FileCost", "CostFinalize"}) {
      ASSERT_EQ(MsiDoActionA(install_, action), 0u) << action;
    }
  }

  void TearDown() override {
    if (install_ != 0) MsiCloseHandle(install_);
    if (library_ != nullptr) FreeLibrary(library_);
  }

  std::map<std::string, INSTALLSTATE> requestedStates() {
    std::map<std::string, INSTALLSTATE> states;
    for (const char* component : {"Plain", "SwitchOff", "StaysOff", "SwitchOn", "SourceOnly",
                                  "OptionalBoth", "OptionalSource", "LeftOut", "Undecidable"}) {
      INSTALLSTATE installed = INSTALLSTATE_UNKNOWN, requested = INSTALLSTATE_UNKNOWN;
      MsiGetComponentStateA(install_, component, &installed, &requested);
      states[component] = requested;
    }
    return states;
  }

  HMODULE library_ = nullptr;
  FixFunction fix_ = nullptr;
  MSIHANDLE install_ = 0;
};

TEST_F(InstallerSession, CorrectsPlannedStatesOnceAndReleasesEveryHandle) {
  ASSERT_TRUE(fixup_scenario::prepare(install_));
  auto before = requestedStates();
  ASSERT_EQ(before["SwitchOff"], INSTALLSTATE_LOCAL);

  for (int run = 1; run <= 2; ++run) {  // the second changes nothing more
    EXPECT_EQ(fix_(install_), 0u);
    EXPECT_EQ(sortedLines(std::istringstream(fixup_scenario::outcome(install_))), kFixedOutcome) << "run " << run;
  }

  auto after = requestedStates();
  EXPECT_EQ(after["SwitchOff"], INSTALLSTATE_ABSENT);
  after["SwitchOff"] = before["SwitchOff"];
  EXPECT_EQ(after, before) << "no other component's state was requested";
  // Only the session handle is left: the fix-up released all of its own.
  EXPECT_EQ(MsiCloseAllHandles(), 1u);
  install_ = 0;
}

TEST_F(InstallerSession, FeatureRowsWithoutActionColumnLeaveEverythingAsItWas) {
  ASSERT_TRUE(fixup_scenario::prepare(install_, /*withFeatureAction=*/false));
  std::string before = fixup_scenario::outcome(install_);
  auto statesBefore = requestedStates();

  EXPECT_EQ(fix_(install_), 0u);

  EXPECT_EQ(fixup_scenario::outcome(install_), before);
  EXPECT_EQ(requestedStates(), statesBefore);
  EXPECT_EQ(MsiCloseAllHandles(), 1u);
  install_ = 0;
}

}  // namespace
