// The in-memory Windows, checked against the contract.
#include "contract_fixture.h"
#include "platform/memory/memory_platform.h"
#include "uninstaller/engine/record/journaling_platform.h"

namespace cvl::platform::contract {
namespace {

struct MemoryScratch : Scratch {
  MemoryScratch() {
    memory.files().addDirectory("C:\\Temp");
    directory = "C:\\Temp\\CvlContract";
  }
  Platform& platform() override { return memory; }
  MemoryPlatform memory;
};

// A logged run sees the machine through the journal: it must see the same machine.
struct JournaledScratch : MemoryScratch {
  Platform& platform() override { return journaled; }
  RemovalJournal journal;
  JournalingPlatform journaled{memory, journal};
};

INSTANTIATE_TEST_SUITE_P(Memory, Contract,
                         ::testing::Values(Implementation{"Memory", [] { return std::make_unique<MemoryScratch>(); }},
                                           Implementation{"Journaled", [] {
                                                            return std::make_unique<JournaledScratch>();
                                                          }}),
                         implementationName);

}  // namespace
}  // namespace cvl::platform::contract
