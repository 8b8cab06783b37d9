// The driver over a small suite: two programs sharing a library, and a group
// of tools.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/phases/stdcall.h"

namespace cvl::test {
namespace {

using namespace platform;

constexpr const char* kVersionKey = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kWindowsEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System";
const Lines kAllFiles = {"pc.exe", "pcserver.dll", "viewer.exe", "cvlcommon.dll", "toola.exe", "toolb.exe"};

Lines* happened = nullptr;  // where the fake VBA installer reports

int CVL_STDCALL recordInit(const char* path, int, int) {
  happened->push_back(std::string("Init ") + path);
  return 0;
}
int CVL_STDCALL recordUnInstall() {
  happened->push_back("UnInstall");
  return 0;
}

class Driver : public testing::Test {
 protected:
  void SetUp() override {
    happened = &events;
    w.addTop({.name = "Pathcrafter", .required = {"SHAREDLIB"}, .fileGroups = {"PC_FILES"}, .misc = "VBA"});
    w.addTop({.name = "Viewer", .required = {"SHAREDLIB"}, .fileGroups = {"VIEWER_FILES"}});
    w.addPart({.name = "SharedLib", .requiredBy = {"PATHCRAFTER", "VIEWER"}, .fileGroups = {"SHARED"}});
    w.addTop({.name = "Tools", .members = {"TOOL_A", "TOOL_B"}});
    w.addPart({.name = "Tool_A", .fileGroups = {"TOOL_A_FILES"}});
    w.addPart({.name = "Tool_B", .fileGroups = {"TOOL_B_FILES"}});
    w.suite.groups = {{.name = "pc_files",  // found whatever the case of its name
                       .selfRegister = true,
                       .files = {"pc.exe", "pcserver.dll"},
                       .registry = {{"HKLM\\Software\\Corvel\\Pathcrafter", {"Version=1"}}},
                       .shortcuts = {"<FOLDER_PROGRAMS>\\Corvel\\PC_TITLE"}},
                      {.name = "VIEWER_FILES", .files = {"viewer.exe"}},
                      {.name = "SHARED", .shared = true, .files = {"cvlcommon.dll"}},
                      {.name = "TOOL_A_FILES", .files = {"toola.exe"}},
                      {.name = "TOOL_B_FILES", .files = {"toolb.exe"}}};
    w.suite.dataStrings = {{"PC_TITLE", "Pathcrafter"}};
    w.suite.sharedCounts = {{w.target("cvlcommon.dll"), 1}};
    w.suite.unloggedKeys = {{"HKLM\\" + std::string(kComponentsKey) + "Pathcrafter", {"MSIPath=c:\\setup\\pc.msi"}},
                            {kVersionKey, {"ProgramFilesDir=C:\\Program Files"}}};
    w.system.addLibrary("C:\\Program Files\\Common Files\\Microsoft Shared\\VBA\\VBA6\\vbai60.dll",
                        {{"Init", reinterpret_cast<void*>(&recordInit)},
                         {"UnInstall", reinterpret_cast<void*>(&recordUnInstall)}});
    w.system.onRun([this](const std::string& command) {
      events.push_back("run " + command);
      return WaitResult::Finished;
    });
  }
  void checkAllTops() {
    for (const char* name : {"Pathcrafter", "Viewer", "Tools"}) w.check(name);
  }

  EngineWorld w;
  Lines events;
};

TEST_F(Driver, NothingCheckedTouchesNothing) {
  w.install();
  w.check("Pathcrafter", CheckState::Unchecked);
  w.check("Viewer", CheckState::Unchecked);

  EXPECT_FALSE(w.run());
  EXPECT_TRUE(w.progress.events.empty());
  EXPECT_TRUE(w.exists("pc.exe"));
  EXPECT_FALSE(w.context().allRemoved);
  EXPECT_TRUE(w.selectedOnDisk("Pathcrafter"));
}

TEST_F(Driver, WholeSuiteRunsEveryPhaseInOrderAndCleansUp) {
  w.addRunOnce("Pathcrafter", "a", "C:\\Setup\\cleanup.exe /a");
  w.addRunOnce("Pathcrafter", "b", "C:\\Setup\\cleanup.exe /b");
  w.suite.extraUninstallFiles = {"DEIS_PC.ISU", "cvlpsapi.dll"};
  w.suite.unloggedKeys.push_back({kVersionKey, {"CommonFilesDir=C:\\Program Files\\Common Files"}});
  w.files.addFile("C:\\Setup\\cleanup.exe");
  w.files.addFile("C:\\Program Files\\Common Files\\Corvel\\cvlunst.exe");
  w.install();
  checkAllTops();
  w.progress.onStep = [&](int step) { events.push_back("step " + std::to_string(step)); };

  EXPECT_TRUE(w.run());

  EXPECT_EQ(w.progress.events, (Lines{"create", "visible", "step 1", "range 0..24", "tick*6", "step 2", "tick*6",
                                      "step 3", "tick*6", "step 4", "step 5", "tick*6", "step 6", "tick*1", "finish"}));
  // RunOnce last value first, then unregistration with the file still there, then the VBA runtime.
  const std::string regsvr32 = "run C:\\WINDOWS\\SYSTEM32\\regsvr32.exe /u /s \"" + w.target("");
  EXPECT_EQ(events, (Lines{"step 1", "run C:\\Setup\\cleanup.exe /b", "run C:\\Setup\\cleanup.exe /a",
                           regsvr32 + "pc.exe\"", regsvr32 + "pcserver.dll\"", "Init C:\\SETUP\\PC.MSI", "UnInstall",
                           "step 2", "step 3", "step 4", "step 5", "step 6"}));
  EXPECT_EQ(w.present(kAllFiles), Lines{});
  EXPECT_FALSE(w.files.exists(std::string(EngineWorld::kUserPrograms) + "\\Corvel"));
  EXPECT_FALSE(w.registry.hasKey(RegRoot::LocalMachine, "Software\\Corvel"));
  EXPECT_TRUE(w.context().allRemoved);
  EXPECT_FALSE(w.context().hadErrors);
  // The uninstaller's own traces.
  for (const char* left : {"DEIS_PC.ISU", "cvlpsapi.dll", "cvlinst.dat", "cvlinst.log"}) {
    EXPECT_FALSE(w.files.exists(std::string(EngineWorld::kUninstallDir) + left)) << left;
  }
  EXPECT_FALSE(w.files.exists("C:\\Program Files\\Common Files\\Corvel"));
  EXPECT_FALSE(w.registry.hasKey(RegRoot::LocalMachine, kWindowsEntry));
  EXPECT_TRUE(w.registry.hasKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(Driver, PartlyCheckedGroupRemovesCheckedMembersOnlyAndRunsNoCommands) {
  w.addRunOnce("Tools", "a", "C:\\tools-cleanup.exe");
  w.files.addFile("C:\\tools-cleanup.exe");
  w.install();
  const auto tools = w.check("Tools", CheckState::Partly);
  w.check("Tool_A", CheckState::Checked, tools);
  w.check("Tool_B", CheckState::Unchecked, tools);
  w.tree.add(CheckState::Checked, nullptr);  // an item without component counts as checked, nothing more

  EXPECT_TRUE(w.run());

  EXPECT_EQ(w.present({"toola.exe", "toolb.exe"}), Lines{"toolb.exe"});
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(w.context().allRemoved);
}

TEST_F(Driver, FileThatCannotGoGivesThePartialResultAndEverythingElseStillGoes) {
  w.install();
  checkAllTops();
  w.files.fail(w.target("pc.exe"), MemoryFileSystem::Op::Delete, kSharingViolation);
  w.files.fail(w.target("pc.exe"), MemoryFileSystem::Op::DeleteAtRestart, kAccessDenied);
  w.context().silent = true;
  w.context().showProgress = false;
  const Lines& journal = w.journalLines();

  EXPECT_TRUE(w.run());

  EXPECT_EQ(w.progress.events[1], "hidden");
  EXPECT_EQ(Lines(w.progress.events.end() - 3, w.progress.events.end()),
            (Lines{"step 7", "tick*1", "finish silent"}));
  EXPECT_TRUE(w.context().hadErrors);
  EXPECT_NE(std::find(journal.begin(), journal.end(), "kept file: " + w.target("pc.exe (in use, Windows error 32)")),
            journal.end());
  EXPECT_EQ(w.present({"pc.exe", "pcserver.dll", "viewer.exe"}), Lines{"pc.exe"});
  EXPECT_FALSE(w.files.exists(std::string(EngineWorld::kUserPrograms) + "\\Corvel\\Pathcrafter.lnk"));
  EXPECT_FALSE(w.registry.hasKey(RegRoot::LocalMachine, "Software\\Corvel\\Pathcrafter"));
  EXPECT_TRUE(w.exists(""));  // the target still holds the file that stayed
}

TEST(DriverEdges, EmptyCatalogueWithACheckedItemStillShowsTheResult) {
  EngineWorld w;
  w.load();
  w.tree.add(CheckState::Checked, nullptr);

  EXPECT_TRUE(w.run());

  EXPECT_EQ(w.progress.events, (Lines{"create", "visible", "step 1", "range 0..0", "step 2", "step 3", "step 4",
                                      "step 5", "step 6", "tick*1", "finish"}));
}

}  // namespace
}  // namespace cvl::test
