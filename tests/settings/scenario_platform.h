#pragma once
// The Windows the shared settings scenarios run on: the in-memory one in
// every build, and the real registry of the current user under Wine.
#include <memory>
#include <string>

#include "platform/platform.h"

std::unique_ptr<cvl::platform::Platform> makeScenarioPlatform();

// Sets an environment variable of that Windows; null removes it.
void setScenarioVariable(cvl::platform::Platform& platform, const std::string& name, const char* value);
