#pragma once
// One set of expectations that every Platform must meet, run against each
// implementation. Each run gets an empty scratch key and directory.
#include "tests/support/scratch.h"

namespace cvl::platform::contract {

class Contract : public test::OnEachPlatform {
 protected:
  static constexpr RegRoot kUser = RegRoot::CurrentUser;
  Status open(const std::string& relative, RegKeyPtr& out, uint32_t rights = access::kRead) {
    return reg().openKey(kUser, subKey(relative), rights, out);
  }
};

// In memory, as a logged run sees it, and for real in the Windows build.
std::vector<test::ScratchKind> implementations();
#define CVL_ON_EACH_IMPLEMENTATION(Suite) CVL_ON_EACH_PLATFORM(Suite, ::cvl::platform::contract::implementations())

}  // namespace cvl::platform::contract
