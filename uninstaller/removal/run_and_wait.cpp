#include "uninstaller/removal/run_and_wait.h"

#include "uninstaller/suite/suite_layout.h"

namespace cvl {

bool runAndWait(platform::System& system, const std::string& application, const std::string& commandLine) {
  return system.runHidden(application, commandLine, names::kChildTimeoutMs) != platform::WaitResult::NotStarted;
}

}  // namespace cvl
