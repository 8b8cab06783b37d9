#pragma once
// Starts a hidden child process and waits a bounded time for it.
#include <string>

#include "platform/system.h"

namespace cvl {

// application is the program file's full path: nothing is searched for.
// True when the process started and the wait did not fail; a process still
// running after the time-out is left running.
bool runAndWait(platform::System& system, const std::string& application, const std::string& commandLine);

}  // namespace cvl
