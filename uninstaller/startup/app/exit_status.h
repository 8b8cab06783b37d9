#pragma once
// The process exit status deployment tools read after a run, decided in one
// place from how the run ended, never from the state of a window.
namespace cvl {

enum ExitStatus : int {
  kExitRemoved = 0,         // everything selected was removed, or "/?" was shown
  kExitPartlyRemoved = 1,   // the removal ran but some elements stayed
  kExitCancelled = 1602,    // the user cancelled, nothing was checked, or suite programs are running
  kExitStartupFailed = 1603,  // errors 14, 15 and 16
};

// Where a run stopped.
enum class RunEnd { HelpShown, StartupFailed, ProgramsRunning, Cancelled, NothingChecked, RemovalRan };

struct RunOutcome {
  RunEnd end = RunEnd::Cancelled;
  bool hadErrors = false;  // the removal ran and a file or shortcut could not be deleted
};

int exitStatusOf(const RunOutcome& outcome);

}  // namespace cvl
