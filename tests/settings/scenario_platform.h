#pragma once
// The Windows the shared settings scenarios run on: the in-memory one in
// every build, and the real registry of the current user under Wine.
#include <memory>

#include "platform/platform.h"

std::unique_ptr<cvl::platform::Platform> makeScenarioPlatform();
