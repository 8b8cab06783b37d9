#pragma once
// Native calls the Win32 API does not offer, found in ntdll: it is always
// loaded on the NT family and is only looked up among the loaded modules,
// never loaded, so no search path is involved. The 95 family has none.
#include <windows.h>

namespace cvl::platform {

FARPROC ntdllProcedure(const char* name);

// The procedure as the function type it is called through.
template <typename Function>
Function ntdllFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(ntdllProcedure(name)));
}

}  // namespace cvl::platform
