#include "uninstaller/startup/app/exit_status.h"

namespace cvl {

int exitStatusOf(const RunOutcome& outcome) {
  switch (outcome.end) {
    case RunEnd::HelpShown:
      return kExitRemoved;
    case RunEnd::StartupFailed:
      return kExitStartupFailed;
    case RunEnd::RemovalRan:
      return outcome.hadErrors ? kExitPartlyRemoved : kExitRemoved;
    case RunEnd::ProgramsRunning:
    case RunEnd::Cancelled:
    case RunEnd::NothingChecked:
    default:
      return kExitCancelled;
  }
}

}  // namespace cvl
