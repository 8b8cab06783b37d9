#pragma once
// Hands the installer packages of removed VBA-carrying components to the
// VBA runtime's own installer library, which decides whether the runtime goes.
#include <string>
#include <vector>

#include "platform/platform.h"

namespace cvl {

// Loads "vbai60.dll" below the Program Files directory and, for each path
// in order, calls Init(path, 1, 0) and, when that returns 0, UnInstall().
// Calls nothing when the directory cannot be read, the library does not
// load or either export is missing.
void uninstallVbaRuntime(platform::Platform& platform, const std::vector<std::string>& msiPaths);

}  // namespace cvl
