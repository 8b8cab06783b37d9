// The whole removal on Wine's real registry and file system, with the
// system's own regsvr32, a stand-in VBA installer and RunOnce commands run
// through cmd. The installation is declared with the shared builder and
// loaded as start-up loads it; it is removed again after each test.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <fstream>
#include <sstream>

#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/doubles/driver_doubles.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "uninstaller/startup/loaded_installation.h"

namespace cvl::test {
namespace {

using platform::RegRoot;
using Events = std::vector<std::string>;

const std::string kRoot = "C:\\CvlEngineTest";
const std::string kTarget = kRoot + "\\Program";
const std::string kUninstallDir = kRoot + "\\Uninstall\\";
const std::string kRunOnceMarks = kRoot + "\\runonce.txt";
constexpr const char* kServerKey = "Software\\CvlEngineTest\\SelfRegServer";  // HKCU, the test DLL's own
constexpr const char* kSuiteKey = "Software\\Corvel\\EngineTest";              // HKLM, logged
constexpr const char* kSharedDlls = "software\\microsoft\\windows\\currentversion\\shareddlls";
constexpr const char* kWindowsEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System";

std::string target(const std::string& relative) { return kTarget + "\\" + relative; }
std::string directoryOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }
bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string machineString(const char* name) {
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  SHGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", name, nullptr, value, &size);
  return value;
}

std::string contentOf(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

void writeFile(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  std::ofstream(path, std::ios::binary) << "x";
}

std::optional<uint32_t> sharedCount(const std::string& file) {
  DWORD value = 0, size = sizeof value;
  if (SHGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, target(file).c_str(), nullptr, &value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

// Two components offered at the top: self-registering and shared servers,
// and documents with a help folder and a shortcut; both with a VBA package.
fixture::Installation engineSuite(const std::string& programsFolder) {
  fixture::Installation suite;
  suite.uninstallDir = kUninstallDir;
  suite.targetDir = kTarget;
  suite.programsFolder = programsFolder;
  suite.pathMacros = {{"TARGETDIR", kTarget}};
  suite.fileContent = "x";
  suite.components = {{.name = "Servers", .fileGroups = {"SERVER_FILES", "SHARED_FILES"}, .misc = "VBA"},
                      {.name = "Docs", .fileGroups = {"DOC_FILES"}, .misc = "VBA"}};
  suite.topComponents = {"SERVERS", "DOCS"};
  suite.dataStrings = {{"DOCS_LINK", "Engine Docs"}};
  suite.coreFiles = {"KERNEL32.DLL"};
  suite.groups = {{.name = "SERVER_FILES",
                   .selfRegister = true,
                   .files = {"cvlselfreg.dll"},
                   .registry = {{"HKLM\\" + std::string(kSuiteKey), {"Version=1"}},
                                {"HKCU\\Software\\CvlEngineShared", {"ServerPath=x"}}}},
                  {.name = "SHARED_FILES", .shared = true, .files = {"cvlshared1.dll", "cvlshared3.dll"}},
                  {.name = "DOC_FILES",
                   .files = {"readme.txt", "locked.txt", "readonly.txt"},
                   .directories = {{"HELP", {"guide.hlp"}}},
                   .shortcuts = {"<FOLDER_PROGRAMS>\\CvlEngineTest\\DOCS_LINK"}}};
  suite.sharedCounts = {{target("cvlshared1.dll"), 1}, {target("cvlshared3.dll"), 3}};
  suite.extraUninstallFiles = {"DEIS_ENGINETEST.ISU", "cvlpsapi.dll"};
  const std::string components = "HKLM\\" + std::string(kComponentsKey);
  suite.unloggedKeys = {{"HKCU\\Software\\CvlEngineShared", {"Theirs=kept"}},
                        {components + "Servers", {"MSIPath=c:\\pkgs\\servers.msi"}},
                        {components + "Docs", {"MSIPath=c:\\pkgs\\KEEP-docs.msi"}},
                        {components + "Servers\\RunOnce", {}}};
  for (const std::string mark : {"a", "b", "c"}) {
    suite.unloggedKeys.back().lines.push_back(mark + "=cmd /c echo " + mark + ">>" + kRunOnceMarks);
  }
  return suite;
}

class WineRemoval : public testing::Test {
 protected:
  void SetUp() override {
    removeEverything();
    fixture::install(machine, engineSuite(programs));
    for (const std::string& path : {target("HELP\\GUIDE.GID"), target("HELP\\other.fts"), commonLink, sharedProgram,
                                    target("mine.txt")}) {  // the last the user's: it keeps the target directory
      writeFile(path);
    }
    SetFileAttributesA(target("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    const DWORD notACommand = 1;
    SHSetValueA(HKEY_LOCAL_MACHINE, (kComponentsKey + std::string("Servers\\RunOnce")).c_str(), "d-not-a-command",
                REG_DWORD, &notACommand, sizeof notACommand);
    const std::string helpers = directoryOf(programDirectory());  // where the build put the helper libraries
    CopyFileA((helpers + "\\cvlselfreg.dll").c_str(), target("cvlselfreg.dll").c_str(), FALSE);
    ASSERT_EQ(machine.system().runHidden(machine.system().systemDirectory() + "\\regsvr32.exe",
                                         "regsvr32 /s \"" + target("cvlselfreg.dll") + "\"", 30000),
              platform::WaitResult::Finished);
    writeFile(vbaDir + "\\vbai60.dll");
    CopyFileA((helpers + "\\vbai60.dll").c_str(), (vbaDir + "\\vbai60.dll").c_str(), FALSE);

    ASSERT_EQ(installation.load(machine), StartupError::None);
    context.reset(new RemovalContext(installation.removalContext(machine)));
    for (const std::string& name : installation.catalogue.topComponents) {
      tree.add(CheckState::Checked, installation.catalogue.componentMap.find(name));
    }
    context->silent = true;
  }
  void TearDown() override { removeEverything(); }

  void removeEverything() {
    SetFileAttributesA(target("readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::string& tree : {kRoot, userFolder, commonFolder, vbaDir, directoryOf(sharedProgram)}) {
      (void)machine.system().shellDelete(tree, 0);  // missing on a first run
    }
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Corvel");
    for (const char* key : {"Software\\Corvel", "Software\\CvlEngineTest", "Software\\CvlEngineShared"}) {
      SHDeleteKeyA(HKEY_CURRENT_USER, key);
    }
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kWindowsEntry);
    for (const char* file : {"cvlshared1.dll", "cvlshared3.dll"}) {
      SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, target(file).c_str());
    }
  }
  bool hasKey(RegRoot root, const std::string& key) {
    platform::RegKeyPtr open;
    return machine.registry().openKey(root, key, platform::access::kRead, open) == platform::kSuccess;
  }
  // What is true when a step begins.
  void watchSteps() {
    const auto server = [this] { return "server dll " + std::string(exists(target("cvlselfreg.dll")) ? "kept" : "gone"); };
    progress.onStep = [this, server](int step) {
      if (step == 2) {
        seen.push_back("server key " + std::string(hasKey(RegRoot::CurrentUser, kServerKey) ? "kept" : "gone"));
        seen.push_back(server());
        seen.push_back("vba calls " + contentOf(vbaDir + "\\calls.txt"));
      }
      if (step == 3) seen.push_back(server());
    };
  }

  void expectRemovedAroundAnyHeldFile() {
    EXPECT_EQ(contentOf(kRunOnceMarks), "c\r\nb\r\na\r\n");
    for (const char* kept : {"mine.txt", "cvlshared3.dll"}) EXPECT_TRUE(exists(target(kept))) << kept;
    for (const char* gone : {"readme.txt", "readonly.txt", "cvlshared1.dll", "cvlselfreg.dll", "HELP"}) {
      EXPECT_FALSE(exists(target(gone))) << gone;
    }
    EXPECT_FALSE(exists(userLink));
    EXPECT_FALSE(exists(commonLink));
    EXPECT_FALSE(hasKey(RegRoot::LocalMachine, kSuiteKey));
  }

  platform::Win32Platform machine;
  const std::string programs = machine.system().specialFolder(platform::csidl::kPrograms).value_or("");
  const std::string userFolder = programs + "\\CvlEngineTest";
  const std::string commonFolder =
      machine.system().specialFolder(platform::csidl::kCommonPrograms).value_or("") + "\\CvlEngineTest";
  const std::string userLink = userFolder + "\\Engine Docs.lnk", commonLink = commonFolder + "\\Engine Docs.lnk";
  const std::string vbaDir = machineString("ProgramFilesDir") + "\\Common Files\\Microsoft Shared\\VBA\\VBA6";
  const std::string sharedProgram = machineString("CommonFilesDir") + "\\Corvel\\cvlunst.exe";
  LoadedInstallation installation;
  std::unique_ptr<RemovalContext> context;
  PlainTree tree;
  ProgressRecorder progress;
  Events seen;
};

TEST_F(WineRemoval, WholeSuiteGoesPhaseByPhase) {
  ASSERT_TRUE(hasKey(RegRoot::CurrentUser, kServerKey)) << "regsvr32 did not register the test server";
  watchSteps();

  ASSERT_TRUE(runUninstall(*context, tree, progress));
  EXPECT_FALSE(context->hadErrors);

  EXPECT_EQ(progress.events, (Events{"create", "visible", "step 1", "range 0..8", "tick*2", "step 2", "tick*2", "step 3",
                                     "tick*2", "step 4", "step 5", "tick*2", "step 6", "tick*1", "finish silent"}));
  // Unregistered through regsvr32 in phase 1 with its file still there; the VBA installer after it.
  EXPECT_EQ(seen, (Events{"server key gone", "server dll kept",
                          "vba calls Init C:\\PKGS\\SERVERS.MSI 1 0\nUnInstall\nInit C:\\PKGS\\KEEP-DOCS.MSI 1 0\n",
                          "server dll gone"}));
  expectRemovedAroundAnyHeldFile();
  EXPECT_FALSE(exists(target("locked.txt")));
  EXPECT_FALSE(sharedCount("cvlshared1.dll"));
  EXPECT_EQ(sharedCount("cvlshared3.dll"), 2u);
  EXPECT_FALSE(exists(userFolder));
  EXPECT_FALSE(exists(commonFolder));
  EXPECT_TRUE(hasKey(RegRoot::CurrentUser, "Software\\CvlEngineShared"));  // a shared key keeps what is not ours

  // The uninstaller's own traces, since the whole suite was checked.
  for (const char* gone : {"cvlinst.dat", "cvlinst.log", "cvlpsapi.dll", "DEIS_ENGINETEST.ISU"}) {
    EXPECT_FALSE(exists(kUninstallDir + gone)) << gone;
  }
  EXPECT_FALSE(exists(sharedProgram));
  EXPECT_FALSE(hasKey(RegRoot::LocalMachine, "software\\corvel"));
  EXPECT_FALSE(hasKey(RegRoot::LocalMachine, kWindowsEntry));
  EXPECT_TRUE(hasKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(WineRemoval, FileHeldOpenGoesAtTheRestartAndNothingElseIsLost) {
  HANDLE held = CreateFileA(target("locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  const bool ran = runUninstall(*context, tree, progress);
  CloseHandle(held);

  ASSERT_TRUE(ran);
  EXPECT_EQ(Events(progress.events.end() - 3, progress.events.end()), (Events{"step 8", "tick*1", "finish silent"}));
  EXPECT_EQ(contentOf(target("locked.txt")), "x") << "kept until the restart";
  expectRemovedAroundAnyHeldFile();
}

}  // namespace
}  // namespace cvl::test
