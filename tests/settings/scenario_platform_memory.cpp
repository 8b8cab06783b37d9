#include "platform/memory/memory_platform.h"
#include "scenario_platform.h"

std::unique_ptr<cvl::platform::Platform> makeScenarioPlatform() {
  auto machine = std::make_unique<cvl::platform::MemoryPlatform>();
  // The parent of the temporary key exists on every real system.
  machine->registry().seedKey(cvl::platform::RegRoot::CurrentUser, "Software");
  return machine;
}
