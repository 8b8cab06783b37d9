#pragma once
// The process exit status deployment tools read after a run.
namespace cvl {

enum ExitStatus : int {
  kExitRemoved = 0,         // everything selected was removed, or "/?" was shown
  kExitPartlyRemoved = 1,   // the removal ran but some elements stayed
  kExitCancelled = 1602,    // the user cancelled, nothing was checked, or suite programs are running
  kExitStartupFailed = 1603,  // errors 14, 15 and 16
  kExitPlanLogUnwritable = 1622,  // "/PLAN": the log file could not be opened; nothing else happened
  kExitInvalidCommandLine = 1639,  // "/PLAN" without "/LOG=", or "/LOG=" without a file
  kExitRestartRequired = 3010,  // only files in use are left; they go at the next restart
};

// One line for the log: what the status tells a deployment tool.
const char* exitStatusMeaning(int status);

}  // namespace cvl
