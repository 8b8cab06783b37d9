#include "platform/win32/ntdll_procedure.h"

#include <string>

#include "platform/win32/windows_family.h"

namespace cvl::platform {
namespace {

HMODULE systemNtdll() {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (!runsOnNtFamily() || length == 0 || length >= MAX_PATH) return nullptr;
  return GetModuleHandleA((std::string(system) + "\\ntdll.dll").c_str());
}

}  // namespace

FARPROC ntdllProcedure(const char* name) {
  static const HMODULE ntdll = systemNtdll();
  return ntdll ? GetProcAddress(ntdll, name) : nullptr;
}

}  // namespace cvl::platform
