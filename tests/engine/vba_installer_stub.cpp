// Stands in for the VBA runtime's installer library in the Wine tests. Each
// call appends one line to "calls.txt" beside the library, so a test can
// check which calls arrived and in which order. Init refuses packages whose
// path contains "KEEP", so the caller must then skip UnInstall.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HMODULE self = nullptr;

std::string callLogPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\') + 1) + "calls.txt";
}

void record(const std::string& line) {
  if (FILE* out = std::fopen(callLogPath().c_str(), "ab")) {
    std::fprintf(out, "%s\n", line.c_str());
    std::fclose(out);
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
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
