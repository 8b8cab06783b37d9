#include "uninstaller/app/uninstall_app.h"

#include <windows.h>
#include <commctrl.h>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/cleanup_resume.h"
#include "uninstaller/engine/record/journaling_platform.h"
#include "uninstaller/engine/record/log_path_check.h"
#include "uninstaller/engine/record/run_mode.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/resources/resource_ids.h"
#include "uninstaller/startup/exit_status.h"
#include "uninstaller/app/running_modules.h"
#include "uninstaller/ui/running_programs_dlg.h"
#include "uninstaller/ui/uninstall_dlg.h"

namespace cvl {
namespace {

// The configuration store lives as long as the process, like the catalogue.
CConfigStore& processStore() {
  static CConfigStore store;
  return store;
}

std::string loadString(int id) {
  char text[1024] = {};
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

std::string programName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// The uninstaller's own process is left out: a log that lists its file
// would otherwise stop every interactive run.
bool addRunningModule(uint32_t processId, uint16_t task16, const std::string& path, void* userData) {
  if (processId == GetCurrentProcessId() && task16 == 0) return true;
  static_cast<std::vector<std::string>*>(userData)->push_back(platform::upper(path));
  return true;
}

}  // namespace

CUninstallApp::CUninstallApp(platform::Platform& platform, std::string commandLine)
    : platform_(platform),
      commandLine_(std::move(commandLine)),
      installation_(processStore(), catalogue(), notedPaths()),
      logFile_(platform.files()) {}

CUninstallApp::~CUninstallApp() {
  catalogue().release();
  notedPaths().clearNotedPaths();
}

int CUninstallApp::run() {
  RunOutcome outcome = runToEnd();
  // A plan's only product is its log: a plan whose lines did not all reach it failed.
  if (logSwitches_.plan && logFile_.isOpen() && !logFile_.flush()) outcome = RunOutcome{RunEnd::PlanLogUnwritable};
  const int status = exitStatusOf(outcome);
  endLog(status);
  return status;
}

RunOutcome CUninstallApp::runToEnd() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The log's file name is cut out, as typed, before anything else is matched.
  const std::string modulePath = platform_.system().modulePath();
  const size_t programEnd = programNameEnd(commandLine_, modulePath);
  logSwitches_ = takeLogSwitches(commandLine_.substr(programEnd));
  const CommandLine line = parseCommandLine(commandLine_.substr(0, programEnd) + logSwitches_.rest, modulePath);
  arguments_ = line.arguments;
  flags_ = line.flags;
  if (flags_.help) {
    showHelp();
    return {RunEnd::HelpShown};
  }
  if (logSwitches_.invalid) {
    if (!flags_.silent) showHelp();
    return {RunEnd::InvalidCommandLine};
  }
  // Before the log is opened or the store read: a second run changes nothing.
  if (!takeOneRunLock()) return {RunEnd::AnotherRunInProgress};
  // The start-up only reads; the log is opened after it, when the files it
  // must not be written into are known.
  StartupError error = installation_.load(platform_);
  if (!openLog() && logSwitches_.plan) return {RunEnd::PlanLogUnwritable};
  if (!logSwitches_.plan && finishCleanupIfBegun(error == StartupError::None)) return {RunEnd::RemovalRan};
  if (error != StartupError::None) {
    journal_.note("start-up failed: error " + std::to_string(static_cast<int>(error)));
    fail(error);
    return {RunEnd::StartupFailed};
  }
  collectRunningPrograms();
  if (!flags_.silent && !installation_.state.runningSuitePrograms.empty()) {
    journal_.note("programs of the suite are running: nothing was removed");
    showRunningPrograms(nullptr, installation_.state.runningSuitePrograms);
    return {RunEnd::ProgramsRunning};
  }
  return runSelection();
}

// Where the store or the log is gone already, the program's own folder
// holds what is left of the suite's uninstall files.
bool CUninstallApp::finishCleanupIfBegun(bool started) {
  std::string folder = installation_.state.uninstallDir;
  if (!started) {
    const std::string program = platform_.system().modulePath();
    folder = program.substr(0, program.find_last_of("\\/") + 1);
  }
  if (folder.empty()) return false;
  JournalingPlatform logged(platform_, journal_);
  platform::Platform& machine = journal_.attached() ? static_cast<platform::Platform&>(logged) : platform_;
  return finishBegunCleanup(machine, folder, journal_, &platform_.files());
}

bool CUninstallApp::openLog() {
  if (logSwitches_.logPath.empty()) return true;
  if (refusesLog()) return false;
  const auto writes = logSwitches_.plan ? RemovalLogFile::Writes::Gathered : RemovalLogFile::Writes::EachLine;
  if (logFile_.open(logSwitches_.logPath, writes) != platform::kSuccess) return false;
  journal_.attach([this](const std::string& line) { logFile_.writeLine(line); });
  journal_.note("==== " + std::string(logSwitches_.plan ? "plan" : "removal") + " started " + localTimeText());
  journal_.note("command line: " + commandLine_);
  if (logSwitches_.plan) {
    journal_.note("this is a plan: nothing was changed. It cannot know what RunOnce commands and unregistration "
                  "would change, nor which files will be in use.");
  }
  return true;
}

bool CUninstallApp::refusesLog() {
  const std::string& storePath = installation_.store.path();
  const std::string uninstallDir = storePath.substr(0, storePath.find_last_of("\\/") + 1);
  return refusesLogPath(platform_.files(), logSwitches_.logPath,
                        uninstallerFiles(uninstallDir, platform_.system().modulePath()), installation_.catalogue,
                        installation_.state.log, installation_.state.pathMacros);
}

void CUninstallApp::endLog(int status) {
  if (!logFile_.isOpen()) return;
  journal_.note(journal_.summary());
  journal_.note("exit status " + std::to_string(status) + ": " + exitStatusMeaning(status));
  static_cast<void>(logFile_.close());  // a log that fails this late has no one left to tell
}

bool CUninstallApp::takeOneRunLock() {
  if (oneRunLock_.take() == OneRunLock::Result::Taken) return true;
  if (!flags_.silent) {
    const std::string caption = loadString(IDS_PRODUCT);
    MessageBoxA(nullptr, kAnotherRunText, caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
  return false;
}

void CUninstallApp::showHelp() const {
  MessageBoxA(nullptr, kHelpText, programName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CUninstallApp::fail(StartupError error) const {
  if (!flags_.showErrors) return;
  std::string text = loadString(static_cast<int>(error));
  std::string caption = loadString(IDS_PRODUCT);
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

void CUninstallApp::collectRunningPrograms() {
  StartupState& state = installation_.state;
  enumRunningModules(&addRunningModule, &state.runningModules, state.processLibraryPath);
  state.runningSuitePrograms = matchRunningSuitePrograms(state.runningModules, state.suitePrograms);
}

RunOutcome CUninstallApp::runSelection() {
  RunMachine machine(platform_, journal_, runModeFor(logSwitches_.plan, journal_.attached()));
  RemovalContext context = installation_.removalContext(machine.platform());
  context.journal = &journal_;
  context.silent = flags_.silent;
  context.showProgress = flags_.showProgress;
  context.recordFiles = &platform_.files();
  CUninstallDlg::Options options{flags_.silent, flags_.showErrors, flags_.showProgress, arguments_};
  // The session may end while the removal is half done: what went is then
  // recorded, so the next run offers only what is left.
  options.beforeSessionEnds = [&context] {
    // Nothing can be shown while the session ends; a failed save leaves
    // the store as it was.
    // Components not yet finished stay in the store: the next run finishes them.
    if (!context.platform.changesNothing() && context.phasesDone) {
      static_cast<void>(writeBackSelection(context.catalogue, context.store, context.files()));
    }
  };
  const bool logMissing = !logSwitches_.logPath.empty() && !logFile_.isOpen();
  CUninstallDlg dialog(nullptr, options, catalogue(), [&](const SelectionTree& tree, ProgressWindow& progress) {
    const bool ran = runUninstall(context, tree, progress);
    if (ran && logMissing) progress.showLogNotWritten();
    return ran;
  });
  switch (dialog.run()) {
    case CUninstallDlg::Outcome::RemovalRan:
      return {RunEnd::RemovalRan, context.hadErrors, context.restartNeeded()};
    case CUninstallDlg::Outcome::NothingChecked:
      return {RunEnd::NothingChecked};
    case CUninstallDlg::Outcome::Cancelled:
    default:
      return {RunEnd::Cancelled};
  }
}

}  // namespace cvl
