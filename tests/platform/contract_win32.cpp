// The real Windows (Wine in the test runs), checked against the contract.
#include <windows.h>

#include <string>

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
  void plantLink(RegRoot root, const std::string& key, const std::string& target) override {
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    HKEY link = nullptr;
    ASSERT_EQ(RegCreateKeyExA(roots[static_cast<int>(root)], key.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                              KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr),
              ERROR_SUCCESS);
    const std::wstring native(target.begin(), target.end());  // the path's bytes as UTF-16, no terminator
    EXPECT_EQ(RegSetValueExA(link, "SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(native.data()),
                             static_cast<DWORD>(native.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(link);
  }
  Win32Platform win32;
};

INSTANTIATE_TEST_SUITE_P(Win32, Contract,
                         ::testing::Values(Implementation{"Win32", [] { return std::make_unique<Win32Scratch>(); }}),
                         implementationName);

}  // namespace
}  // namespace cvl::platform::contract
