#pragma once
// One set of expectations that every Platform must meet, run against each
// implementation. Each run gets an empty scratch key and directory.
#include "tests/support/scratch.h"
#include "uninstaller/engine/record/journaling_platform.h"

namespace cvl::platform::contract {

class Contract : public test::OnEachPlatform {
 protected:
  static constexpr RegRoot kUser = RegRoot::CurrentUser;
  Status open(const std::string& relative, RegKeyPtr& out, uint32_t rights = access::kRead) {
    return reg().openKey(kUser, subKey(relative), rights, out);
  }
};

// A logged run sees the machine through the journal: it must see the same machine.
struct JournaledScratch : test::MemoryScratch {
  JournaledScratch() : MemoryScratch("CvlContract") {}
  Platform& platform() override { return journaled; }
  RemovalJournal journal;
  JournalingPlatform journaled{memory, journal};
};

// In memory, as a logged run sees it, and for real in the Windows build.
inline std::vector<test::ScratchKind> implementations() {
  std::vector<test::ScratchKind> kinds = test::scratchKinds("CvlContract");
  kinds.push_back({"Journaled", [] { return std::make_unique<JournaledScratch>(); }});
  return kinds;
}
#define CVL_ON_EACH_IMPLEMENTATION(Suite) CVL_ON_EACH_PLATFORM(Suite, ::cvl::platform::contract::implementations())

}  // namespace cvl::platform::contract
