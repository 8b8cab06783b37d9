#include "platform/memory/memory_platform.h"
#include "world.h"

namespace cvl::test {
namespace {

struct MemoryWorld : World {
  MemoryWorld() {
    dir = "C:\\Scratch\\CvlRemoval";
    memory.files().addFile("C:\\Scratch\\other.txt");
    memory.registry().seedValue(platform::RegRoot::CurrentUser, "Software\\Other", "v", platform::RegValue::dword(1));
    memory.registry().seedValue(platform::RegRoot::LocalMachine, "Software\\Other", "v", platform::RegValue::dword(1));
  }
  platform::Platform& platform() override { return memory; }
  platform::MemoryPlatform memory;
};

}  // namespace

WorldKind memoryWorld() {
  return {"Memory", [] { return std::make_unique<MemoryWorld>(); }};
}

}  // namespace cvl::test
