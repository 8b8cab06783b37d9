#include "platform/win32/ntdll_procedure.h"

#include <string>

#include "platform/win32/windows_family.h"

namespace cvl::platform {
namespace {

HMODULE systemNtdll() {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (!runsOnNtFamily() || length == 0 || length >= MAX_PATH) return nullptr;
  // A 32-bit process on 64-bit Windows may have it listed under another
  // folder; asking for the loaded module by name never loads anything.
  const HMODULE listed = GetModuleHandleA((std::string(system) + "\\ntdll.dll").c_str());
  return listed ? listed : GetModuleHandleA("ntdll.dll");
}

}  // namespace

FARPROC ntdllProcedure(const char* name) {
  static const HMODULE ntdll = systemNtdll();
  return ntdll ? GetProcAddress(ntdll, name) : nullptr;
}

}  // namespace cvl::platform
