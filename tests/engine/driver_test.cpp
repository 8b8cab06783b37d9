// The driver over a small suite: two programs sharing a library, a group of
// tools, and a library that is itself offered at the top.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/phases/stdcall.h"
#include "uninstaller/engine/uninstall_driver.h"

namespace cvl::test {
namespace {

using namespace platform;
using Events = std::vector<std::string>;

constexpr const char* kTarget = "C:\\Program Files\\Corvel\\";
constexpr const char* kComponents = "software\\corvel\\uninstall\\components\\";

Events* journal = nullptr;  // where the fake VBA installer reports

int CVL_STDCALL recordInit(const char* path, int, int) {
  journal->push_back(std::string("Init ") + path);
  return 0;
}
int CVL_STDCALL recordUnInstall() {
  journal->push_back("UnInstall");
  return 0;
}

class Driver : public testing::Test {
 protected:
  void SetUp() override {
    journal = &happened;
    w.addTopComponent("Pathcrafter", {{"FILEGROUP1", "PC_FILES"}, {"REQUIRED1", "SHAREDLIB"}, {"MISC", "VBA"}});
    w.addTopComponent("Viewer", {{"FILEGROUP1", "VIEWER_FILES"}, {"REQUIRED1", "SHAREDLIB"}});
    w.addComponent("SharedLib", {{"FILEGROUP1", "SHARED"}, {"REQUIREDBY1", "PATHCRAFTER"}, {"REQUIREDBY2", "VIEWER"}});
    w.addTopComponent("Tools", {{"MEMBER1", "TOOL_A"}, {"MEMBER2", "TOOL_B"}});
    w.addComponent("Tool_A", {{"FILEGROUP1", "TOOL_A_FILES"}});
    w.addComponent("Tool_B", {{"FILEGROUP1", "TOOL_B_FILES"}});

    CFilegroup& pc = w.addGroup("pc_files");
    pc.setSelfRegister(true);
    EngineWorld::addFiles(pc, {"pc.exe", "pcserver.dll"});
    pc.registry().keys().assign("HKLM\\Software\\Corvel\\Pathcrafter", {"Version=1"});
    pc.shellObjects().items() = {"link:<FOLDER_PROGRAMS>\\Corvel\\PC_TITLE"};
    w.addDataString("PC_TITLE", "Pathcrafter");
    EngineWorld::addFiles(w.addGroup("VIEWER_FILES"), {"viewer.exe"});
    CFilegroup& shared = w.addGroup("SHARED");
    shared.setShared(true);
    EngineWorld::addFiles(shared, {"cvlcommon.dll"});
    EngineWorld::addFiles(w.addGroup("TOOL_A_FILES"), {"toola.exe"});
    EngineWorld::addFiles(w.addGroup("TOOL_B_FILES"), {"toolb.exe"});

    for (const char* name : {"pc.exe", "pcserver.dll", "viewer.exe", "cvlcommon.dll", "toola.exe", "toolb.exe"}) {
      w.files.addFile(kTarget + std::string(name));
    }
    w.registry.seedValue(RegRoot::LocalMachine, "software\\microsoft\\windows\\currentversion\\shareddlls",
                         kTarget + std::string("cvlcommon.dll"), RegValue::dword(1));
    w.registry.seedValue(RegRoot::LocalMachine, "Software\\Corvel\\Pathcrafter", "Version", RegValue::string("1"));
    w.files.addFile(std::string(EngineWorld::kUserPrograms) + "\\Corvel\\Pathcrafter.lnk");
    w.registry.seedValue(RegRoot::LocalMachine, kComponents + std::string("Pathcrafter"), "MSIPath",
                         RegValue::string("c:\\setup\\pc.msi"));
    w.registry.seedValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                         RegValue::string("C:\\Program Files"));
    w.system.addLibrary("C:\\Program Files\\Common Files\\Microsoft Shared\\VBA\\VBA6\\vbai60.dll",
                        {{"Init", reinterpret_cast<void*>(&recordInit)},
                         {"UnInstall", reinterpret_cast<void*>(&recordUnInstall)}});
    w.system.onRun([this](const std::string& command) {
      happened.push_back("run " + command);
      return WaitResult::Finished;
    });
  }

  void addRunOnce(const std::string& component, const std::string& name, const std::string& command) {
    w.registry.seedValue(RegRoot::LocalMachine, kComponents + component + "\\RunOnce", name, RegValue::string(command));
  }

  bool run() {
    w.load();
    return runUninstall(w.context(), tree, progress);
  }
  bool exists(const std::string& name) { return w.files.exists(kTarget + name); }

  EngineWorld w;
  PlainTree tree;
  ProgressRecorder progress;
  Events happened;
};

TEST_F(Driver, NothingCheckedTouchesNothing) {
  w.load();
  tree.add(CheckState::Unchecked, &w.component("Pathcrafter"));
  tree.add(CheckState::Unchecked, &w.component("Viewer"));

  EXPECT_FALSE(runUninstall(w.context(), tree, progress));
  EXPECT_TRUE(progress.events.empty());
  EXPECT_TRUE(exists("pc.exe"));
  EXPECT_FALSE(w.context().allRemoved);
  EXPECT_EQ(w.selectedOnDisk("Pathcrafter"), "YES");
}

TEST_F(Driver, WholeSuiteRunsEveryPhaseInOrderAndCleansUp) {
  w.load();
  for (const char* name : {"Pathcrafter", "Viewer", "Tools"}) tree.add(CheckState::Checked, &w.component(name));
  addRunOnce("Pathcrafter", "a", "C:\\Setup\\cleanup.exe /a");
  addRunOnce("Pathcrafter", "b", "C:\\Setup\\cleanup.exe /b");
  w.files.addFile("C:\\Setup\\cleanup.exe");
  w.files.addFile(std::string(EngineWorld::kUninstallDir) + "DEIS_PC.ISU");
  w.files.addFile(std::string(EngineWorld::kUninstallDir) + "cvlpsapi.dll");
  w.files.addFile("C:\\Program Files\\Common Files\\Corvel\\cvlunst.exe");
  w.registry.seedValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                       RegValue::string("C:\\Program Files\\Common Files"));
  w.registry.seedKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System");
  progress.onStep = [&](int step) { happened.push_back("step " + std::to_string(step)); };

  EXPECT_TRUE(runUninstall(w.context(), tree, progress));

  EXPECT_EQ(progress.events, (Events{"create", "visible", "step 1", "range 0..24", "tick*6", "step 2", "tick*6",
                                     "step 3", "tick*6", "step 4", "step 5", "tick*6", "step 6", "tick*1", "finish"}));
  // RunOnce last value first, then unregistration with the file still there, then the VBA runtime.
  const std::string regsvr32 = "run C:\\WINDOWS\\SYSTEM32\\regsvr32.exe /u /s \"C:\\PROGRAM FILES\\CORVEL\\";
  EXPECT_EQ(happened, (Events{"step 1", "run C:\\Setup\\cleanup.exe /b", "run C:\\Setup\\cleanup.exe /a",
                              regsvr32 + "pc.exe\"", regsvr32 + "pcserver.dll\"", "Init C:\\SETUP\\PC.MSI", "UnInstall", "step 2",
                              "step 3", "step 4", "step 5", "step 6"}));
  for (const char* name : {"pc.exe", "pcserver.dll", "viewer.exe", "cvlcommon.dll", "toola.exe", "toolb.exe"}) {
    EXPECT_FALSE(exists(name)) << name;
  }
  EXPECT_FALSE(w.files.exists(std::string(EngineWorld::kUserPrograms) + "\\Corvel"));
  EXPECT_FALSE(w.registry.hasKey(RegRoot::LocalMachine, "Software\\Corvel"));
  EXPECT_TRUE(w.context().allRemoved);
  EXPECT_FALSE(w.context().hadErrors);
  // The uninstaller's own traces.
  for (const char* left : {"DEIS_PC.ISU", "cvlpsapi.dll", "cvlinst.dat", "cvlinst.log"}) {
    EXPECT_FALSE(w.files.exists(std::string(EngineWorld::kUninstallDir) + left)) << left;
  }
  EXPECT_FALSE(w.files.exists("C:\\Program Files\\Common Files\\Corvel"));
  EXPECT_FALSE(w.registry.hasKey(RegRoot::LocalMachine,
                                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System"));
  EXPECT_TRUE(w.registry.hasKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(Driver, OneProgramLeavesTheLibraryTheOtherStillNeeds) {
  w.load();
  tree.add(CheckState::Unchecked, &w.component("Pathcrafter"));
  tree.add(CheckState::Checked, &w.component("Viewer"));
  tree.add(CheckState::Unchecked, &w.component("Tools"));

  EXPECT_TRUE(runUninstall(w.context(), tree, progress));

  EXPECT_FALSE(exists("viewer.exe"));
  EXPECT_TRUE(exists("cvlcommon.dll"));
  EXPECT_TRUE(exists("pc.exe"));
  EXPECT_FALSE(w.context().allRemoved);
  EXPECT_EQ(w.selectedOnDisk("Viewer"), "No");
  EXPECT_EQ(w.selectedOnDisk("Pathcrafter"), "YES");
  EXPECT_EQ(w.selectedOnDisk("SharedLib"), "YES");
  EXPECT_TRUE(w.files.exists(std::string(EngineWorld::kUninstallDir) + "cvlinst.log"));
  EXPECT_TRUE(w.registry.hasKey(RegRoot::LocalMachine, "software\\corvel\\uninstall\\cdf"));
  EXPECT_TRUE(w.system.libraryLoads().empty());  // no VBA component went
}

TEST_F(Driver, PartlyCheckedGroupRemovesCheckedMembersOnlyAndRunsNoCommands) {
  w.load();
  addRunOnce("Tools", "a", "C:\\tools-cleanup.exe");
  w.files.addFile("C:\\tools-cleanup.exe");
  const auto tools = tree.add(CheckState::Partly, &w.component("Tools"));
  tree.add(CheckState::Checked, &w.component("Tool_A"), tools);
  tree.add(CheckState::Unchecked, &w.component("Tool_B"), tools);
  tree.add(CheckState::Checked, nullptr);  // an item without component counts as checked, nothing more

  EXPECT_TRUE(runUninstall(w.context(), tree, progress));

  EXPECT_FALSE(exists("toola.exe"));
  EXPECT_TRUE(exists("toolb.exe"));
  EXPECT_TRUE(happened.empty());
  EXPECT_FALSE(w.context().allRemoved);
}

TEST_F(Driver, CheckedTopThatOthersStillNeedRunsItsCommandsButKeepsItsFiles) {
  w.addTopComponent("SharedLib");  // offered too, and needed by two installed programs
  w.load();
  addRunOnce("SharedLib", "a", "C:\\lib-cleanup.exe");
  w.files.addFile("C:\\lib-cleanup.exe");
  tree.add(CheckState::Unchecked, &w.component("Pathcrafter"));
  tree.add(CheckState::Checked, &w.component("SharedLib"));

  EXPECT_TRUE(runUninstall(w.context(), tree, progress));

  EXPECT_EQ(happened, (Events{"run C:\\lib-cleanup.exe"}));
  EXPECT_TRUE(exists("cvlcommon.dll"));
  EXPECT_FALSE(w.context().allRemoved);
}

TEST_F(Driver, FileThatCannotGoGivesThePartialResultAndEverythingElseStillGoes) {
  w.load();
  for (const char* name : {"Pathcrafter", "Viewer", "Tools"}) tree.add(CheckState::Checked, &w.component(name));
  w.files.fail(kTarget + std::string("pc.exe"), MemoryFileSystem::Op::Delete, kSharingViolation);
  w.files.fail(kTarget + std::string("pc.exe"), MemoryFileSystem::Op::DeleteAtRestart, kAccessDenied);
  w.context().silent = true;
  w.context().showProgress = false;

  EXPECT_TRUE(runUninstall(w.context(), tree, progress));

  EXPECT_EQ(progress.events[1], "hidden");
  EXPECT_EQ(Events(progress.events.end() - 3, progress.events.end()), (Events{"step 7", "tick*1", "finish silent"}));
  EXPECT_TRUE(w.context().hadErrors);
  EXPECT_TRUE(exists("pc.exe"));
  EXPECT_FALSE(exists("pcserver.dll"));
  EXPECT_FALSE(exists("viewer.exe"));
  EXPECT_FALSE(w.files.exists(std::string(EngineWorld::kUserPrograms) + "\\Corvel\\Pathcrafter.lnk"));
  EXPECT_FALSE(w.registry.hasKey(RegRoot::LocalMachine, "Software\\Corvel\\Pathcrafter"));
  EXPECT_TRUE(w.files.exists(kTarget));  // still holds the file that stayed
}

TEST(DriverEdges, EmptyCatalogueWithACheckedItemStillShowsTheResult) {
  EngineWorld w;
  w.load();
  PlainTree tree;
  ProgressRecorder progress;
  tree.add(CheckState::Checked, nullptr);

  EXPECT_TRUE(runUninstall(w.context(), tree, progress));

  EXPECT_EQ(progress.events,
            (Events{"create", "visible", "step 1", "range 0..0", "step 2", "step 3", "step 4", "step 5", "step 6",
                    "tick*1", "finish"}));
}

}  // namespace
}  // namespace cvl::test
