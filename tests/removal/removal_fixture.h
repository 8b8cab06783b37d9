#pragma once
// The removal primitives on each platform. Each scratch place holds a
// keeper (a file, a value), so sweeps that climb up from what a test noted
// stop there.
#include "tests/support/scratch.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl::test {

class Removal : public OnEachPlatform {
 protected:
  static constexpr platform::RegRoot kUser = platform::RegRoot::CurrentUser, kMachine = platform::RegRoot::LocalMachine;
  void SetUp() override {
    OnEachPlatform::SetUp();
    writeFile("keeper.txt");
    for (auto root : {kUser, kMachine}) makeKey("", {"keeper"}, root);
  }
  NotedPaths noted;
};

#define CVL_REMOVAL_ON_EACH_PLATFORM(Suite) CVL_ON_EACH_PLATFORM(Suite, ::cvl::test::scratchKinds("CvlRemoval"))

}  // namespace cvl::test
