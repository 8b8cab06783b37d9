// The real Windows (Wine in the test runs), checked against the contract.
#include <windows.h>

#include "contract_fixture.h"
#include "platform/win32/win32_platform.h"

namespace cvl::platform::contract {
namespace {

struct Win32Scratch : Scratch {
  Win32Scratch() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    directory = std::string(temp) + "CvlContract" + std::to_string(GetCurrentProcessId());
  }
  Platform& platform() override { return win32; }
  // Wine reports success but makes nothing a program sees as a link.
  bool makeLink(const std::string& link, const std::string& target) override {
    if (!CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) return false;
    const DWORD attributes = GetFileAttributesA(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  Win32Platform win32;
};

INSTANTIATE_TEST_SUITE_P(Win32, Contract,
                         ::testing::Values(Implementation{"Win32", [] { return std::make_unique<Win32Scratch>(); }}),
                         implementationName);

}  // namespace
}  // namespace cvl::platform::contract
