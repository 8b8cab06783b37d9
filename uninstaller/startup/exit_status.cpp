#include "uninstaller/startup/exit_status.h"

namespace cvl {

int exitStatusOf(const RunOutcome& outcome) {
  switch (outcome.end) {
    case RunEnd::HelpShown:
      return kExitRemoved;
    case RunEnd::StartupFailed:
      return kExitStartupFailed;
    case RunEnd::InvalidCommandLine:
      return kExitInvalidCommandLine;
    case RunEnd::PlanLogUnwritable:
      return kExitPlanLogUnwritable;
    case RunEnd::AnotherRunInProgress:
      return kExitAnotherRunInProgress;
    case RunEnd::RemovalRan:
      return outcome.hadErrors ? kExitPartlyRemoved : outcome.restartNeeded ? kExitRestartRequired : kExitRemoved;
    case RunEnd::ProgramsRunning:
    case RunEnd::Cancelled:
    case RunEnd::NothingChecked:
    default:
      return kExitCancelled;
  }
}

const char* exitStatusMeaning(int status) {
  switch (status) {
    case kExitRemoved: return "everything selected was removed";
    case kExitPartlyRemoved: return "the removal ran but some elements could not be removed";
    case kExitCancelled: return "cancelled, nothing checked, or programs of the suite are running";
    case kExitStartupFailed: return "start-up failed";
    case kExitAnotherRunInProgress: return "another run of the uninstaller is in progress";
    case kExitPlanLogUnwritable: return "the log file could not be written";
    case kExitInvalidCommandLine: return "invalid command line";
    case kExitRestartRequired: return "restart required: files in use are removed at the next restart";
    default: return "unknown";
  }
}

}  // namespace cvl
