// The libraries the Wine tests put on the machine, one source built twice;
// each .def file exports one library's calls. As cvlselfreg.dll it is a
// self-registering server whose registration is a key of its own, as a COM
// server's class entries are; unregistering also notes the path of the copy
// that ran, so a test can tell same-named copies apart. As vbai60.dll it
// stands in for the VBA runtime's installer: each call appends a line to
// "calls.txt" beside the library, and Init refuses packages whose path holds
// "KEEP", so the caller must then skip UnInstall.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kOwnKey = "Software\\CvlEngineTest\\SelfRegServer";
constexpr const char* kUnregisteredKey = "Software\\CvlEngineTest\\Unregistered";

HMODULE self = nullptr;

std::string ownPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, sizeof path);
  return path;
}

void record(const std::string& line) {
  const std::string path = ownPath();
  if (FILE* out = std::fopen((path.substr(0, path.rfind('\\') + 1) + "calls.txt").c_str(), "ab")) {
    std::fprintf(out, "%s\n", line.c_str());
    std::fclose(out);
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
  const char text[] = "registered";
  return SHSetValueA(HKEY_CURRENT_USER, kOwnKey, nullptr, REG_SZ, text, sizeof text) == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  SHSetValueA(HKEY_CURRENT_USER, kUnregisteredKey, ownPath().c_str(), REG_SZ, "", 1);
  return RegDeleteKeyA(HKEY_CURRENT_USER, kOwnKey) == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" int __stdcall Init(const char* packagePath, int mode, int flags) {
  const std::string path = packagePath ? packagePath : "(null)";
  record("Init " + path + " " + std::to_string(mode) + " " + std::to_string(flags));
  return path.find("KEEP") == std::string::npos ? 0 : 1;
}

extern "C" int __stdcall UnInstall() {
  record("UnInstall");
  return 0;
}
