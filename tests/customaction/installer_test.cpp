// The fix-up library in real installations on Wine's msi.dll: loaded into an
// installer session as the installer would load it, and run by msiexec in its
// own process as a DLL custom action between two probe actions, which proves
// the export's name and calling convention as the installer service uses them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "fixup_scenario.h"
#include "tests/support/child_process.h"

namespace {

using cvl::test::programDirectory;

// The test package fixup.msi built beside these tests, in Windows form.
std::string packagePath() {
  std::string path = "Z:" CVL_FIXUP_PACKAGE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Lines sorted, so outcomes compare regardless of row order.
std::vector<std::string> sortedLines(std::istream&& stream) {
  std::vector<std::string> lines;
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Component, Action, ActionRequest, RuntimeFlags after the fix-up ran on the
// prepared scenario, and SwitchOff's requested state (2: absent).
const std::vector<std::string> kFixedOutcome = {
    "LeftOut 0 0 12",         // its only feature is not installed
    "OptionalBoth 1 1 4",     // optional, features local and source: local
    "OptionalSource 2 2 4",   // optional, feature from source: source
    "Plain 1 1 12",           // no condition
    "SourceOnly 2 2 4",       // source only, though its feature is local
    "StaysOff 0 0 12",        // false but not planned
    "SwitchOff 1 1 12",       // switched off through the installer, row unchanged
    "SwitchOff requested 2",
    "SwitchOn 1 1 4",         // true, not planned: on, held-off flag cleared
    "Undecidable 0 0 12",     // condition cannot be evaluated
};

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

std::optional<DWORD> msiexec(const char* operation, const std::string& package, const std::string& props = {}) {
  char system[MAX_PATH];
  const std::string program(system, GetSystemDirectoryA(system, MAX_PATH));
  return cvl::test::runToExit("\"" + program + "\\msiexec.exe\" " + operation + " \"" + package + "\" /qn " + props,
                              180000);
}

TEST(Msiexec, RunsTheFixupAsCustomActionOfAnInstallation) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string probe = std::string(temp) + "cvl_fixup_outcome.txt";
  std::string package = packagePath();
  DeleteFileA(probe.c_str());
  msiexec("/x", package);  // a leftover of an interrupted run

  EXPECT_EQ(msiexec("/i", package, "PROBEFILE=\"" + probe + "\""), 0u);
  EXPECT_EQ(sortedLines(std::ifstream(probe)), kFixedOutcome);

  EXPECT_EQ(msiexec("/x", package), 0u);
  DeleteFileA(probe.c_str());
}

}  // namespace
