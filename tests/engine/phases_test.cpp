// The per-component phases on their own: files, self-registration,
// shortcuts, registry entries and MSI paths.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/phases/component_registry.h"
#include "uninstaller/engine/phases/file_removal.h"
#include "uninstaller/engine/phases/file_unregistration.h"
#include "uninstaller/engine/phases/msi_path.h"
#include "uninstaller/engine/phases/shortcuts.h"

namespace cvl::test {
namespace {

using namespace platform;

constexpr const char* kTarget = "C:\\Program Files\\Corvel\\";
constexpr const char* kSharedDlls = "software\\microsoft\\windows\\currentversion\\shareddlls";
constexpr const char* kRegsvr32 = "C:\\WINDOWS\\SYSTEM32\\regsvr32.exe";

class Phases : public testing::Test {
 protected:
  // One component "APP" owning the group "APP_FILES".
  CFilegroup& group() {
    if (group_ == nullptr) {
      w.addTopComponent("App", {{"FILEGROUP1", "APP_FILES"}, {"FILEGROUP2", "MISSING_GROUP"}});
      group_ = &w.addGroup("App_Files");
    }
    return *group_;
  }
  CComponent& load() {
    group();
    w.load();
    return w.component("App");
  }
  // Command lines of regsvr32 runs, each started as the system's own tool.
  std::vector<std::string> regsvr32Runs() {
    std::vector<std::string> runs;
    for (const auto& run : w.system.runs()) {
      EXPECT_EQ(run.application, kRegsvr32);
      runs.push_back(run.commandLine);
    }
    return runs;
  }
  static std::string unregistration(const std::string& file) {
    return std::string(kRegsvr32) + " /u /s \"" + upper(kTarget) + file + "\"";
  }
  void count(const std::string& file, uint32_t value) {
    w.registry.seedValue(RegRoot::LocalMachine, kSharedDlls, kTarget + file, RegValue::dword(value));
  }
  std::optional<RegValue> countOf(const std::string& file) {
    return w.registry.value(RegRoot::LocalMachine, kSharedDlls, kTarget + file);
  }
  bool exists(const std::string& file) { return w.files.exists(kTarget + file); }

  EngineWorld w;
  CFilegroup* group_ = nullptr;
};

TEST_F(Phases, FilesOfTargetAndDirectoryTreeGoAndEmptiedDirectoriesAreSwept) {
  EngineWorld::addFiles(group(), {"app.exe", "notes.txt"});
  CDir& bin = EngineWorld::addDir(group(), "BIN", {"a.dll"});
  bin.makeFirstChild().setOwnName("PLUGINS");
  bin.firstChild()->files() = {"p.dll", "never-installed.dll"};
  bin.firstChild()->setFileCount(2);
  EngineWorld::addDir(group(), "DATA", {"d.dat"});
  for (const char* file : {"app.exe", "notes.txt", "BIN\\a.dll", "BIN\\PLUGINS\\p.dll", "DATA\\d.dat", "DATA\\mine.dat"}) {
    w.files.addFile(kTarget + std::string(file));
  }
  CComponent& app = load();

  removeComponentFiles(w.context(), app);
  w.noted.removeNotedDirs(w.platform);

  EXPECT_FALSE(exists("app.exe"));
  EXPECT_FALSE(exists("BIN"));  // with PLUGINS below it
  EXPECT_TRUE(exists("DATA\\mine.dat"));  // the user's file keeps its directory
  EXPECT_FALSE(exists("DATA\\d.dat"));
  EXPECT_FALSE(w.context().hadErrors);  // a missing file is no error
}

TEST_F(Phases, SharedLibrariesFollowTheirCounts) {
  CFilegroup& files = group();
  files.setShared(true);
  files.setSelfRegister(true);
  EngineWorld::addFiles(files, {"last.dll", "busy.dll", "uncounted.dll"});
  for (const char* file : {"last.dll", "busy.dll", "uncounted.dll"}) w.files.addFile(kTarget + std::string(file));
  count("last.dll", 1);
  count("busy.dll", 3);
  CComponent& app = load();

  unregisterComponentFiles(w.context(), app);
  EXPECT_EQ(regsvr32Runs(), (std::vector<std::string>{unregistration("last.dll")}));
  EXPECT_EQ(countOf("busy.dll")->asDword(), 3u);  // phase 1 only asks

  removeComponentFiles(w.context(), app);
  EXPECT_FALSE(exists("last.dll"));
  EXPECT_FALSE(countOf("last.dll"));
  EXPECT_TRUE(exists("busy.dll"));
  EXPECT_EQ(countOf("busy.dll")->asDword(), 2u);
  EXPECT_TRUE(exists("uncounted.dll"));
  EXPECT_FALSE(countOf("uncounted.dll"));
}

// Phase 2 releases the count once per listing; phase 1 must see all of them
// together, or a file whose count reaches 0 goes with its COM registration left.
TEST_F(Phases, SharedServerListedByEveryRemovedComponentIsUnregisteredOnceBeforeItGoes) {
  CFilegroup& files = group();
  files.setShared(true);
  files.setSelfRegister(true);
  EngineWorld::addFiles(files, {"both.dll", "both.dll", "kept.dll"});
  w.addTopComponent("Other", {{"FILEGROUP1", "APP_FILES"}});
  for (const char* file : {"both.dll", "kept.dll"}) w.files.addFile(kTarget + std::string(file));
  count("both.dll", 4);  // two listings in each of two components
  count("kept.dll", 3);
  CComponent& app = load();
  CComponent& other = w.component("Other");
  app.requestRemoval();
  other.requestRemoval();

  for (CComponent* component : {&app, &other}) unregisterComponentFiles(w.context(), *component);
  EXPECT_EQ(regsvr32Runs(), (std::vector<std::string>{unregistration("both.dll")}));
  for (CComponent* component : {&app, &other}) removeComponentFiles(w.context(), *component);
  EXPECT_FALSE(exists("both.dll"));
  EXPECT_EQ(countOf("kept.dll")->asDword(), 1u);
}

TEST_F(Phases, UnregistrationSkipsMissingAndCoreFilesAndLeavesTheDirectory) {
  CFilegroup& files = group();
  files.setSelfRegister(true);
  EngineWorld::addFiles(files, {"server.ocx", "gone.ocx", "CORE.DLL", "core2.dll"});
  EngineWorld::addDir(files, "BIN", {"inner.dll"});
  for (const char* file : {"server.ocx", "CORE.DLL", "core2.dll", "BIN\\inner.dll"}) {
    w.files.addFile(kTarget + std::string(file));
  }
  w.addCoreFile("core.dll");
  w.addCoreFile("core2.dll");
  w.files.addDirectory("C:\\Work");
  w.files.setCurrentDirectory("C:\\Work");
  CComponent& app = load();

  unregisterComponentFiles(w.context(), app);

  // By full path, so no same-named file elsewhere is reached; core files in any case keep their registration.
  EXPECT_EQ(regsvr32Runs(), (std::vector<std::string>{unregistration("server.ocx"), unregistration("BIN\\inner.dll")}));
  EXPECT_EQ(upper(w.files.currentDirectory()), "C:\\WORK");
}

TEST_F(Phases, FileProtectionsAndHelpSideFiles) {
  EngineWorld::addFiles(group(), {"readonly.txt", "system.sys", "core2.dll", "guide.hlp", "mixed.Dll"});
  w.files.addFile(kTarget + std::string("readonly.txt"), "", attr::kReadOnly | attr::kArchive);
  w.files.addFile(kTarget + std::string("system.sys"), "", attr::kSystem);
  w.files.addFile(kTarget + std::string("core2.dll"));
  w.files.addFile(kTarget + std::string("mixed.Dll"));
  w.addCoreFile("MIXED.DLL");
  w.addCoreFile("core2.dll");
  for (const char* file : {"guide.hlp", "GUIDE.GID", "other.fts", "x.FTG", "y.chw", "keep.txt"}) {
    w.files.addFile(kTarget + std::string(file));
  }
  CComponent& app = load();

  removeComponentFiles(w.context(), app);

  EXPECT_FALSE(exists("readonly.txt"));
  EXPECT_TRUE(exists("system.sys"));
  EXPECT_TRUE(exists("core2.dll"));
  EXPECT_TRUE(exists("mixed.Dll"));  // core files are folded to upper case here
  for (const char* gone : {"guide.hlp", "GUIDE.GID", "other.fts", "x.FTG", "y.chw"}) EXPECT_FALSE(exists(gone)) << gone;
  EXPECT_TRUE(exists("keep.txt"));
  EXPECT_FALSE(w.context().hadErrors);
}

TEST_F(Phases, FailedDeleteIsRecordedAndTheWalkGoesOn) {
  EngineWorld::addFiles(group(), {"locked.dll", "free.dll"});
  w.files.addFile(kTarget + std::string("locked.dll"));
  w.files.addFile(kTarget + std::string("free.dll"));
  w.files.fail(kTarget + std::string("locked.dll"), MemoryFileSystem::Op::Delete, kAccessDenied);
  w.files.fail(kTarget + std::string("locked.dll"), MemoryFileSystem::Op::DeleteAtRestart, kAccessDenied);
  CComponent& app = load();

  removeComponentFiles(w.context(), app);

  EXPECT_TRUE(w.context().hadErrors);
  EXPECT_FALSE(exists("free.dll"));
}

TEST_F(Phases, TargetsWithoutAnAbsoluteFolderRemoveNothing) {
  w.addTopComponent("Stray", {{"FILEGROUP1", "STRAY"}, {"TARGET", "C:\\<UNKNOWN>\\BIN"}});
  w.addTopComponent("Empty", {{"FILEGROUP1", "ROOTED"}, {"TARGET", ""}});
  w.addTopComponent("Relative", {{"FILEGROUP1", "ROOTED"}, {"TARGET", "SYSTEM32"}});
  CFilegroup& stray = w.addGroup("STRAY");
  EngineWorld::addFiles(stray, {"a.dll"});
  stray.shellObjects().items() = {"x:<NOT_A_FOLDER>\\Corvel\\T"};
  CFilegroup& rooted = w.addGroup("ROOTED");
  rooted.setSelfRegister(true);
  EngineWorld::addFiles(rooted, {"boot.ini", "guide.hlp"});
  for (const char* file : {"C:\\BIN\\a.dll", "C:\\a.dll", "C:\\Corvel\\.lnk", "C:\\boot.ini", "C:\\guide.hlp",
                           "C:\\x.gid", "C:\\WINDOWS\\SYSTEM32\\boot.ini"}) {
    w.files.addFile(file);
  }
  ASSERT_EQ(w.files.setCurrentDirectory("C:\\WINDOWS"), kSuccess);
  w.load();
  const auto before = w.files.paths();

  for (const char* name : {"Stray", "Empty", "Relative"}) {
    unregisterComponentFiles(w.context(), w.component(name));
    removeComponentFiles(w.context(), w.component(name));
    removeComponentShortcuts(w.context(), w.component(name));
  }

  EXPECT_EQ(w.files.paths(), before);
  EXPECT_TRUE(w.system.runs().empty());
  EXPECT_TRUE(w.noted.dirTree.children.empty());
}

TEST_F(Phases, LoggedNamesThatWouldLeaveTheirFolderAreSkipped) {
  EngineWorld::addFiles(group(), {"..\\victim.dll", "C:\\victim.dll", "\\victim.dll", "\\\\server\\share\\victim.dll",
                                  "own.dll"});
  EngineWorld::addDir(group(), "..\\..", {"victim.dll"});
  group().shellObjects().items() = {"1:<FOLDER_PROGRAMS>\\..\\..\\UP", "2:<FOLDER_PROGRAMS>\\Corvel\\ROOTED",
                                    "3:C:\\Windows\\PLAIN"};
  w.addDataString("UP", "victim");
  w.addDataString("ROOTED", "\\victim");
  w.addDataString("PLAIN", "victim");
  const std::string victims[] = {"C:\\Program Files\\victim.dll", "C:\\victim.dll", "\\\\server\\share\\victim.dll",
                                 "C:\\Users\\Tester\\victim.lnk", "C:\\victim.lnk", "C:\\Windows\\victim.lnk"};
  for (const std::string& victim : victims) w.files.addFile(victim);
  w.files.addFile(kTarget + std::string("own.dll"));
  CComponent& app = load();

  removeComponentFiles(w.context(), app);
  removeComponentShortcuts(w.context(), app);

  for (const std::string& victim : victims) EXPECT_TRUE(w.files.exists(victim)) << victim;
  EXPECT_FALSE(exists("own.dll"));
}

// A component may log what belongs to the uninstaller itself; its phases
// must leave it for the final clean-up.
TEST_F(Phases, TheUninstallersOwnFilesAndRecordsOutliveTheComponentPhases) {
  w.addTopComponent("Own", {{"FILEGROUP1", "OWN"}, {"TARGET", "C:\\Program Files\\Corvel\\.\\Uninstall"}});
  CFilegroup& own = w.addGroup("OWN");
  EngineWorld::addFiles(own, {"cvlinst.dat", "CVLINST.LOG.", "cvlpsapi.dll"});
  own.registry().keys().assign("HKLM\\Software\\Corvel", {"Version=1"});
  own.registry().keys().assign("HKLM\\software\\corvel\\uninstall\\cdf", {"(Default)=x"});
  own.registry().keys().assign("hklm\\Software\\Corvel\\Uninstall", {"Other=1"});
  const std::string uninstall = EngineWorld::kUninstallDir;
  w.files.addFile(uninstall + "cvlpsapi.dll");
  w.registry.seedValue(RegRoot::LocalMachine, "Software\\Corvel", "Version", RegValue::string("1"));
  w.registry.seedValue(RegRoot::LocalMachine, "Software\\Corvel\\Uninstall", "Other", RegValue::string("1"));
  w.registry.seedValue(RegRoot::LocalMachine, "Software\\Corvel\\Other Product", "Keep", RegValue::string("1"));
  w.load();

  removeComponentFiles(w.context(), w.component("Own"));
  removeComponentRegistry(w.context(), w.component("Own"));
  w.noted.removeNotedDirs(w.platform);
  w.noted.removeNotedKeys(w.platform);

  for (const char* file : {"cvlinst.dat", "cvlinst.log", "cvlpsapi.dll"}) EXPECT_TRUE(w.files.exists(uninstall + file)) << file;
  EXPECT_TRUE(w.registry.value(RegRoot::LocalMachine, "software\\corvel\\uninstall\\cdf", ""));
  EXPECT_TRUE(w.registry.value(RegRoot::LocalMachine, "Software\\Corvel\\Uninstall", "Other"));
  EXPECT_TRUE(w.registry.value(RegRoot::LocalMachine, "Software\\Corvel\\Other Product", "Keep"));
  EXPECT_TRUE(w.registry.value(RegRoot::LocalMachine, "Software\\Corvel", "Version"));
}

TEST_F(Phases, ShortcutsGoFromBothProgramFoldersAndBothFoldersAreNoted) {
  group().shellObjects().items() = {"1:<FOLDER_PROGRAMS>\\Corvel\\PC_TITLE", "2:<FOLDER_PROGRAMS>\\Corvel\\NO_TITLE",
                                    "3:<FOLDER_PROGRAMS>\\Old Folder\\PC_TITLE", "4:<FOLDER_PROGRAMS>\\Corvel\\DIR"};
  w.addDataString("PC_TITLE", "Pathcrafter");
  w.addDataString("DIR", "Samples");
  const std::string user = EngineWorld::kUserPrograms, common = EngineWorld::kCommonPrograms;
  w.files.addFile(user + "\\Corvel\\Pathcrafter.lnk");
  w.files.addFile(common + "\\Corvel\\Pathcrafter.lnk");
  w.files.addFile(user + "\\Corvel\\Other.lnk");
  w.files.addDirectory(common + "\\Old Folder");  // left empty by an earlier run
  w.files.addFile(user + "\\Corvel\\Samples.lnk\\theirs.txt");  // a folder, not a shortcut
  CComponent& app = load();
  w.context().ownerWindow = 0x4242;

  removeComponentShortcuts(w.context(), app);
  w.noted.removeNotedDirs(w.platform);

  EXPECT_EQ(w.system.shellDeletes(),
            (std::vector<std::string>{user + "\\Corvel\\Pathcrafter.lnk", common + "\\Corvel\\Pathcrafter.lnk"}));
  EXPECT_EQ(w.system.lastShellDeleteOwner(), 0x4242u);  // the progress window, so no dialog is left ownerless
  EXPECT_TRUE(w.files.exists(user + "\\Corvel\\Other.lnk"));
  EXPECT_TRUE(w.files.exists(user + "\\Corvel\\Samples.lnk\\theirs.txt"));
  EXPECT_FALSE(w.files.exists(common + "\\Corvel"));
  EXPECT_FALSE(w.files.exists(common + "\\Old Folder"));
  EXPECT_FALSE(w.context().hadErrors);
}

TEST_F(Phases, ShortcutTheShellCannotDeleteIsRecorded) {
  group().shellObjects().items() = {"1:<FOLDER_PROGRAMS>\\Corvel\\T"};
  w.addDataString("T", "Tool");
  const std::string link = std::string(EngineWorld::kCommonPrograms) + "\\Corvel\\Tool.lnk";
  w.files.addFile(link);
  w.files.fail(link, MemoryFileSystem::Op::ShellDelete, kAccessDenied);
  removeComponentShortcuts(w.context(), load());
  EXPECT_TRUE(w.context().hadErrors);
}

TEST_F(Phases, RegistryKeysOfTheSuiteGoWholeSharedKeysLoseOnlyTheirValues) {
  auto& keys = group().registry().keys();
  keys.assign("HKLM\\Software\\Corvel\\App", {"Version=1"});
  keys.assign("HKLM\\Software\\Vendor\\Shared", {"AppPath=C:\\x", "----Comment----=x", "(Default)=App"});
  keys.assign("HKCR\\.cvl", {});
  keys.assign("HKCU\\Software\\Corvel\\App\\New User Settings\\Layout", {"Size=1"});
  auto& reg = w.registry;
  reg.seedValue(RegRoot::LocalMachine, "Software\\Corvel\\App\\Sub", "Extra", RegValue::string("1"));
  reg.seedValue(RegRoot::CurrentUser, "Software\\Corvel\\App", "UserValue", RegValue::string("1"));
  reg.seedValue(RegRoot::LocalMachine, "Software\\Vendor\\Shared", "AppPath", RegValue::string("C:\\x"));
  reg.seedValue(RegRoot::LocalMachine, "Software\\Vendor\\Shared", "", RegValue::string("App"));
  reg.seedValue(RegRoot::LocalMachine, "Software\\Vendor\\Shared", "Theirs", RegValue::string("keep"));
  reg.seedValue(RegRoot::ClassesRoot, ".cvl", "", RegValue::string("Corvel.Doc"));
  reg.seedValue(RegRoot::CurrentUser, "Software\\Corvel\\App\\New User Settings\\Layout", "Size", RegValue::dword(1));
  reg.seedValue(RegRoot::CurrentUser, "Software\\Corvel\\App\\Layout", "Size", RegValue::dword(2));
  reg.seedValue(RegRoot::CurrentUser, "Software\\Corvel\\Other", "Keep", RegValue::dword(2));
  CComponent& app = load();

  removeComponentRegistry(w.context(), app);
  w.noted.removeNotedKeys(w.platform);

  EXPECT_FALSE(reg.hasKey(RegRoot::LocalMachine, "Software\\Corvel\\App"));
  EXPECT_FALSE(reg.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\App"));  // mirror and twin
  EXPECT_TRUE(reg.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Other"));
  EXPECT_EQ(reg.valueNames(RegRoot::LocalMachine, "Software\\Vendor\\Shared"), (std::vector<std::string>{"Theirs"}));
  EXPECT_FALSE(reg.hasKey(RegRoot::ClassesRoot, ".cvl"));
}

// Containers every program writes into lose only the logged values, as does
// a shared key's "New User Settings" twin; a whole deletion stops at them.
TEST_F(Phases, SharedContainersAndSharedTwinsKeepWhatIsNotLogged) {
  auto& keys = group().registry().keys();
  keys.assign("HKCR\\*\\shellex\\ContextMenuHandlers", {"Cvl={1}"});
  keys.assign("HKCR\\.cvl", {"(Default)=Corvel.Doc"});
  keys.assign("HKCU\\Software\\Vendor\\New User Settings\\Prefs", {"Size=1"});
  auto& reg = w.registry;
  reg.seedValue(RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers", "Cvl", RegValue::string("{1}"));
  reg.seedValue(RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers\\Theirs", "", RegValue::string("{2}"));
  reg.seedValue(RegRoot::ClassesRoot, ".cvl", "", RegValue::string("Corvel.Doc"));
  reg.seedValue(RegRoot::ClassesRoot, ".cvl\\ShellNew", "NullFile", RegValue::string(""));
  reg.seedValue(RegRoot::ClassesRoot, ".cvl\\OpenWithProgids", "Their.Doc", RegValue::string(""));
  reg.seedValue(RegRoot::CurrentUser, "Software\\Vendor\\Prefs", "Size", RegValue::dword(1));
  reg.seedValue(RegRoot::CurrentUser, "Software\\Vendor\\Prefs", "Theirs", RegValue::dword(2));
  reg.seedValue(RegRoot::CurrentUser, "Software\\Vendor\\Prefs\\Window", "Theirs", RegValue::dword(3));
  CComponent& app = load();

  removeComponentRegistry(w.context(), app);
  w.noted.removeNotedKeys(w.platform);

  EXPECT_EQ(reg.valueNames(RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers"), std::vector<std::string>{});
  EXPECT_TRUE(reg.hasKey(RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers\\Theirs"));
  EXPECT_FALSE(reg.hasKey(RegRoot::ClassesRoot, ".cvl\\ShellNew"));
  EXPECT_EQ(reg.valueNames(RegRoot::ClassesRoot, ".cvl"), std::vector<std::string>{});
  EXPECT_TRUE(reg.value(RegRoot::ClassesRoot, ".cvl\\OpenWithProgids", "Their.Doc"));
  EXPECT_EQ(reg.valueNames(RegRoot::CurrentUser, "Software\\Vendor\\Prefs"), (std::vector<std::string>{"Theirs"}));
  EXPECT_TRUE(reg.hasKey(RegRoot::CurrentUser, "Software\\Vendor\\Prefs\\Window"));
}

TEST_F(Phases, MsiPathsComeOnlyFromVbaComponentsWithAPath) {
  const std::string key = "software\\corvel\\uninstall\\components\\";
  w.addTopComponent("WithVba", {{"MISC", "SERVED,VBA"}});
  w.addTopComponent("NoVba");
  w.addTopComponent("EmptyPath", {{"MISC", "VBA"}});
  w.addTopComponent("NoKey", {{"MISC", "VBA"}});
  w.registry.seedValue(RegRoot::LocalMachine, key + "WithVba", "MSIPath", RegValue::string("d:\\pkg\\a.msi"));
  w.registry.seedValue(RegRoot::LocalMachine, key + "NoVba", "MSIPath", RegValue::string("d:\\pkg\\b.msi"));
  w.registry.seedValue(RegRoot::LocalMachine, key + "EmptyPath", "MSIPath", RegValue::string(""));
  w.load();

  for (const char* name : {"WithVba", "NoVba", "EmptyPath", "NoKey"}) collectMsiPath(w.context(), w.component(name));

  EXPECT_EQ(w.context().msiPaths, (std::vector<std::string>{"D:\\PKG\\A.MSI"}));
}

}  // namespace
}  // namespace cvl::test
