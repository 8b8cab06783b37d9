// The real registry and file system (Wine in the test runs).
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "world.h"

namespace cvl::test {
namespace {

struct Win32World : World {
  Win32World() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string id = std::to_string(GetCurrentProcessId());
    dir = std::string(temp) + "CvlRemoval" + id;
    key = "Software\\CvlRemovalTest" + id;
  }
  platform::Platform& platform() override { return win32; }
  platform::Win32Platform win32;
};

}  // namespace

WorldKind win32World() {
  return {"Win32", [] { return std::make_unique<Win32World>(); }};
}

}  // namespace cvl::test
