// A program planted where a search would find it before the system's own
// tool: when it runs, it leaves a mark beside itself.
#include <windows.h>

#include <string>

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string mark = path;
  mark = mark.substr(0, mark.rfind('\\')) + "\\planted-program-ran.txt";
  HANDLE file = CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return 0;
}
