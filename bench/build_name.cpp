#include "build_name.h"

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace cvl::bench {

#ifdef _WIN32
namespace {

// Wine's ntdll names its version; Windows' does not.
std::string wineVersion() {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  HMODULE ntdll = GetModuleHandleA((std::string(system) + "\\ntdll.dll").c_str());
  if (!ntdll) return {};
  using VersionFunction = const char*(__cdecl*)();
  auto version = reinterpret_cast<VersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
  return version ? version() : std::string();
}

}  // namespace

void printBuild() {
  const std::string wine = wineVersion();
  std::printf("build: %s, on %s\n", sizeof(void*) == 8 ? "win64 (64-bit)" : "win32 (32-bit)",
              wine.empty() ? "Windows" : ("Wine " + wine).c_str());
}
#else
void printBuild() { std::printf("build: native, on the in-memory machine\n"); }
#endif

}  // namespace cvl::bench
