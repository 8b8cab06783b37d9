#include "uninstaller/startup/app/uninstall_app.h"

#include <windows.h>
#include <commctrl.h>

#include "uninstaller/catalogue/catalogue.h"
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

// The uninstaller's own process is left out: a log that lists its file
// would otherwise stop every interactive run.
bool addRunningModule(uint32_t processId, uint16_t task16, const std::string& path, void* userData) {
  if (processId == GetCurrentProcessId() && task16 == 0) return true;
  static_cast<std::vector<std::string>*>(userData)->push_back(platform::upper(path));
  return true;
}

}  // namespace

CUninstallApp::CUninstallApp(platform::Platform& platform, std::string commandLine)
    : platform_(platform), commandLine_(std::move(commandLine)), store_(processStore()) {}

CUninstallApp::~CUninstallApp() {
  catalogue().release();
  notedPaths().clearNotedPaths();
}

int CUninstallApp::run() { return exitStatusOf(runToEnd()); }

RunOutcome CUninstallApp::runToEnd() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const CommandLine line = parseCommandLine(commandLine_, platform_.system().modulePath());
  arguments_ = line.arguments;
  flags_ = line.flags;
  if (flags_.help) {
    showHelp();
    return {RunEnd::HelpShown};
  }

  StartupError error = runStartup(platform_, store_, catalogue(), state_);
  if (error != StartupError::None) {
    fail(error);
    return {RunEnd::StartupFailed};
  }
  collectRunningPrograms();
  if (!flags_.silent && !state_.runningSuitePrograms.empty()) {
    showRunningPrograms(nullptr, state_.runningSuitePrograms);
    return {RunEnd::ProgramsRunning};
  }
  return runSelection();
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
  enumRunningModules(&addRunningModule, &state_.runningModules, state_.processLibraryPath);
  state_.runningSuitePrograms = matchRunningSuitePrograms(state_.runningModules, state_.suitePrograms);
}

RunOutcome CUninstallApp::runSelection() {
  RemovalContext context(platform_, catalogue(), state_.log, state_.pathMacros, notedPaths(), store_,
                         state_.uninstallDir);
  context.silent = flags_.silent;
  context.showProgress = flags_.showProgress;
  CUninstallDlg::Options options{flags_.silent, flags_.showErrors, flags_.showProgress, arguments_};
  // The session may end while the removal is half done: what went is then
  // recorded, so the next run offers only what is left.
  options.beforeSessionEnds = [&context] {
    // Nothing can be shown while the session ends; a failed save leaves
    // the store as it was.
    static_cast<void>(writeBackSelection(context.catalogue, context.store, context.files()));
  };
  CUninstallDlg dialog(nullptr, options, catalogue(), [&context](const SelectionTree& tree, ProgressWindow& progress) {
    return runUninstall(context, tree, progress);
  });
  switch (dialog.run()) {
    case CUninstallDlg::Outcome::RemovalRan:
      return {RunEnd::RemovalRan, context.hadErrors};
    case CUninstallDlg::Outcome::NothingChecked:
      return {RunEnd::NothingChecked};
    case CUninstallDlg::Outcome::Cancelled:
    default:
      return {RunEnd::Cancelled};
  }
}

}  // namespace cvl
