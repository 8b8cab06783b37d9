#pragma once
// A registry that will not write values of one name and passes everything
// else to the platform it wraps: a failing write on demand, on the real
// registry as in memory.
#include <memory>
#include <string>

#include "platform/platform.h"

std::unique_ptr<cvl::platform::Platform> refusingWritesOf(cvl::platform::Platform& inner, std::string valueName);
