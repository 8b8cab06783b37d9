// The in-memory Windows, checked against the contract.
#include "contract_fixture.h"
#include "platform/memory/memory_platform.h"

namespace cvl::platform::contract {
namespace {

struct MemoryScratch : Scratch {
  MemoryScratch() {
    memory.files().addDirectory("C:\\Temp");
    directory = "C:\\Temp\\CvlContract";
  }
  Platform& platform() override { return memory; }
  void plantLink(RegRoot root, const std::string& key, const std::string& target) override {
    memory.registry().seedLink(root, key, target);
  }
  MemoryPlatform memory;
};

INSTANTIATE_TEST_SUITE_P(Memory, Contract,
                         ::testing::Values(Implementation{"Memory", [] { return std::make_unique<MemoryScratch>(); }}),
                         implementationName);

}  // namespace
}  // namespace cvl::platform::contract
