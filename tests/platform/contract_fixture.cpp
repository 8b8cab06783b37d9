#include "contract_fixture.h"

#include "uninstaller/engine/record/journaling_platform.h"

namespace cvl::platform::contract {
namespace {

// A logged run sees the machine through the journal: it must see the same machine.
struct JournaledScratch : test::MemoryScratch {
  JournaledScratch() : MemoryScratch("CvlContract") {}
  Platform& platform() override { return journaled; }
  RemovalJournal journal;
  JournalingPlatform journaled{memory, journal};
};

}  // namespace

std::vector<test::ScratchKind> implementations() {
  std::vector<test::ScratchKind> kinds = test::scratchKinds("CvlContract");
  kinds.push_back({"Journaled", [] { return std::make_unique<JournaledScratch>(); }});
  return kinds;
}

CVL_ON_EACH_IMPLEMENTATION(Contract);

}  // namespace cvl::platform::contract
