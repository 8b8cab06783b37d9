// Marks the suite's extension project as loaded in the current user's
// settings. Users whose settings know no extension projects are left alone.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HKEY projects = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Corvel\\Pathcrafter\\8.2\\Extension Projects",
                    0, KEY_ALL_ACCESS, &projects) != ERROR_SUCCESS) {
    return 0;
  }
  HKEY project = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(projects, "{4CCC1C5B-2A84-11D3-A002-0060971BDFB1}", 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &project,
                      &disposition) != ERROR_SUCCESS) {
    RegCloseKey(projects);
    return 0;
  }
  static const char kLoaded[] = "1";
  RegSetValueExA(project, "Loaded", 0, REG_SZ, reinterpret_cast<const BYTE*>(kLoaded),
                 sizeof kLoaded);
  RegCloseKey(project);
  RegCloseKey(projects);
  return 0;
}
