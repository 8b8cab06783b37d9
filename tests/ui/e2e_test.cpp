// Cvlunst2.exe as a user meets it, under Wine: a sample installation is put
// on the machine, the program runs as its own process, message boxes are
// read and dismissed, dialogs are driven with the mouse and keyboard, and the
// full exit status is read back.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/resources/resource_ids.h"
#include "window_test_support.h"

namespace cvl {
namespace {

using platform::RegRoot;
using test::programDirectory;

const std::string kRoot = "C:\\cvl-e2e";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System";
const char kRemoveByHand[] = "\nYou should manually remove items related to the application.";
const char kSelectionDialog[] = "Corvel System Uninstaller";
const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A program started as its own process; ended when dropped while it runs.
class Process {
 public:
  explicit Process(std::string commandLine, bool minimized = false) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = minimized ? STARTF_USESHOWWINDOW : 0;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_)) {
      process_.reset(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }
  ~Process() { end(0); }
  HANDLE handle() const { return process_.get(); }
  DWORD id() const { return info_.dwProcessId; }
  // True once the process has ended (or never started).
  bool waitFor(DWORD milliseconds) const { return WaitForSingleObject(handle(), milliseconds) != WAIT_TIMEOUT; }
  void end(UINT status) {
    if (!waitFor(0)) TerminateProcess(handle(), status);
    waitFor(10000);
  }

 private:
  PROCESS_INFORMATION info_{};
  platform::UniqueKernelHandle process_;
};

HWND findWindow(DWORD processId, const std::string& caption) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, caption.c_str()));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window) && test::textOf(window) == caption) return window;
  }
  return nullptr;
}

std::string systemFile(const std::string& name) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\" + name;
}

struct RunResult {
  DWORD exitCode = 0;
  std::vector<std::string> boxes;  // "caption: text" of each message box shown
};

// Runs the uninstaller; message boxes are recorded and answered with OK, and
// drive (when given) is called while the process lives until it returns true.
// A run that does not end within a minute fails the test.
RunResult runUninstaller(const std::string& arguments, const std::function<bool(DWORD)>& drive = {}) {
  Process process("\"" + programDirectory() + "Cvlunst2.exe\" " + arguments);
  RunResult run;
  if (!process.handle()) {
    ADD_FAILURE() << "cannot start Cvlunst2.exe " << arguments;
    return run;
  }
  bool driven = !drive;
  for (DWORD started = GetTickCount(); !process.waitFor(100);) {
    for (const char* caption : {"Corvel System", "Cvlunst2"}) {
      if (HWND box = findWindow(process.id(), caption)) {
        run.boxes.push_back(caption + (": " + test::textOf(GetDlgItem(box, 0xFFFF))));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        Sleep(200);
      }
    }
    if (!driven) driven = drive(process.id());
    if (GetTickCount() - started > 60000) {
      ADD_FAILURE() << "Cvlunst2.exe " << arguments << " did not end";
      process.end(99);
    }
  }
  GetExitCodeProcess(process.handle(), &run.exitCode);
  return run;
}

std::string contentOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream file(path);  // text mode: "\r\n" arrives as "\n"
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

// The entries of a log: what was done and decided, "ran" lines without
// their outcome, which a plan cannot know.
std::vector<std::string> entriesOf(const std::vector<std::string>& lines) {
  std::vector<std::string> entries;
  for (const std::string& line : lines) {
    if (line.rfind("removed ", 0) == 0 || line.rfind("kept ", 0) == 0 || line.rfind("final clean-up", 0) == 0) {
      entries.push_back(line);
    } else if (line.rfind("ran: ", 0) == 0) {
      entries.push_back(line.substr(0, line.rfind(" (")));
    }
  }
  return entries;
}

bool keyExists(const std::string& key) {
  platform::UniqueKey opened;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, opened.receive()) == ERROR_SUCCESS;
}

DWORD sharedCount(const std::string& path) {
  DWORD count = 0, size = sizeof count;
  return RegGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, path.c_str(), RRF_RT_REG_DWORD, nullptr, &count, &size) ==
                 ERROR_SUCCESS ? count : 0;
}

class UninstallerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    clean();
    programs = machine.system().specialFolder(platform::csidl::kPrograms).value_or(kRoot + "\\Programs");
    suite = fixture::sampleSuite(kRoot, programs);
    fixture::install(machine, suite);
  }
  void TearDown() override { clean(); }

  void clean() {
    (void)machine.system().shellDelete(kRoot, 0);  // clean-up: missing is fine
    if (!programs.empty()) (void)machine.system().shellDelete(programs + "\\Corvel System", 0);
    for (const char* key : {"software\\corvel", kUninstallKey}) SHDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    for (const auto& [path, count] : suite.sharedCounts) SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, path.c_str());
    if (shellFolders) {
      (void)(savedPrograms ? shellFolders->setValue("Programs", *savedPrograms) : shellFolders->deleteValue("Programs"));
      shellFolders.reset();
    }
  }
  void reinstall() {
    clean();
    fixture::install(machine, suite);
  }
  // Points the user's Programs folder where the shell cannot resolve it; clean() puts it back.
  void breakProgramsFolder() {
    ASSERT_EQ(machine.registry().openKey(RegRoot::CurrentUser,
                                         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                         platform::access::kQueryValue | platform::access::kSetValue, shellFolders),
              platform::kSuccess);
    platform::RegValue saved;
    if (shellFolders->queryValue("Programs", saved) == platform::kSuccess) savedPrograms = saved;
    ASSERT_EQ(shellFolders->setValue("Programs", platform::RegValue::string("Q:\\no-such-drive\\Programs")),
              platform::kSuccess);
  }

  bool exists(const std::string& relative) const {
    return GetFileAttributesA((kRoot + "\\" + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  void expectGone(std::initializer_list<const char*> paths) const {
    for (const char* path : paths) EXPECT_FALSE(exists(path)) << path;
  }
  void expectKept(std::initializer_list<const char*> paths) const {
    for (const char* path : paths) EXPECT_TRUE(exists(path)) << path;
  }
  // What every whole removal of the suite leaves: its programs, fonts, own
  // records and keys are gone; the core file stays, and so do the library
  // other programs still count on and the spelling tools the macro runtime
  // still requires.
  void expectRemovedWhole() const {
    expectGone({"Corvel\\WRITER.EXE", "Corvel\\SHEETS.EXE", "Corvel\\VIEWER.EXE", "Corvel\\WRITER.GID",
                "Corvel\\Templates", "Corvel\\Fonts", "Uninstall\\cvlinst.dat", "Uninstall\\cvlinst.log",
                "Uninstall\\cvlinst.rec", "Uninstall\\deis1.isu"});
    expectKept({"Corvel\\CVLMFC40.DLL", "Common\\Corvel\\CVLCOMM.DLL", "Corvel\\SPELL.DLL", "Corvel\\MACROS.DLL"});
    EXPECT_FALSE(keyExists("software\\corvel\\uninstall"));
    EXPECT_FALSE(keyExists(kUninstallKey));
  }

  // Runs a silent full removal whose RunOnce command of the viewer holds it
  // still for milliseconds; whileHeld is called once the command started.
  RunResult runHeldAtRunOnce(int milliseconds, const std::function<void()>& whileHeld) {
    const std::string marker = kRoot + "\\run-once-started";
    const std::string hold =
        "\"" + programDirectory() + "hold_still.exe\" \"" + marker + "\" " + std::to_string(milliseconds);
    EXPECT_EQ(SHSetValueA(HKEY_LOCAL_MACHINE, "software\\corvel\\uninstall\\components\\VIEWER\\RunOnce", "hold", REG_SZ,
                          hold.c_str(), static_cast<DWORD>(hold.size() + 1)),
              static_cast<DWORD>(ERROR_SUCCESS));
    return runUninstaller("/SILENT UNINSTALLALL", [&](DWORD) {
      if (GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
      whileHeld();
      return true;
    });
  }

  platform::Win32Platform machine;
  fixture::Installation suite;
  std::string programs;
  platform::RegKeyPtr shellFolders;
  std::optional<platform::RegValue> savedPrograms;
};

// Runs that end before anything is removed: their status, and the one box a
// start-up error shows only when asked.
TEST_F(UninstallerRun, RunsThatStopAtStartChangeNothing) {
  auto startupError = [](const std::string& what) { return "Corvel System: Error " + what + kRemoveByHand; };
  const std::string configurationFile = startupError("reading configuration file.\nThe Uninstaller cannot continue.");
  const std::string store = kRoot + "\\Uninstall\\cvlinst.dat";
  struct Case { const char* what; std::function<void()> breakIt; const char* arguments; DWORD status;
                std::vector<std::string> boxes; };
  const Case cases[] = {
      {"nothing named", [] {}, "/SILENT", 1602, {}},
      {"help", [] {}, "/?", 0,
       {"Cvlunst2: Command line switches:\n\n/Silent  -  Totally silent\n/ShowProgress  -  Displays progress "
        "indicator\n/ShowErrors  -  Displays error messages (requires attendance)\n"
        "/Log=file  -  Appends a record of the removal to file\n"
        "/Plan  -  Writes what a removal would do to the /Log file, changing nothing\n/?  -  Displays this message"}},
      {"no store, quiet", [&] { DeleteFileA(store.c_str()); }, "/SILENT UNINSTALLALL", 1603, {}},
      {"no store", [&] { DeleteFileA(store.c_str()); }, "/SILENT /SHOWERRORS UNINSTALLALL", 1603, {configurationFile}},
      // A log cut short is refused rather than half used.
      {"log cut short",
       [&] {
         platform::UniqueFile log(CreateFileA(
             (kRoot + "\\Uninstall\\cvlinst.log").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         SetFilePointer(log.get(), 100, nullptr, FILE_BEGIN);
         SetEndOfFile(log.get());
       },
       "/SILENT /SHOWERRORS UNINSTALLALL", 1603, {configurationFile}},
      {"no paths key", [] { SHDeleteKeyA(HKEY_LOCAL_MACHINE, "software\\corvel\\uninstall\\paths"); },
       "/SILENT /SHOWERRORS UNINSTALLALL", 1603,
       {startupError("reading configuration settings.\nThe Uninstaller cannot continue.")}},
      // The user's Programs folder is where the suite's shortcuts live.
      {"Programs folder the shell cannot resolve", [&] { breakProgramsFolder(); }, "/SILENT /SHOWERRORS UNINSTALLALL",
       1603, {startupError("retrieving Windows settings.\nUninstaller cannot continue.")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reinstall();
    c.breakIt();
    const RunResult run = runUninstaller(c.arguments);
    EXPECT_EQ(run.exitCode, c.status);
    EXPECT_EQ(run.boxes, c.boxes);
    expectKept({"Corvel\\WRITER.EXE", "Uninstall\\cvlinst.log"});
  }
}

TEST_F(UninstallerRun, InteractiveRunRemovesWhatTheUserChecked) {
  bool sawPartialTree = false, uninstallStartedDisabled = false, successShown = false, escapeHarmless = false;
  int stage = 0;
  RunResult run = runUninstaller("", [&](DWORD processId) {
    if (stage == 0) {
      HWND dialog = findWindow(processId, kSelectionDialog);
      if (!dialog) return false;
      HWND tree = GetDlgItem(dialog, IDC_COMPONENT_TREE);
      HWND uninstall = GetDlgItem(dialog, IDOK);
      uninstallStartedDisabled = !IsWindowEnabled(uninstall);
      SetForegroundWindow(dialog);
      Sleep(200);
      // Rows, sorted: Corvel Fonts, Corvel Office, Corvel Viewer. Click the
      // first row's box, then check the third with the space bar.
      int row = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
      int indent = static_cast<int>(SendMessageA(tree, TVM_GETINDENT, 0, 0));
      test::clickAt(tree, {indent + 9, row / 2});
      sawPartialTree = IsWindowEnabled(uninstall) != FALSE;
      SetFocus(tree);
      for (WORD key : {VK_DOWN, VK_DOWN, VK_SPACE}) test::typeKey(key);
      test::clickAt(uninstall);
      stage = 1;
      return false;
    }
    HWND progress = findWindow(processId, "Removing Components ");
    if (!progress || !IsWindowEnabled(GetDlgItem(progress, IDC_PROGRESS_OK))) return false;
    successShown = IsWindowVisible(GetDlgItem(progress, IDC_RESULT_SUCCESS)) != FALSE;
    // The keyboard alone ends it: Tab and Escape change nothing, Return presses OK.
    SetForegroundWindow(progress);
    Sleep(200);
    test::typeKey(VK_TAB);
    test::typeKey(VK_ESCAPE);
    Sleep(300);
    escapeHarmless = IsWindowVisible(progress) != FALSE;
    test::typeKey(VK_RETURN);
    return true;
  });
  EXPECT_TRUE(escapeHarmless);
  EXPECT_TRUE(uninstallStartedDisabled);
  EXPECT_TRUE(sawPartialTree) << "a click on the box enables Uninstall";
  EXPECT_TRUE(successShown);
  EXPECT_EQ(run.exitCode, 0u);
  expectGone({"Corvel\\Fonts\\CORVEL.TTF", "Corvel\\VIEWER.EXE"});
  expectKept({"Corvel\\WRITER.EXE", "Uninstall\\cvlinst.dat"});  // Office was not checked
}

TEST_F(UninstallerRun, CancelLeavesEverythingAndEndsWith1602) {
  RunResult run = runUninstaller("UNINSTALLALL", [&](DWORD processId) {
    HWND dialog = findWindow(processId, kSelectionDialog);
    if (!dialog) return false;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK))) << "pre-checked from the command line";
    SetForegroundWindow(dialog);
    test::clickAt(GetDlgItem(dialog, IDCANCEL));
    return true;
  });
  EXPECT_EQ(run.exitCode, 1602u);
  expectKept({"Corvel\\WRITER.EXE"});
}

TEST_F(UninstallerRun, InteractiveRunStopsWhileASuiteProgramRuns) {
  // The process-status library the suite installs beside its log, and a
  // running copy of one of the suite's programs.
  ASSERT_TRUE(CopyFileA(systemFile("psapi.dll").c_str(), (kRoot + "\\Uninstall\\cvlpsapi.dll").c_str(), FALSE));
  const std::string viewer = kRoot + "\\Corvel\\VIEWER.EXE";
  ASSERT_TRUE(CopyFileA(systemFile("notepad.exe").c_str(), viewer.c_str(), FALSE));
  Process running("\"" + viewer + "\"", true);
  ASSERT_TRUE(running.handle());
  WaitForInputIdle(running.handle(), 5000);
  // A log may list the uninstaller itself; its own process is no reason to stop.
  for (fixture::FileGroup& group : suite.groups) {
    if (group.name == "VIEWER_FILES") group.files.push_back("CVLUNST2.EXE");
  }
  fixture::writeLog(machine, suite);

  std::vector<std::string> listed;
  RunResult run = runUninstaller("UNINSTALLALL", [&](DWORD processId) {
    HWND dialog = findWindow(processId, kSelectionDialog);
    HWND list = dialog ? GetDlgItem(dialog, IDC_RUNNING_LIST) : nullptr;
    if (!list) return false;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      // Wine marshals this message between processes in its wide form only.
      wchar_t wide[MAX_PATH] = {};
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
      char text[MAX_PATH] = {};
      WideCharToMultiByte(CP_ACP, 0, wide, -1, text, MAX_PATH, nullptr, nullptr);
      listed.push_back(text);
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return true;
  });
  running.end(0);
  EXPECT_EQ(run.exitCode, 1602u);
  EXPECT_EQ(listed, std::vector<std::string>{"VIEWER.EXE"});
  expectKept({"Corvel\\WRITER.EXE", "Uninstall\\cvlinst.dat"});  // nothing is removed
}

// Naming one component removes only what the rules allow: Writer still
// requires the spelling tools, the group stays while a member stays, and
// only a part of the suite went.
TEST_F(UninstallerRun, LoggedSilentRemovalOfOneComponentAppendsItsRecordAndTheLogsNameSelectsNothing) {
  const std::string log = kRoot + "\\Corvel Viewer.log";
  EXPECT_EQ(runUninstaller("/SILENT /log=\"" + log + "\" \"corvel sheets\"").exitCode, 0u);
  expectGone({"Corvel\\SHEETS.EXE", "Corvel\\CHARTS.DLL"});
  EXPECT_FALSE(keyExists("SOFTWARE\\Corvel\\Sheets"));
  expectKept({"Corvel\\WRITER.EXE", "Corvel\\SPELL.DLL", "Corvel\\OFFICE.DLL", "Uninstall\\cvlinst.dat"});
  EXPECT_TRUE(keyExists("software\\corvel\\uninstall"));
  expectKept({"Corvel\\VIEWER.EXE"});  // the log's name pre-checks nothing
  EXPECT_EQ(runUninstaller("/SILENT /LOG=\"" + log + "\" /PLAN UNINSTALLALL").exitCode, 0u);

  const std::vector<std::string> lines = linesOf(log);
  ASSERT_GT(lines.size(), 8u);
  EXPECT_EQ(lines[0].substr(0, 21), "==== removal started ");
  EXPECT_NE(lines[1].find("/SILENT /log=\"" + log + "\" \"corvel sheets\""), std::string::npos) << lines[1];
  const auto plan = std::find_if(lines.begin(), lines.end(),
                                 [](const std::string& line) { return line.rfind("==== plan started ", 0) == 0; });
  ASSERT_NE(plan, lines.end()) << "appended, not truncated";
  // The removed file as stored, not upper-cased.
  const std::vector<std::string> entries = {
      "removed file: " + kRoot + "\\Corvel\\SHEETS.EXE", "kept component: VIEWER (not selected)",
      "kept component: SPELL (still required by WRITER, MACROS)", "removed key: HKLM\\SOFTWARE\\Corvel\\Sheets",
      "exit status 0: everything selected was removed"};
  for (const std::string& entry : entries) EXPECT_NE(std::find(lines.begin(), plan, entry), plan) << entry;
  EXPECT_NE(std::find(plan, lines.end(), "exit status 0: everything selected was removed"), lines.end());
}

// A log named after a file the run reads or removes, however spelled, is
// treated as one that cannot be written: a plan ends with 1622, a removal
// runs without it, and the file is left to the run.
TEST_F(UninstallerRun, ALogNamingTheInstallLogOrARemovedFileIsNotWritten) {
  const std::string installLog = kRoot + "\\Uninstall\\cvlinst.log";
  const std::string before = contentOf(installLog);
  ASSERT_FALSE(before.empty());
  char shortName[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameA(installLog.c_str(), shortName, MAX_PATH), 0u);
  ASSERT_STRNE(shortName, installLog.c_str());

  EXPECT_EQ(runUninstaller("/SILENT /LOG=" + kRoot + "/UNINSTALL/CVLINST.LOG. /PLAN UNINSTALLALL").exitCode, 1622u);
  EXPECT_EQ(runUninstaller("/SILENT /LOG=" + std::string(shortName) + " \"Corvel Sheets\"").exitCode, 0u);
  expectGone({"Corvel\\SHEETS.EXE"});
  EXPECT_EQ(contentOf(installLog), before);

  // Held open by the log, the file would stay until the restart (3010).
  EXPECT_EQ(runUninstaller("/SILENT /LOG=" + kRoot + "\\corvel\\viewer.exe \"Corvel Viewer\"").exitCode, 0u);
  expectGone({"Corvel\\VIEWER.EXE"});
}

// The real run, silent, removes the suite but what others still need.
TEST_F(UninstallerRun, APlanChangesNothingAndListsWhatTheRealRunThenDoes) {
  const std::string planLog = kRoot + "\\plan.log", realLog = kRoot + "\\real.log";
  EXPECT_EQ(runUninstaller("/SILENT UNINSTALLALL /PLAN /LOG=" + planLog).exitCode, 0u);
  expectKept({"Corvel\\WRITER.EXE", "Uninstall\\cvlinst.dat"});
  EXPECT_TRUE(keyExists("SOFTWARE\\Corvel\\Writer"));

  const RunResult real = runUninstaller("/SILENT UNINSTALLALL /LOG=" + realLog);
  EXPECT_EQ(real.exitCode, 0u);
  EXPECT_TRUE(real.boxes.empty());
  expectRemovedWhole();
  expectGone({"Common\\Corvel\\CVLRT.DLL"});
  EXPECT_FALSE(keyExists("SOFTWARE\\Corvel\\Writer"));
  EXPECT_EQ(GetFileAttributesA((programs + "\\Corvel System\\Corvel Writer.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  const std::vector<std::string> plannedEntries = entriesOf(linesOf(planLog));
  EXPECT_GT(plannedEntries.size(), 30u);
  EXPECT_EQ(plannedEntries, entriesOf(linesOf(realLog)));

  // Command-line errors end before anything is read; a plan needs its log.
  EXPECT_EQ(runUninstaller("/SILENT /PLAN UNINSTALLALL").exitCode, 1639u);
  EXPECT_EQ(runUninstaller("/SILENT /LOG= UNINSTALLALL").exitCode, 1639u);
  EXPECT_EQ(runUninstaller("/SILENT /PLAN /LOG=C:\\no-such-folder\\plan.log UNINSTALLALL").exitCode, 1622u);
}

// Deployment tools and restart managers ask the program to close while it
// removes (taskkill without /F posts WM_CLOSE to its windows); a RunOnce
// command holds the removal still meanwhile. Files held open without sharing,
// as running programs hold them, cannot go now: the run goes on to its end,
// schedules them for the next restart, which takes their folder too, and
// says so with status 3010.
TEST_F(UninstallerRun, FilesHeldOpenGoAtTheNextRestartAndCloseRequestsWait) {
  const std::string font = kRoot + "\\Corvel\\Fonts\\CORVEL.TTF";
  platform::UniqueFile heldFont(
      CreateFileA(font.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  platform::UniqueFile heldViewer(CreateFileA(
      (kRoot + "\\Corvel\\VIEWER.EXE").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(heldFont && heldViewer);
  std::optional<uint32_t> asked;
  RunResult run = runHeldAtRunOnce(3000, [&] {
    asked = test::runToExit("\"" + systemFile("taskkill.exe") + "\" /IM Cvlunst2.exe", 10000);
  });
  heldFont.reset();
  heldViewer.reset();
  EXPECT_EQ(asked, std::optional<uint32_t>(0u)) << "taskkill reached the program's windows";
  EXPECT_EQ(run.exitCode, 3010u);
  expectKept({"Corvel\\Fonts\\CORVEL.TTF", "Corvel\\VIEWER.EXE"});
  expectGone({"Corvel\\WRITER.EXE"});  // the removal went on to its end
  std::string pending(16384, '\0');
  DWORD size = static_cast<DWORD>(pending.size());
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                         "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending.data(), &size),
            ERROR_SUCCESS);
  pending.resize(size);
  EXPECT_NE(platform::upper(pending).find(platform::upper(font)), std::string::npos);

  // Wine's restart of the prefix carries out the pending deletions.
  ASSERT_EQ(test::runToExit("\"" + systemFile("wineboot.exe") + "\" -r", 120000), std::optional<uint32_t>(0u));
  expectGone({"Corvel\\Fonts\\CORVEL.TTF", "Corvel\\Fonts", "Corvel\\VIEWER.EXE"});
}

// A second run beside a removal would release the same shared counts twice:
// it ends at once with 1618, a plan too, and changes nothing.
TEST_F(UninstallerRun, ASecondRunDuringARemovalEndsWith1618) {
  const std::string program = "\"" + programDirectory() + "Cvlunst2.exe\" ";
  const std::string planLog = kRoot + "\\plan.log";
  std::optional<uint32_t> silent, plan;
  RunResult shown;
  RunResult run = runHeldAtRunOnce(15000, [&] {
    silent = test::runToExit(program + "/SILENT UNINSTALLALL", 10000);
    plan = test::runToExit(program + "/SILENT UNINSTALLALL /PLAN /LOG=" + planLog, 10000);
    shown = runUninstaller("UNINSTALLALL");
  });
  EXPECT_EQ(silent, std::optional<uint32_t>(1618u));
  EXPECT_EQ(plan, std::optional<uint32_t>(1618u));
  EXPECT_EQ(GetFileAttributesA(planLog.c_str()), INVALID_FILE_ATTRIBUTES) << "not even the log is opened";
  EXPECT_EQ(shown.exitCode, 1618u);
  EXPECT_EQ(shown.boxes, std::vector<std::string>{"Corvel System: Another removal of the Corvel System is in "
                                                  "progress.\nWait until it has finished, then start the Uninstaller "
                                                  "again if anything is left."});
  EXPECT_EQ(run.exitCode, 0u) << "the first run goes on to its end";
  expectRemovedWhole();
  EXPECT_EQ(sharedCount(kRoot + "\\Common\\Corvel\\CVLCOMM.DLL"), 2u) << "its count was released once";
}

// A removal ended by force (a time-out, a user, a crash) and started again
// ends where one whole removal ends, wherever the kill landed: before the
// program got going, amid the files, or after it ended by itself.
TEST_F(UninstallerRun, ARemovalKilledAnywhereAndRunAgainEndsAsAWholeRun) {
  const std::string runtime = kRoot + "\\Common\\Corvel\\CVLRT.DLL", common = kRoot + "\\Common\\Corvel\\CVLCOMM.DLL";
  // Another program counts on the runtime too; a bulk of files makes the run long enough to cut.
  suite.sharedCounts[runtime] = 2;
  fixture::FileGroup bulk{"BULK_FILES"};
  for (int folder = 0; folder < 6; ++folder) {
    bulk.directories.push_back({"Bulk\\Part" + std::to_string(folder), {}});
    for (int file = 0; file < 60; ++file) bulk.directories.back().files.push_back("DATA" + std::to_string(file) + ".BIN");
  }
  suite.groups.push_back(bulk);
  for (fixture::Component& component : suite.components) {
    if (component.name == "WRITER") component.fileGroups.push_back("BULK_FILES");
  }
  for (DWORD killAfterMs : {0u, 150u, 400u, 700u, 1000u, 1400u, 2000u, 3000u}) {
    SCOPED_TRACE("killed after " + std::to_string(killAfterMs) + " ms");
    reinstall();
    // Started, as deployment tools do, from the uninstall folder it lives in.
    const std::string program = kRoot + "\\Uninstall\\Cvlunst2.exe";
    ASSERT_TRUE(CopyFileA((programDirectory() + "Cvlunst2.exe").c_str(), program.c_str(), FALSE));
    const std::string command = "\"" + program + "\" /SILENT UNINSTALLALL";
    {
      Process started(command);
      ASSERT_TRUE(started.handle());
      started.waitFor(killAfterMs);
      started.end(9);
    }
    // A run that got to its end leaves nothing to start from: start-up fails then.
    const bool nothingLeft = !exists("Uninstall\\cvlinst.dat") && !exists("Uninstall\\cvlinst.rec");
    EXPECT_EQ(test::runToExit(command, 60000), std::optional<uint32_t>(nothingLeft ? 1603u : 0u));
    expectRemovedWhole();
    expectGone({"Corvel\\Bulk"});
    expectKept({"Common\\Corvel\\CVLRT.DLL"});  // the other program's library
    EXPECT_EQ(sharedCount(runtime), 1u);
    EXPECT_EQ(sharedCount(common), 2u);
  }
}

}  // namespace
}  // namespace cvl
