#include "platform/memory/memory_platform.h"
#include "scenario_platform.h"

using cvl::platform::MemoryPlatform;

std::unique_ptr<cvl::platform::Platform> makeScenarioPlatform() {
  auto machine = std::make_unique<MemoryPlatform>();
  // The parent of the temporary key exists on every real system.
  machine->registry().seedKey(cvl::platform::RegRoot::CurrentUser, "Software");
  // A folder name that holds a command word, as a user may well choose.
  machine->system().setModulePath("C:\\Program Files\\Old Backup\\Stowset.exe");
  return machine;
}

void setScenarioVariable(cvl::platform::Platform& platform, const std::string& name, const char* value) {
  auto& system = static_cast<MemoryPlatform&>(platform).system();
  if (value) {
    system.setEnvironment(name, value);
  } else {
    system.unsetEnvironment(name);
  }
}
