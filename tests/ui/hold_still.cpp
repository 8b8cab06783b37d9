// hold_still MARKER MILLISECONDS: creates the file MARKER, then waits. A
// RunOnce command that keeps a removal busy long enough to be disturbed.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE marker = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  Sleep(static_cast<DWORD>(std::atoi(argv[2])));
  return 0;
}
