#pragma once
// The process exit status deployment tools read after a run.
namespace cvl {

enum ExitStatus : int {
  kExitRemoved = 0,         // everything selected was removed, or "/?" was shown
  kExitPartlyRemoved = 1,   // the removal ran but some elements stayed
  kExitCancelled = 1602,    // the user cancelled, nothing was checked, or suite programs are running
  kExitStartupFailed = 1603,  // errors 14, 15 and 16
};

}  // namespace cvl
