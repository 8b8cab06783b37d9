#pragma once
// The uninstaller program: reads its command line, loads the installation's
// configuration and log, checks for running suite programs and runs the
// selection dialog, shown or hidden. Its result is the process exit status.
#include <string>

#include "platform/platform.h"
#include "uninstaller/engine/record/removal_journal.h"
#include "uninstaller/engine/record/removal_log_file.h"
#include "uninstaller/startup/command_line.h"
#include "uninstaller/startup/log_switches.h"
#include "uninstaller/startup/exit_status.h"
#include "uninstaller/startup/loaded_installation.h"
#include "uninstaller/app/one_run_lock.h"

namespace cvl {

class CUninstallApp {
 public:
  CUninstallApp(platform::Platform& platform, std::string commandLine);
  CUninstallApp(const CUninstallApp&) = delete;
  CUninstallApp& operator=(const CUninstallApp&) = delete;
  ~CUninstallApp();

  // The whole run; returns the exit status (see exit_status.h).
  int run();

  const StartupFlags& flags() const { return flags_; }
  const StartupState& state() const { return installation_.state; }

 private:
  RunOutcome runToEnd();
  // False when "/LOG=" named a file that cannot be opened for appending,
  // or one it must not be written into.
  bool openLog();
  bool refusesLog();
  // The summary and the exit status close an open log.
  void endLog(int status);
  void showHelp() const;
  void fail(StartupError error) const;
  void collectRunningPrograms();
  RunOutcome runSelection();
  // False when another run holds the lock; says so outside silent runs.
  bool takeOneRunLock();
  // A final clean-up that a run cut short had begun is finished; true then.
  bool finishCleanupIfBegun(bool started);

  platform::Platform& platform_;
  std::string commandLine_;  // as the system gives it, program name included
  std::string arguments_;    // upper case, program name left out
  LogSwitches logSwitches_;  // "/LOG=" and "/PLAN", from the arguments as typed
  StartupFlags flags_;
  LoadedInstallation installation_;  // into the process's store, catalogue and noted paths
  RemovalLogFile logFile_;
  RemovalJournal journal_;
  OneRunLock oneRunLock_;
};

}  // namespace cvl
