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

constexpr const char* kSharedDlls = "software\\microsoft\\windows\\currentversion\\shareddlls";
constexpr const char* kRegsvr32 = "C:\\WINDOWS\\SYSTEM32\\regsvr32.exe";

// One component "App" owning the group "App_Files", and naming a group the log lacks.
class Phases : public testing::Test {
 protected:
  void SetUp() override {
    w.addTop({.name = "App", .fileGroups = {"APP_FILES", "MISSING_GROUP"}});
    w.suite.groups = {{.name = "App_Files"}};
  }
  fixture::FileGroup& group() { return w.suite.groups.front(); }
  CComponent& app() { return w.component("App"); }
  // Command lines of regsvr32 runs, each started as the system's own tool.
  Lines regsvr32Runs() {
    Lines runs;
    for (const auto& run : w.system.runs()) {
      EXPECT_EQ(run.application, kRegsvr32);
      runs.push_back(run.commandLine);
    }
    return runs;
  }
  static std::string unregistration(const std::string& file) {
    return std::string(kRegsvr32) + " /u /s \"" + EngineWorld::target(file) + "\"";
  }
  std::optional<RegValue> countOf(const std::string& file) {
    return w.registry.value(RegRoot::LocalMachine, kSharedDlls, w.target(file));
  }
  void sharedAndSelfRegistering(const Lines& files) {
    group().shared = group().selfRegister = true;
    group().files = files;
  }

  EngineWorld w;
};

// Files of the target and its directory tree go and emptied directories
// are swept; read-only files go too, system and core files stay, and a help
// file takes the help system's side files along.
TEST_F(Phases, FilesGoAsTheirProtectionsAllowAndEmptiedDirectoriesAreSwept) {
  group().files = {"app.exe", "notes.txt", "readonly.txt", "system.sys", "core2.dll", "guide.hlp", "mixed.Dll"};
  group().directories = {{"BIN", {"a.dll"}, {{"PLUGINS", {"p.dll", "never-installed.dll"}}}}, {"DATA", {"d.dat"}}};
  w.suite.coreFiles = {"MIXED.DLL", "core2.dll"};
  w.install();
  ASSERT_EQ(w.files.deleteFile(w.target("BIN\\PLUGINS\\never-installed.dll")), kSuccess);
  w.files.addFile(w.target("readonly.txt"), "", attr::kReadOnly | attr::kArchive);
  w.files.addFile(w.target("system.sys"), "", attr::kSystem);
  for (const char* file : {"DATA\\mine.dat", "GUIDE.GID", "other.fts", "x.FTG", "y.chw", "keep.txt"}) {
    w.files.addFile(w.target(file));
  }

  removeComponentFiles(w.context(), app());
  w.noted.removeNotedDirs(w.platform);

  // BIN goes with PLUGINS below it; the user's files keep their directories;
  // core files are folded to upper case here.
  EXPECT_EQ(w.present({"app.exe", "BIN", "DATA\\mine.dat", "DATA\\d.dat", "readonly.txt", "system.sys", "core2.dll",
                       "mixed.Dll", "guide.hlp", "GUIDE.GID", "other.fts", "x.FTG", "y.chw", "keep.txt"}),
            (Lines{"DATA\\mine.dat", "system.sys", "core2.dll", "mixed.Dll", "keep.txt"}));
  EXPECT_FALSE(w.context().hadErrors);  // a missing file is no error
}

TEST_F(Phases, SharedLibrariesFollowTheirCounts) {
  sharedAndSelfRegistering({"last.dll", "busy.dll", "uncounted.dll"});
  w.suite.sharedCounts = {{w.target("last.dll"), 1}, {w.target("busy.dll"), 3}};
  w.install();

  unregisterComponentFiles(w.context(), app());
  EXPECT_EQ(regsvr32Runs(), Lines{unregistration("last.dll")});
  EXPECT_EQ(countOf("busy.dll")->asDword(), 3u);  // phase 1 only asks

  removeComponentFiles(w.context(), app());
  EXPECT_EQ(w.present({"last.dll", "busy.dll", "uncounted.dll"}), (Lines{"busy.dll", "uncounted.dll"}));
  EXPECT_FALSE(countOf("last.dll"));
  EXPECT_EQ(countOf("busy.dll")->asDword(), 2u);
  EXPECT_FALSE(countOf("uncounted.dll"));
}

// Phase 2 releases the count once per listing; phase 1 must see all of them
// together, or a file whose count reaches 0 goes with its COM registration left.
TEST_F(Phases, SharedServerListedByEveryRemovedComponentIsUnregisteredOnceBeforeItGoes) {
  sharedAndSelfRegistering({"both.dll", "both.dll", "kept.dll"});
  w.addTop({.name = "Other", .fileGroups = {"APP_FILES"}});
  w.suite.sharedCounts = {{w.target("both.dll"), 4}, {w.target("kept.dll"), 3}};  // two listings in each of two
  w.install();
  CComponent* both[] = {&app(), &w.component("Other")};
  for (CComponent* component : both) component->requestRemoval();

  for (CComponent* component : both) unregisterComponentFiles(w.context(), *component);
  EXPECT_EQ(regsvr32Runs(), Lines{unregistration("both.dll")});
  for (CComponent* component : both) removeComponentFiles(w.context(), *component);
  EXPECT_FALSE(w.exists("both.dll"));
  EXPECT_EQ(countOf("kept.dll")->asDword(), 1u);
}

TEST_F(Phases, UnregistrationSkipsMissingAndCoreFilesAndLeavesTheDirectory) {
  group().selfRegister = true;
  group().files = {"server.ocx", "gone.ocx", "CORE.DLL", "core2.dll"};
  group().directories = {{"BIN", {"inner.dll"}}};
  w.suite.coreFiles = {"core.dll", "core2.dll"};
  w.install();
  ASSERT_EQ(w.files.deleteFile(w.target("gone.ocx")), kSuccess);
  w.files.addDirectory("C:\\Work");
  w.files.setCurrentDirectory("C:\\Work");

  unregisterComponentFiles(w.context(), app());

  // By full path, so no same-named file elsewhere is reached; core files in any case keep their registration.
  EXPECT_EQ(regsvr32Runs(), (Lines{unregistration("server.ocx"), unregistration("BIN\\inner.dll")}));
  EXPECT_EQ(upper(w.files.currentDirectory()), "C:\\WORK");
}

TEST_F(Phases, ShortcutsGoFromBothProgramFoldersAndBothFoldersAreNoted) {
  group().missingShortcuts = {"<FOLDER_PROGRAMS>\\Corvel\\PC_TITLE", "<FOLDER_PROGRAMS>\\Corvel\\NO_TITLE",
                              "<FOLDER_PROGRAMS>\\Old Folder\\PC_TITLE", "<FOLDER_PROGRAMS>\\Corvel\\DIR"};
  w.suite.dataStrings = {{"PC_TITLE", "Pathcrafter"}, {"DIR", "Samples"}};
  const std::string user = EngineWorld::kUserPrograms, common = EngineWorld::kCommonPrograms;
  for (const std::string& file : {user + "\\Corvel\\Pathcrafter.lnk", common + "\\Corvel\\Pathcrafter.lnk",
                                  user + "\\Corvel\\Other.lnk", user + "\\Corvel\\Samples.lnk\\theirs.txt"}) {
    w.files.addFile(file);  // the last in a folder, not a shortcut
  }
  w.files.addDirectory(common + "\\Old Folder");  // left empty by an earlier run
  w.load().ownerWindow = 0x4242;

  removeComponentShortcuts(w.context(), app());
  w.noted.removeNotedDirs(w.platform);

  EXPECT_EQ(w.system.shellDeletes(), (Lines{user + "\\Corvel\\Pathcrafter.lnk", common + "\\Corvel\\Pathcrafter.lnk"}));
  EXPECT_EQ(w.system.lastShellDeleteOwner(), 0x4242u);  // the progress window, so no dialog is left ownerless
  EXPECT_TRUE(w.files.exists(user + "\\Corvel\\Other.lnk"));
  EXPECT_TRUE(w.files.exists(user + "\\Corvel\\Samples.lnk\\theirs.txt"));
  EXPECT_FALSE(w.files.exists(common + "\\Corvel"));
  EXPECT_FALSE(w.files.exists(common + "\\Old Folder"));
  EXPECT_FALSE(w.context().hadErrors);
}

TEST_F(Phases, ShortcutTheShellCannotDeleteIsRecorded) {
  group().missingShortcuts = {"<FOLDER_PROGRAMS>\\Corvel\\T"};
  w.suite.dataStrings = {{"T", "Tool"}};
  const std::string link = std::string(EngineWorld::kCommonPrograms) + "\\Corvel\\Tool.lnk";
  w.files.addFile(link);
  w.files.fail(link, MemoryFileSystem::Op::ShellDelete, kAccessDenied);
  w.load();
  removeComponentShortcuts(w.context(), app());
  EXPECT_TRUE(w.context().hadErrors);
}

// Keys of the suite go whole, with the current user's mirror and twins.
// Shared keys, containers every program writes into and a shared key's
// "New User Settings" twin lose only the logged values; a whole deletion
// stops at them.
TEST_F(Phases, RegistryKeysOfTheSuiteGoWholeSharedOnesLoseOnlyTheLoggedValues) {
  group().registry = {{"HKLM\\Software\\Corvel\\App", {"Version=1"}},
                      {"HKLM\\Software\\Vendor\\Shared", {"AppPath=C:\\x", "----Comment----=x", "(Default)=App"}},
                      {"HKCR\\.cvl", {}},
                      {"HKCU\\Software\\Corvel\\App\\New User Settings\\Layout", {"Size=1"}},
                      {"HKCR\\*\\shellex\\ContextMenuHandlers", {"Cvl={1}"}},
                      {"HKCR\\.cvd", {"(Default)=Corvel.Doc"}},
                      {"HKCU\\Software\\Vendor\\New User Settings\\Prefs", {"Size=1"}}};
  w.suite.unloggedKeys = {{"HKLM\\Software\\Corvel\\App\\Sub", {"Extra=1"}},
                          {"HKCU\\Software\\Corvel\\App", {"UserValue=1"}},
                          {"HKLM\\Software\\Vendor\\Shared", {"AppPath=C:\\x", "(Default)=App", "Theirs=keep"}},
                          {"HKCR\\.cvl", {"(Default)=Corvel.Doc"}},
                          {"HKCU\\Software\\Corvel\\App\\New User Settings\\Layout", {"Size=1"}},
                          {"HKCU\\Software\\Corvel\\App\\Layout", {"Size=2"}},
                          {"HKCU\\Software\\Corvel\\Other", {"Keep=2"}},
                          {"HKCR\\*\\shellex\\ContextMenuHandlers", {"Cvl={1}"}},
                          {"HKCR\\*\\shellex\\ContextMenuHandlers\\Theirs", {"(Default)={2}"}},
                          {"HKCR\\.cvd", {"(Default)=Corvel.Doc"}},
                          {"HKCR\\.cvd\\ShellNew", {"NullFile="}},
                          {"HKCR\\.cvd\\OpenWithProgids", {"Their.Doc="}},
                          {"HKCU\\Software\\Vendor\\Prefs", {"Size=1", "Theirs=2"}},
                          {"HKCU\\Software\\Vendor\\Prefs\\Window", {"Theirs=3"}}};
  w.load();
  KeyWalker keys(w.context().registry());
  removeComponentRegistry(w.context(), keys, app());
  w.noted.removeNotedKeys(w.platform);

  auto& reg = w.registry;
  EXPECT_FALSE(reg.hasKey(RegRoot::LocalMachine, "Software\\Corvel\\App"));
  EXPECT_FALSE(reg.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\App"));  // mirror and twin
  EXPECT_TRUE(reg.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Other"));
  EXPECT_EQ(reg.valueNames(RegRoot::LocalMachine, "Software\\Vendor\\Shared"), Lines{"Theirs"});
  EXPECT_FALSE(reg.hasKey(RegRoot::ClassesRoot, ".cvl"));
  EXPECT_EQ(reg.valueNames(RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers"), Lines{});
  EXPECT_TRUE(reg.hasKey(RegRoot::ClassesRoot, "*\\shellex\\ContextMenuHandlers\\Theirs"));
  EXPECT_FALSE(reg.hasKey(RegRoot::ClassesRoot, ".cvd\\ShellNew"));
  EXPECT_EQ(reg.valueNames(RegRoot::ClassesRoot, ".cvd"), Lines{});
  EXPECT_TRUE(reg.value(RegRoot::ClassesRoot, ".cvd\\OpenWithProgids", "Their.Doc"));
  EXPECT_EQ(reg.valueNames(RegRoot::CurrentUser, "Software\\Vendor\\Prefs"), Lines{"Theirs"});
  EXPECT_TRUE(reg.hasKey(RegRoot::CurrentUser, "Software\\Vendor\\Prefs\\Window"));
}

TEST_F(Phases, MsiPathsComeOnlyFromVbaComponentsWithAPath) {
  w.addTop({.name = "WithVba", .misc = "SERVED,VBA"});
  w.addTop({.name = "NoVba"});
  w.addTop({.name = "EmptyPath", .misc = "VBA"});
  w.addPart({.name = "NoKey", .misc = "VBA"});  // no key written for a part
  const std::string key = "HKLM\\" + std::string(kComponentsKey);
  w.suite.unloggedKeys = {{key + "WithVba", {"MSIPath=d:\\pkg\\a.msi"}},
                          {key + "NoVba", {"MSIPath=d:\\pkg\\b.msi"}},
                          {key + "EmptyPath", {"MSIPath="}}};
  w.load();

  for (const char* name : {"WithVba", "NoVba", "EmptyPath", "NoKey"}) collectMsiPath(w.context(), w.component(name));

  EXPECT_EQ(w.context().msiPaths, Lines{"D:\\PKG\\A.MSI"});
}

}  // namespace
}  // namespace cvl::test
