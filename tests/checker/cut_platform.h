#pragma once
// A machine on which a run is cut short, as a killed process is: the first
// `allowed` changes (a file opened for writing, a write, a delete, a value
// set, a command or library started, ...) go through, every later one
// fails and changes nothing. Reads always go through.
#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace cvl::checker {

struct ChangeBudget {
  uint64_t allowed = UINT64_MAX;
  uint64_t used = 0;
  bool take() { return used < allowed && ++used; }
};

std::unique_ptr<platform::Platform> cutPlatform(platform::Platform& inner, ChangeBudget& budget);

}  // namespace cvl::checker
