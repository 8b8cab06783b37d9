#include "platform/win32/win32_platform.h"
#include "scenario_platform.h"

std::unique_ptr<cvl::platform::Platform> makeScenarioPlatform() {
  return std::make_unique<cvl::platform::Win32Platform>();
}
