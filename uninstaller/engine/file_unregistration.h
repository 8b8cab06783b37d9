#pragma once
// Phase 1: self-registering servers are unregistered while their files are
// still there.
#include <string>

#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Runs "regsvr32 /u /s" on every file of the component's self-registering
// groups.
void unregisterComponentFiles(RemovalContext& context, const CComponent& component);

// Unregisters one file from inside its directory, unless it is missing, a
// core file (compared as logged) or a shared library other programs still
// count on.
void unregisterFile(RemovalContext& context, const std::string& fileName, const std::string& fullPath, bool shared);

}  // namespace cvl
