#pragma once
// Lists the running programs: tool-help snapshots on the 95 family, the
// process-status library (installed beside the install log) and the
// virtual-DOS-machine library for 16-bit tasks on the NT family.
#include <cstdint>
#include <string>

namespace cvl {

// Called once per running module; return false to stop. task16 is 0 for an
// ordinary process, else the 16-bit task inside NTVDM.EXE.
using RunningModuleCallback = bool (*)(uint32_t processId, uint16_t task16, const std::string& path, void* userData);

// True when an enumeration ran, even one the callback stopped early; false
// on an unknown system family, a missing library or function, or when the
// process list cannot be read.
bool enumRunningModules(RunningModuleCallback callback, void* userData, const std::string& processLibraryPath);

}  // namespace cvl
