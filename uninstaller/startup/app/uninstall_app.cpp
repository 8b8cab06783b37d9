#include "uninstaller/startup/app/uninstall_app.h"

#include <windows.h>
#include <commctrl.h>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/journaling_platform.h"
#include "uninstaller/engine/plan_platform.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/resources/resource_ids.h"
#include "uninstaller/startup/app/exit_status.h"
#include "uninstaller/ui/running_modules.h"
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

bool addRunningModule(uint32_t, uint16_t, const std::string& path, void* userData) {
  static_cast<std::vector<std::string>*>(userData)->push_back(platform::upper(path));
  return true;
}

}  // namespace

CUninstallApp::CUninstallApp(platform::Platform& platform, std::string commandLine)
    : platform_(platform),
      typedCommandLine_(std::move(commandLine)),
      logSwitches_(takeLogSwitches(typedCommandLine_)),
      commandLine_(platform::upper(logSwitches_.rest)),
      store_(processStore()),
      logFile_(platform.files()) {}

CUninstallApp::~CUninstallApp() {
  catalogue().release();
  notedPaths().clearNotedPaths();
}

int CUninstallApp::run() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  flags_ = parseCommandLine(commandLine_);
  if (flags_.help) return showHelp();
  if (logSwitches_.invalid) {
    if (!flags_.silent) showHelp();
    return kExitInvalidCommandLine;
  }
  if (!openLog() && logSwitches_.plan) return kExitPlanLogUnwritable;
  return endLog(startAndSelect());
}

int CUninstallApp::startAndSelect() {
  StartupError error = runStartup(platform_, store_, catalogue(), state_);
  if (error != StartupError::None) {
    journal_.note("start-up failed: error " + std::to_string(static_cast<int>(error)));
    return fail(error);
  }
  collectRunningPrograms();
  if (!flags_.silent && !state_.runningSuitePrograms.empty()) {
    journal_.note("programs of the suite are running: nothing was removed");
    showRunningPrograms(nullptr, state_.runningSuitePrograms);
    return kExitCancelled;
  }
  return runSelection();
}

bool CUninstallApp::openLog() {
  if (logSwitches_.logPath.empty()) return true;
  const platform::Status opened = logFile_.open(logSwitches_.logPath);
  if (opened != platform::kSuccess) return false;
  journal_.attach([this](const std::string& line) { logFile_.writeLine(line); });
  journal_.note("==== " + std::string(logSwitches_.plan ? "plan" : "removal") + " started " + localTimeText());
  journal_.note("command line: " + typedCommandLine_);
  if (logSwitches_.plan) {
    journal_.note("this is a plan: nothing was changed. It cannot know what RunOnce commands and unregistration "
                  "would change, nor which files will be in use.");
  }
  return true;
}

int CUninstallApp::endLog(int status) {
  journal_.note(journal_.summary());
  journal_.note("exit status " + std::to_string(status) + ": " + exitStatusMeaning(status));
  logFile_.close();
  return status;
}

int CUninstallApp::showHelp() const {
  MessageBoxA(nullptr, kHelpText, programName().c_str(), MB_OK | MB_ICONEXCLAMATION);
  return kExitRemoved;
}

int CUninstallApp::fail(StartupError error) const {
  if (flags_.showErrors) {
    std::string text = loadString(static_cast<int>(error));
    std::string caption = loadString(IDS_PRODUCT);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
  }
  return kExitStartupFailed;
}

void CUninstallApp::collectRunningPrograms() {
  enumRunningModules(&addRunningModule, &state_.runningModules, state_.processLibraryPath);
  state_.runningSuitePrograms = matchRunningSuitePrograms(state_.runningModules, state_.suitePrograms);
}

int CUninstallApp::runSelection() {
  // A logged run sees the machine through the journaling layer; an
  // unlogged one pays nothing for it. A plan changes nothing at all.
  JournalingPlatform logged(platform_, journal_);
  PlanPlatform planned(platform_, journal_);
  platform::Platform& machine = logSwitches_.plan ? static_cast<platform::Platform&>(planned)
                                : journal_.attached() ? static_cast<platform::Platform&>(logged)
                                                      : platform_;
  RemovalContext context(machine, catalogue(), state_.log, state_.pathMacros, notedPaths(), store_,
                         state_.uninstallDir);
  context.plan = logSwitches_.plan;
  context.silent = flags_.silent;
  context.showProgress = flags_.showProgress;
  context.journal = &journal_;
  const bool logMissing = !logSwitches_.logPath.empty() && !logFile_.isOpen();
  CUninstallDlg::Options options{flags_.silent, flags_.showErrors, flags_.showProgress, commandLine_};
  CUninstallDlg dialog(nullptr, options, catalogue(), [&](const SelectionTree& tree, ProgressWindow& progress) {
    const bool ran = runUninstall(context, tree, progress);
    if (ran && logMissing) progress.showLogNotWritten();
    return ran;
  });
  switch (dialog.run()) {
    case CUninstallDlg::Outcome::Removed:
    case CUninstallDlg::Outcome::PlanWritten:
      return kExitRemoved;
    case CUninstallDlg::Outcome::PartlyRemoved:
      return kExitPartlyRemoved;
    case CUninstallDlg::Outcome::RestartNeeded:
      return kExitRestartRequired;
    default:
      return kExitCancelled;
  }
}

}  // namespace cvl
