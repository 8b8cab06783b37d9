// The per-component phases on their own: files, self-registration,
// shortcuts, registry entries and MSI paths.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/component_registry.h"
#include "uninstaller/engine/file_removal.h"
#include "uninstaller/engine/file_unregistration.h"
#include "uninstaller/engine/msi_path.h"
#include "uninstaller/engine/shortcuts.h"

namespace cvl::test {
namespace {

using namespace platform;

constexpr const char* kTarget = "C:\\Program Files\\Corvel\\";
constexpr const char* kSharedDlls = "software\\microsoft\\windows\\currentversion\\shareddlls";

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
  std::vector<std::string> regsvr32Runs() {
    std::vector<std::string> runs;
    for (const auto& run : w.system.runs()) runs.push_back(upper(run.currentDirectory) + "> " + run.commandLine);
    return runs;
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
  EXPECT_EQ(regsvr32Runs(), (std::vector<std::string>{"C:\\PROGRAM FILES\\CORVEL> regsvr32 /u /s last.dll"}));
  EXPECT_EQ(countOf("busy.dll")->asDword(), 3u);  // phase 1 only asks

  removeComponentFiles(w.context(), app);
  EXPECT_FALSE(exists("last.dll"));
  EXPECT_FALSE(countOf("last.dll"));
  EXPECT_TRUE(exists("busy.dll"));
  EXPECT_EQ(countOf("busy.dll")->asDword(), 2u);
  EXPECT_TRUE(exists("uncounted.dll"));
  EXPECT_FALSE(countOf("uncounted.dll"));
}

TEST_F(Phases, UnregistrationSkipsMissingAndCoreFilesAndRestoresTheDirectory) {
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

  // The core list holds upper-case names and is matched as logged here.
  EXPECT_EQ(regsvr32Runs(), (std::vector<std::string>{"C:\\PROGRAM FILES\\CORVEL> regsvr32 /u /s server.ocx",
                                                      "C:\\PROGRAM FILES\\CORVEL> regsvr32 /u /s core2.dll",
                                                      "C:\\PROGRAM FILES\\CORVEL\\BIN> regsvr32 /u /s inner.dll"}));
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

TEST_F(Phases, UnknownMacroInTheTargetRemovesNothing) {
  w.addTopComponent("Stray", {{"FILEGROUP1", "STRAY"}, {"TARGET", "C:\\<UNKNOWN>\\BIN"}});
  CFilegroup& stray = w.addGroup("STRAY");
  EngineWorld::addFiles(stray, {"a.dll"});
  stray.shellObjects().items() = {"x:<NOT_A_FOLDER>\\Corvel\\T"};
  w.files.addFile("C:\\BIN\\a.dll");
  w.files.addFile("C:\\a.dll");
  w.files.addFile("C:\\Corvel\\.lnk");
  w.load();

  removeComponentFiles(w.context(), w.component("Stray"));
  removeComponentShortcuts(w.context(), w.component("Stray"));

  EXPECT_TRUE(w.files.exists("C:\\BIN\\a.dll"));
  EXPECT_TRUE(w.files.exists("C:\\a.dll"));
  EXPECT_TRUE(w.files.exists("C:\\Corvel\\.lnk"));
}

TEST_F(Phases, ShortcutsGoFromBothProgramFoldersAndBothFoldersAreNoted) {
  group().shellObjects().items() = {"1:<FOLDER_PROGRAMS>\\Corvel\\PC_TITLE", "2:<FOLDER_PROGRAMS>\\Corvel\\NO_TITLE",
                                    "3:<FOLDER_PROGRAMS>\\Old Folder\\PC_TITLE"};
  w.addDataString("PC_TITLE", "Pathcrafter");
  const std::string user = EngineWorld::kUserPrograms, common = EngineWorld::kCommonPrograms;
  w.files.addFile(user + "\\Corvel\\Pathcrafter.lnk");
  w.files.addFile(common + "\\Corvel\\Pathcrafter.lnk");
  w.files.addFile(user + "\\Corvel\\Other.lnk");
  w.files.addDirectory(common + "\\Old Folder");  // left empty by an earlier run
  CComponent& app = load();

  removeComponentShortcuts(w.context(), app);
  w.noted.removeNotedDirs(w.platform);

  EXPECT_EQ(w.system.shellDeletes(),
            (std::vector<std::string>{user + "\\Corvel\\Pathcrafter.lnk", common + "\\Corvel\\Pathcrafter.lnk"}));
  EXPECT_TRUE(w.files.exists(user + "\\Corvel\\Other.lnk"));
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
