#pragma once
// The process exit status deployment tools read after a run, decided in one
// place from how the run ended, never from the state of a window.
namespace cvl {

enum ExitStatus : int {
  kExitRemoved = 0,         // everything selected was removed, or "/?" was shown
  kExitPartlyRemoved = 1,   // the removal ran but some elements stayed
  kExitCancelled = 1602,    // the user cancelled, nothing was checked, or suite programs are running
  kExitAnotherRunInProgress = 1618,  // another run of the uninstaller is going on; nothing happened
  kExitStartupFailed = 1603,  // errors 14, 15 and 16
  kExitPlanLogUnwritable = 1622,  // "/PLAN": the log file could not be opened or written; nothing was changed
  kExitInvalidCommandLine = 1639,  // "/PLAN" without "/LOG=", or "/LOG=" without a file
  kExitRestartRequired = 3010,  // only files in use are left; they go at the next restart
};

// Where a run stopped.
enum class RunEnd {
  HelpShown, StartupFailed, ProgramsRunning, Cancelled, NothingChecked, RemovalRan,
  InvalidCommandLine, PlanLogUnwritable, AnotherRunInProgress
};

struct RunOutcome {
  RunEnd end = RunEnd::Cancelled;
  bool hadErrors = false;      // the removal ran and a file or shortcut could not be deleted
  bool restartNeeded = false;  // the removal ran and left only files in use, scheduled for the restart
};

int exitStatusOf(const RunOutcome& outcome);

// One line for the log: what the status tells a deployment tool.
const char* exitStatusMeaning(int status);

}  // namespace cvl
