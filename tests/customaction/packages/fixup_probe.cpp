// Custom actions that surround the fix-up in a real msiexec run: one sets up
// the planning state, the other writes the outcome to the file named by the
// PROBEFILE property.
#include <cstdio>

#include "fixup_scenario.h"

extern "C" UINT __stdcall PrepareScenario(MSIHANDLE install) {
  return fixup_scenario::prepare(install) ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

extern "C" UINT __stdcall RecordOutcome(MSIHANDLE install) {
  char path[MAX_PATH];
  DWORD size = sizeof path;
  if (MsiGetPropertyA(install, "PROBEFILE", path, &size) != ERROR_SUCCESS || size == 0) {
    return ERROR_INSTALL_FAILURE;
  }
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) return ERROR_INSTALL_FAILURE;
  std::fputs(fixup_scenario::outcome(install).c_str(), file);
  std::fclose(file);
  return ERROR_SUCCESS;
}
