// Cvlunst2.exe as a user meets it, under Wine: a sample installation is put
// on the machine, the program runs as its own process, message boxes are
// read and dismissed, dialogs are driven with the mouse and keyboard, and the
// full exit status is read back.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/resources/resource_ids.h"

namespace cvl {
namespace {

using test::programDirectory;

const std::string kRoot = "C:\\cvl-e2e";

struct MessageBoxSeen {
  std::string caption;
  std::string text;
};

struct RunResult {
  DWORD exitCode = 0;
  bool timedOut = false;
  std::vector<MessageBoxSeen> boxes;
};

struct WindowSearch {
  DWORD processId;
  std::string caption;
  HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char caption[256] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (owner == search->processId && IsWindowVisible(window) && caption == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND findWindow(DWORD processId, const std::string& caption) {
  WindowSearch search{processId, caption};
  EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string textOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void clickScreen(POINT at) {
  SetCursorPos(at.x, at.y);
  Sleep(50);
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
  Sleep(200);
}

void clickControl(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  clickScreen({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void typeKey(WORD key) {
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
  Sleep(150);
}

// Runs the uninstaller; message boxes are recorded and answered with OK, and
// drive (when given) is called while the process lives until it returns true.
RunResult runUninstaller(const std::string& arguments, const std::function<bool(DWORD)>& drive = {}) {
  std::string commandLine = "\"" + programDirectory() + "Cvlunst2.exe\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  RunResult run;
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start " << commandLine;
    return run;
  }
  bool driven = !drive;
  DWORD started = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
    for (const char* caption : {"Corvel System", "Cvlunst2"}) {
      if (HWND box = findWindow(process.dwProcessId, caption)) {
        HWND text = GetDlgItem(box, 0xFFFF);
        run.boxes.push_back({caption, text ? textOf(text) : std::string()});
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        Sleep(200);
      }
    }
    if (!driven) driven = drive(process.dwProcessId);
    if (GetTickCount() - started > 60000) {
      run.timedOut = true;
      TerminateProcess(process.hProcess, 99);
      break;
    }
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

// A start-up error: status 1603 and the one box that names it.
void expectStartupError(const RunResult& run, const std::string& text) {
  EXPECT_EQ(run.exitCode, 1603u);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, "Corvel System");
  EXPECT_EQ(run.boxes[0].text, text);
}

const char* const kRemoveByHand = "\nYou should manually remove items related to the application.";

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
    for (const char* key : {"software\\corvel", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System"}) {
      deleteTree(key);
    }
    platform::RegKeyPtr shared;
    if (machine.registry().openKey(platform::RegRoot::LocalMachine,
                                   "software\\microsoft\\windows\\currentversion\\shareddlls",
                                   platform::access::kAllAccess, shared) == platform::kSuccess) {
      for (const auto& [path, count] : suite.sharedCounts) shared->deleteValue(path);
    }
  }
  void deleteTree(const std::string& key) {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  }
  bool exists(const std::string& relative) const {
    return GetFileAttributesA((kRoot + "\\" + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  // A RunOnce command of the viewer that creates marker, then holds the
  // removal still for milliseconds.
  bool holdRemovalAtRunOnce(const std::string& marker, int milliseconds) {
    const std::string command =
        "\"" + programDirectory() + "hold_still.exe\" \"" + marker + "\" " + std::to_string(milliseconds);
    HKEY runOnce;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "software\\corvel\\uninstall\\components\\VIEWER\\RunOnce", 0, nullptr,
                        0, KEY_ALL_ACCESS, nullptr, &runOnce, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const bool set = RegSetValueExA(runOnce, "hold", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                    static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(runOnce);
    return set;
  }
  bool keyExists(const std::string& key) const {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
  }

  platform::Win32Platform machine;
  fixture::Installation suite;
  std::string programs;
};

TEST_F(UninstallerRun, SilentUninstallAllRemovesTheSuiteButWhatOthersStillNeed) {
  RunResult run = runUninstaller("/SILENT UNINSTALLALL");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(run.boxes.empty());
  for (const char* gone : {"Corvel\\WRITER.EXE", "Corvel\\SHEETS.EXE", "Corvel\\VIEWER.EXE", "Corvel\\WRITER.GID",
                           "Corvel\\Templates\\MEMO.DOT", "Corvel\\Fonts", "Common\\Corvel\\CVLRT.DLL",
                           "Uninstall\\cvlinst.dat", "Uninstall\\cvlinst.log", "Uninstall\\deis1.isu"}) {
    EXPECT_FALSE(exists(gone)) << gone;
  }
  EXPECT_TRUE(exists("Corvel\\CVLMFC40.DLL")) << "core file";
  EXPECT_TRUE(exists("Common\\Corvel\\CVLCOMM.DLL")) << "other programs still count on it";
  EXPECT_TRUE(exists("Corvel\\SPELL.DLL")) << "the macro runtime still requires it";
  EXPECT_TRUE(exists("Corvel\\MACROS.DLL"));
  EXPECT_FALSE(keyExists("SOFTWARE\\Corvel\\Writer"));
  EXPECT_FALSE(keyExists("software\\corvel\\uninstall"));
  EXPECT_FALSE(keyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System"));
  EXPECT_EQ(GetFileAttributesA((programs + "\\Corvel System\\Corvel Writer.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UninstallerRun, SilentRunNamingOneComponentRemovesOnlyWhatTheRulesAllow) {
  RunResult run = runUninstaller("/SILENT \"corvel sheets\"");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(exists("Corvel\\SHEETS.EXE"));
  EXPECT_FALSE(exists("Corvel\\CHARTS.DLL"));
  EXPECT_FALSE(keyExists("SOFTWARE\\Corvel\\Sheets"));
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE"));
  EXPECT_TRUE(exists("Corvel\\SPELL.DLL")) << "Writer still requires the spelling tools";
  EXPECT_TRUE(exists("Corvel\\OFFICE.DLL")) << "the group stays while a member stays";
  EXPECT_TRUE(exists("Uninstall\\cvlinst.dat")) << "only a part of the suite went";
  EXPECT_TRUE(keyExists("software\\corvel\\uninstall"));
}

TEST_F(UninstallerRun, SilentRunWithNothingNamedEndsAtOnceAsCancelled) {
  RunResult run = runUninstaller("/SILENT");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 1602u);
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE"));
}

TEST_F(UninstallerRun, StartUpErrorsShowTheirMessageOnlyWhenAskedAndEndWith1603) {
  const std::string dat = kRoot + "\\Uninstall\\cvlinst.dat";
  std::string saved = kRoot + "\\saved.dat";
  ASSERT_TRUE(MoveFileA(dat.c_str(), saved.c_str()));
  RunResult quiet = runUninstaller("/SILENT UNINSTALLALL");
  EXPECT_EQ(quiet.exitCode, 1603u);
  EXPECT_TRUE(quiet.boxes.empty());

  expectStartupError(runUninstaller("/SILENT /SHOWERRORS UNINSTALLALL"),
                     std::string("Error reading configuration file.\nThe Uninstaller cannot continue.") + kRemoveByHand);
  ASSERT_TRUE(MoveFileA(saved.c_str(), dat.c_str()));

  // A log cut short is refused rather than half used.
  const std::string log = kRoot + "\\Uninstall\\cvlinst.log";
  HANDLE file = CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFilePointer(file, 100, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  CloseHandle(file);
  RunResult truncated = runUninstaller("/SILENT /SHOWERRORS UNINSTALLALL");
  EXPECT_EQ(truncated.exitCode, 1603u);
  ASSERT_EQ(truncated.boxes.size(), 1u);
  EXPECT_EQ(truncated.boxes[0].text.substr(0, 33), "Error reading configuration file.");
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE")) << "nothing is removed";

  fixture::writeLog(machine, suite);
  deleteTree("software\\corvel\\uninstall\\paths");
  expectStartupError(runUninstaller("/SILENT /SHOWERRORS UNINSTALLALL"),
                     std::string("Error reading configuration settings.\nThe Uninstaller cannot continue.") +
                         kRemoveByHand);
}

// The user's Programs folder is where the suite's shortcuts live: when the
// shell cannot resolve it, start-up stops before anything is touched.
TEST_F(UninstallerRun, AProgramsFolderTheShellCannotResolveIsError16) {
  const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  HKEY folders;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &folders), ERROR_SUCCESS);
  char saved[1024] = {};
  DWORD type = 0, size = sizeof saved;
  const bool had = RegQueryValueExA(folders, "Programs", nullptr, &type, reinterpret_cast<BYTE*>(saved), &size) ==
                   ERROR_SUCCESS;
  const char unreachable[] = "Q:\\no-such-drive\\Programs";
  ASSERT_EQ(RegSetValueExA(folders, "Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(unreachable),
                           sizeof unreachable),
            ERROR_SUCCESS);
  RunResult run = runUninstaller("/SILENT /SHOWERRORS UNINSTALLALL");
  if (had) {
    RegSetValueExA(folders, "Programs", 0, type, reinterpret_cast<BYTE*>(saved), size);
  } else {
    RegDeleteValueA(folders, "Programs");
  }
  RegCloseKey(folders);

  expectStartupError(run, std::string("Error retrieving Windows settings.\nUninstaller cannot continue.") +
                              kRemoveByHand);
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE")) << "nothing is removed";
}

TEST_F(UninstallerRun, HelpSwitchShowsTheSwitchesAndDoesNothingElse) {
  RunResult run = runUninstaller("/?");
  EXPECT_EQ(run.exitCode, 0u);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, "Cvlunst2");
  EXPECT_EQ(run.boxes[0].text,
            "Command line switches:\n\n/Silent  -  Totally silent\n/ShowProgress  -  Displays progress indicator\n"
            "/ShowErrors  -  Displays error messages (requires attendance)\n"
            "/Log=file  -  Appends a record of the removal to file\n"
            "/Plan  -  Writes what a removal would do to the /Log file, changing nothing\n"
            "/?  -  Displays this message");
  EXPECT_TRUE(exists("Uninstall\\cvlinst.dat"));
}

TEST_F(UninstallerRun, InteractiveRunRemovesWhatTheUserChecked) {
  bool sawPartialTree = false, uninstallStartedDisabled = false, successShown = false, escapeHarmless = false;
  int stage = 0;
  RunResult run = runUninstaller("", [&](DWORD processId) {
    if (stage == 0) {
      HWND dialog = findWindow(processId, "Corvel System Uninstaller");
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
      POINT box{indent + 9, row / 2};
      ClientToScreen(tree, &box);
      clickScreen(box);
      sawPartialTree = IsWindowEnabled(uninstall) != FALSE;
      SetFocus(tree);
      typeKey(VK_DOWN);
      typeKey(VK_DOWN);
      typeKey(VK_SPACE);
      clickControl(uninstall);
      stage = 1;
      return false;
    }
    HWND progress = findWindow(processId, "Removing Components ");
    if (!progress) return false;
    HWND ok = GetDlgItem(progress, IDC_PROGRESS_OK);
    if (!IsWindowEnabled(ok)) return false;
    successShown = IsWindowVisible(GetDlgItem(progress, IDC_RESULT_SUCCESS)) != FALSE;
    // The keyboard alone ends it: Tab and Escape change nothing, Return presses OK.
    SetForegroundWindow(progress);
    Sleep(200);
    typeKey(VK_TAB);
    typeKey(VK_ESCAPE);
    Sleep(300);
    escapeHarmless = IsWindowVisible(progress) != FALSE;
    typeKey(VK_RETURN);
    return true;
  });
  ASSERT_FALSE(run.timedOut) << "Return on OK must end the program";
  EXPECT_TRUE(escapeHarmless);
  EXPECT_TRUE(uninstallStartedDisabled);
  EXPECT_TRUE(sawPartialTree) << "a click on the box enables Uninstall";
  EXPECT_TRUE(successShown);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(exists("Corvel\\Fonts\\CORVEL.TTF"));
  EXPECT_FALSE(exists("Corvel\\VIEWER.EXE"));
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE")) << "Office was not checked";
  EXPECT_TRUE(exists("Uninstall\\cvlinst.dat"));
}

TEST_F(UninstallerRun, CancelLeavesEverythingAndEndsWith1602) {
  RunResult run = runUninstaller("UNINSTALLALL", [&](DWORD processId) {
    HWND dialog = findWindow(processId, "Corvel System Uninstaller");
    if (!dialog) return false;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK))) << "pre-checked from the command line";
    SetForegroundWindow(dialog);
    clickControl(GetDlgItem(dialog, IDCANCEL));
    return true;
  });
  EXPECT_EQ(run.exitCode, 1602u);
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE"));
}

TEST_F(UninstallerRun, InteractiveRunStopsWhileASuiteProgramRuns) {
  // The process-status library the suite installs beside its log, and a
  // running copy of one of the suite's programs.
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\psapi.dll").c_str(),
                        (kRoot + "\\Uninstall\\cvlpsapi.dll").c_str(), FALSE));
  const std::string viewer = kRoot + "\\Corvel\\VIEWER.EXE";
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\notepad.exe").c_str(), viewer.c_str(), FALSE));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  PROCESS_INFORMATION running{};
  std::string command = "\"" + viewer + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &running));
  WaitForInputIdle(running.hProcess, 5000);
  // A log may list the uninstaller itself; its own process is no reason to stop.
  for (fixture::FileGroup& group : suite.groups) {
    if (group.name == "VIEWER_FILES") group.files.push_back("CVLUNST2.EXE");
  }
  fixture::writeLog(machine, suite);

  std::vector<std::string> listed;
  RunResult run = runUninstaller("UNINSTALLALL", [&](DWORD processId) {
    HWND dialog = findWindow(processId, "Corvel System Uninstaller");
    if (!dialog) return false;
    HWND list = GetDlgItem(dialog, IDC_RUNNING_LIST);
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
  TerminateProcess(running.hProcess, 0);
  WaitForSingleObject(running.hProcess, 5000);
  CloseHandle(running.hThread);
  CloseHandle(running.hProcess);

  EXPECT_EQ(run.exitCode, 1602u);
  EXPECT_EQ(listed, std::vector<std::string>{"VIEWER.EXE"});
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE")) << "nothing is removed";
  EXPECT_TRUE(exists("Uninstall\\cvlinst.dat"));
}

std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool holds(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
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

TEST_F(UninstallerRun, LoggedSilentRemovalAppendsItsRecordAndTheLogsNameSelectsNothing) {
  const std::string log = kRoot + "\\Corvel Viewer.log";
  RunResult first = runUninstaller("/SILENT /log=\"" + log + "\" \"Corvel Sheets\"");
  ASSERT_FALSE(first.timedOut);
  EXPECT_EQ(first.exitCode, 0u);
  EXPECT_FALSE(exists("Corvel\\SHEETS.EXE"));
  EXPECT_TRUE(exists("Corvel\\VIEWER.EXE")) << "the log's name pre-checks nothing";
  RunResult second = runUninstaller("/SILENT /LOG=\"" + log + "\" /PLAN UNINSTALLALL");
  EXPECT_EQ(second.exitCode, 0u);

  const std::vector<std::string> lines = linesOf(log);
  ASSERT_GT(lines.size(), 8u);
  EXPECT_EQ(lines[0].substr(0, 21), "==== removal started ");
  EXPECT_NE(lines[1].find("/SILENT /log=\"" + log + "\" \"Corvel Sheets\""), std::string::npos) << lines[1];
  EXPECT_TRUE(holds(lines, "removed file: " + kRoot + "\\Corvel\\SHEETS.EXE")) << "as stored, not upper-cased";
  EXPECT_TRUE(holds(lines, "kept component: VIEWER (not selected)"));
  EXPECT_TRUE(holds(lines, "kept component: SPELL (still required by WRITER, MACROS)"));
  EXPECT_TRUE(holds(lines, "removed key: HKLM\\SOFTWARE\\Corvel\\Sheets"));
  EXPECT_TRUE(holds(lines, "exit status 0: everything selected was removed"));
  const auto plan = std::find_if(lines.begin(), lines.end(),
                                 [](const std::string& line) { return line.rfind("==== plan started ", 0) == 0; });
  ASSERT_NE(plan, lines.end()) << "appended, not truncated";
  EXPECT_TRUE(holds(lines, "exit status 0: everything selected was removed"));
}

std::string contentOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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
  RunResult sheets = runUninstaller("/SILENT /LOG=" + std::string(shortName) + " \"Corvel Sheets\"");
  EXPECT_EQ(sheets.exitCode, 0u);
  EXPECT_FALSE(exists("Corvel\\SHEETS.EXE"));
  EXPECT_EQ(contentOf(installLog), before);

  // Held open by the log, the file would stay until the restart (3010).
  RunResult viewer = runUninstaller("/SILENT /LOG=" + kRoot + "\\corvel\\viewer.exe \"Corvel Viewer\"");
  EXPECT_EQ(viewer.exitCode, 0u);
  EXPECT_FALSE(exists("Corvel\\VIEWER.EXE"));
}

TEST_F(UninstallerRun, APlanChangesNothingAndListsWhatTheRealRunThenDoes) {
  const std::string planLog = kRoot + "\\plan.log", realLog = kRoot + "\\real.log";
  RunResult planned = runUninstaller("/SILENT UNINSTALLALL /PLAN /LOG=" + planLog);
  ASSERT_FALSE(planned.timedOut);
  EXPECT_EQ(planned.exitCode, 0u);
  EXPECT_TRUE(exists("Corvel\\WRITER.EXE"));
  EXPECT_TRUE(exists("Uninstall\\cvlinst.dat"));
  EXPECT_TRUE(keyExists("SOFTWARE\\Corvel\\Writer"));

  RunResult real = runUninstaller("/SILENT UNINSTALLALL /LOG=" + realLog);
  EXPECT_EQ(real.exitCode, 0u);
  EXPECT_FALSE(exists("Corvel\\WRITER.EXE"));
  const std::vector<std::string> plannedEntries = entriesOf(linesOf(planLog));
  EXPECT_GT(plannedEntries.size(), 30u);
  EXPECT_EQ(plannedEntries, entriesOf(linesOf(realLog)));

  // Command-line errors end before anything is read; a plan needs its log.
  EXPECT_EQ(runUninstaller("/SILENT /PLAN UNINSTALLALL").exitCode, 1639u);
  EXPECT_EQ(runUninstaller("/SILENT /LOG= UNINSTALLALL").exitCode, 1639u);
  EXPECT_EQ(runUninstaller("/SILENT /PLAN /LOG=C:\\no-such-folder\\plan.log UNINSTALLALL").exitCode, 1622u);
}

TEST_F(UninstallerRun, AFileHeldOpenIsRemovedByTheNextRestartWithItsFolder) {
  const std::string font = kRoot + "\\Corvel\\Fonts\\CORVEL.TTF";
  // A helper process holds the file open without sharing.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION helper{};
  std::string command = "\"" + programDirectory() + "file_holder.exe\" \"" + font + "\" 120";
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &helper));
  Sleep(1000);
  DWORD stillRunning = 0;
  ASSERT_TRUE(GetExitCodeProcess(helper.hProcess, &stillRunning) && stillRunning == STILL_ACTIVE);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);

  RunResult run = runUninstaller("/SILENT UNINSTALLALL");
  TerminateProcess(helper.hProcess, 0);
  WaitForSingleObject(helper.hProcess, 5000);
  CloseHandle(helper.hThread);
  CloseHandle(helper.hProcess);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 3010u);
  EXPECT_TRUE(exists("Corvel\\Fonts\\CORVEL.TTF"));
  std::string pending(16384, '\0');
  DWORD size = static_cast<DWORD>(pending.size());
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                         "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending.data(), &size),
            ERROR_SUCCESS);
  pending.resize(size);
  std::string upperPending = pending;
  CharUpperBuffA(upperPending.data(), static_cast<DWORD>(upperPending.size()));
  std::string upperFont = font;
  CharUpperBuffA(upperFont.data(), static_cast<DWORD>(upperFont.size()));
  EXPECT_NE(upperPending.find(upperFont), std::string::npos);

  // Wine's restart of the prefix carries out the pending deletions.
  ASSERT_EQ(test::runToExit("\"" + std::string(system) + "\\wineboot.exe\" -r", 120000), std::optional<uint32_t>(0u));
  EXPECT_FALSE(exists("Corvel\\Fonts\\CORVEL.TTF"));
  EXPECT_FALSE(exists("Corvel\\Fonts"));
}

// Deployment tools and restart managers ask the program to close while it
// removes (taskkill without /F posts WM_CLOSE to its windows); a RunOnce
// command holds the removal still meanwhile. A file held open cannot go
// now: the run goes on to its end, schedules it for the next restart and
// says so with status 3010.
TEST_F(UninstallerRun, SilentRemovalGoesThroughCloseRequestsAndReportsWhatStayed) {
  const std::string marker = kRoot + "\\run-once-started";
  ASSERT_TRUE(holdRemovalAtRunOnce(marker, 3000));
  HANDLE held = CreateFileA((kRoot + "\\Corvel\\VIEWER.EXE").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  std::optional<uint32_t> asked;
  RunResult run = runUninstaller("/SILENT UNINSTALLALL", [&](DWORD) {
    if (GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    asked = test::runToExit("\"" + std::string(system) + "\\taskkill.exe\" /IM Cvlunst2.exe", 10000);
    return true;
  });
  CloseHandle(held);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(asked, std::optional<uint32_t>(0u)) << "taskkill reached the program's windows";
  EXPECT_EQ(run.exitCode, 3010u);
  EXPECT_TRUE(exists("Corvel\\VIEWER.EXE"));
  EXPECT_FALSE(exists("Corvel\\WRITER.EXE")) << "the removal went on to its end";
}

// A second run beside a removal would release the same shared counts twice:
// it ends at once with 1618, a plan too, and changes nothing.
TEST_F(UninstallerRun, ASecondRunDuringARemovalEndsWith1618) {
  const std::string marker = kRoot + "\\run-once-started";
  ASSERT_TRUE(holdRemovalAtRunOnce(marker, 15000));
  const std::string program = "\"" + programDirectory() + "Cvlunst2.exe\" ";
  const std::string planLog = kRoot + "\\plan.log";
  std::optional<uint32_t> silent, plan;
  RunResult shown;
  RunResult run = runUninstaller("/SILENT UNINSTALLALL", [&](DWORD) {
    if (GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    silent = test::runToExit(program + "/SILENT UNINSTALLALL", 10000);
    plan = test::runToExit(program + "/SILENT UNINSTALLALL /PLAN /LOG=" + planLog, 10000);
    shown = runUninstaller("UNINSTALLALL");
    return true;
  });
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(silent, std::optional<uint32_t>(1618u));
  EXPECT_EQ(plan, std::optional<uint32_t>(1618u));
  EXPECT_EQ(GetFileAttributesA(planLog.c_str()), INVALID_FILE_ATTRIBUTES) << "not even the log is opened";
  EXPECT_EQ(shown.exitCode, 1618u);
  ASSERT_EQ(shown.boxes.size(), 1u);
  EXPECT_EQ(shown.boxes[0].caption, "Corvel System");
  EXPECT_EQ(shown.boxes[0].text,
            "Another removal of the Corvel System is in progress.\nWait until it has finished, then start the "
            "Uninstaller again if anything is left.");
  EXPECT_EQ(run.exitCode, 0u) << "the first run goes on to its end";
  EXPECT_FALSE(exists("Corvel\\WRITER.EXE"));
  EXPECT_TRUE(exists("Common\\Corvel\\CVLCOMM.DLL")) << "its count was released once";
}

DWORD sharedCount(const std::string& path) {
  DWORD count = 0, size = sizeof count;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", path.c_str(),
                   RRF_RT_REG_DWORD, nullptr, &count, &size) != ERROR_SUCCESS) {
    return 0;
  }
  return count;
}

// A removal ended by force (a time-out, a user, a crash) and started again
// ends where one whole removal ends, wherever the kill landed: before the
// program got going, amid the files, or after it ended by itself.
TEST_F(UninstallerRun, ARemovalKilledAnywhereAndRunAgainEndsAsAWholeRun) {
  const std::string runtime = kRoot + "\\Common\\Corvel\\CVLRT.DLL", common = kRoot + "\\Common\\Corvel\\CVLCOMM.DLL";
  for (DWORD killAfterMs : {0u, 150u, 400u, 700u, 1000u, 1400u, 2000u, 3000u}) {
    SCOPED_TRACE("killed after " + std::to_string(killAfterMs) + " ms");
    clean();
    // Another program counts on the runtime too; a bulk of files makes the run long enough to cut.
    suite.sharedCounts[runtime] = 2;
    fixture::FileGroup bulk;
    bulk.name = "BULK_FILES";
    for (int folder = 0; folder < 6; ++folder) {
      fixture::Directory directory{"Bulk\\Part" + std::to_string(folder), {}};
      for (int file = 0; file < 60; ++file) directory.files.push_back("DATA" + std::to_string(file) + ".BIN");
      bulk.directories.push_back(directory);
    }
    suite.groups.push_back(bulk);
    for (fixture::Component& component : suite.components) {
      if (component.name == "WRITER") component.fileGroups.push_back("BULK_FILES");
    }
    fixture::install(machine, suite);
    suite = fixture::sampleSuite(kRoot, programs);

    // Started, as deployment tools do, from the uninstall folder it lives in.
    const std::string program = kRoot + "\\Uninstall\\Cvlunst2.exe";
    ASSERT_TRUE(CopyFileA((programDirectory() + "Cvlunst2.exe").c_str(), program.c_str(), FALSE));
    const std::string command = "\"" + program + "\" /SILENT UNINSTALLALL";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string line = command;
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
    if (WaitForSingleObject(started.hProcess, killAfterMs) == WAIT_TIMEOUT) TerminateProcess(started.hProcess, 9);
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);

    // A run that got to its end leaves nothing to start from: start-up fails then.
    const bool nothingLeft = !exists("Uninstall\\cvlinst.dat") && !exists("Uninstall\\cvlinst.rec");
    EXPECT_EQ(test::runToExit(command, 60000), std::optional<uint32_t>(nothingLeft ? 1603u : 0u));
    for (const char* gone : {"Corvel\\WRITER.EXE", "Corvel\\Bulk", "Corvel\\Templates", "Corvel\\Fonts",
                             "Uninstall\\cvlinst.dat", "Uninstall\\cvlinst.log", "Uninstall\\cvlinst.rec",
                             "Uninstall\\deis1.isu"}) {
      EXPECT_FALSE(exists(gone)) << gone;
    }
    EXPECT_TRUE(exists("Corvel\\CVLMFC40.DLL")) << "core file";
    EXPECT_TRUE(exists("Common\\Corvel\\CVLRT.DLL")) << "the other program's library";
    EXPECT_EQ(sharedCount(runtime), 1u);
    EXPECT_EQ(sharedCount(common), 2u);
    EXPECT_FALSE(keyExists("software\\corvel\\uninstall"));
    EXPECT_FALSE(keyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System"));
  }
}

}  // namespace
}  // namespace cvl
