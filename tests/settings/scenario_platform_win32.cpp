#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "scenario_platform.h"

std::unique_ptr<cvl::platform::Platform> makeScenarioPlatform() {
  return std::make_unique<cvl::platform::Win32Platform>();
}

void setScenarioVariable(cvl::platform::Platform&, const std::string& name, const char* value) {
  SetEnvironmentVariableA(name.c_str(), value);
}
