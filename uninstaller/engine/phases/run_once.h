#pragma once
// The commands a component registered to run before its removal.
#include <functional>
#include <string>

#include "platform/platform.h"
#include "uninstaller/engine/record/removal_journal.h"

namespace cvl {

// Runs the string values of the component's "RunOnce" key, last value
// first, each hidden and waited for. Expandable strings have their
// environment variables expanded first. Values that cannot be read, whose
// data is empty or not a string, or whose program cannot be named without a
// search are skipped, a skipped command noted in the journal as kept. The
// key stays in place. mayStart, when given, is asked with the value's name
// and the command just before each start.
using RunOnceGate = std::function<bool(const std::string& valueName, const std::string& command)>;
void runComponentRunOnce(platform::Platform& platform, const std::string& componentName,
                         RemovalJournal* journal = nullptr, const RunOnceGate& mayStart = {});

}  // namespace cvl
