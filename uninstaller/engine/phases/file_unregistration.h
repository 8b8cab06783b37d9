#pragma once
// Phase 1: self-registering servers are unregistered while their files are
// still there.
#include <string>

#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Runs "<system folder>\\regsvr32.exe /u /s" on every file of the component's self-registering
// groups.
void unregisterComponentFiles(RemovalContext& context, const CComponent& component);

// Unregisters one file with the system's own regsvr32, given the file's
// full path, unless it is missing, a core file or a shared library other
// programs still count on.
void unregisterFile(RemovalContext& context, const std::string& fileName, const std::string& fullPath, bool shared);

}  // namespace cvl
