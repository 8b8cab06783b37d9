// The real Windows (Wine in the test runs).
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "tests/support/scratch.h"

namespace cvl::test {
namespace {

struct Win32Scratch : Scratch {
  explicit Win32Scratch(const std::string& tag) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string id = std::to_string(GetCurrentProcessId());
    dir = std::string(temp) + tag + id;
    key = "Software\\" + tag + id;
  }
  platform::Platform& platform() override { return win32; }
  // Windows before Vista has no symbolic links; Wine reports success but
  // makes nothing a program sees as a link.
  bool makeLink(const std::string& link, const std::string& target) override {
    using CreateLink = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    const auto create = reinterpret_cast<CreateLink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    if (create == nullptr || !create(link.c_str(), target.c_str(), kUnprivileged)) return false;
    const DWORD attributes = GetFileAttributesA(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  void plantLink(platform::RegRoot root, const std::string& at, const std::string& target) override {
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    HKEY link = nullptr;
    ASSERT_EQ(RegCreateKeyExA(roots[static_cast<int>(root)], at.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                              KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr),
              ERROR_SUCCESS);
    const std::wstring native(target.begin(), target.end());  // the path's bytes as UTF-16, no terminator
    EXPECT_EQ(RegSetValueExA(link, "SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(native.data()),
                             static_cast<DWORD>(native.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(link);
  }
  void setVariable(const std::string& name, const char* value) override {
    SetEnvironmentVariableA(name.c_str(), value);
  }
  platform::Win32Platform win32;
};

}  // namespace

ScratchKind win32Scratch(const std::string& tag) {
  return {"Win32", [tag] { return std::make_unique<Win32Scratch>(tag); }};
}

}  // namespace cvl::test
