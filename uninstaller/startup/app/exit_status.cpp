#include "uninstaller/startup/app/exit_status.h"

namespace cvl {

const char* exitStatusMeaning(int status) {
  switch (status) {
    case kExitRemoved: return "everything selected was removed";
    case kExitPartlyRemoved: return "the removal ran but some elements could not be removed";
    case kExitCancelled: return "cancelled, nothing checked, or programs of the suite are running";
    case kExitStartupFailed: return "start-up failed";
    case kExitPlanLogUnwritable: return "the log file could not be written";
    case kExitInvalidCommandLine: return "invalid command line";
    case kExitRestartRequired: return "restart required: files in use are removed at the next restart";
    default: return "unknown";
  }
}

}  // namespace cvl
