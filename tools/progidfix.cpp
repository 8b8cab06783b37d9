// Rewrites the ProgIDs of three of the suite's COM classes, on machines where
// the first class is registered as an in-process server.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  static const char kProcessServer[] =
      "SOFTWARE\\Classes\\CLSID\\{7D81BF18-0794-11D2-9054-00C04F8EF9A2}\\InProcServer32";
  static const struct {
    const char* key;
    const char* progId;
  } kProgIds[] = {
      {"SOFTWARE\\Classes\\CLSID\\{7D81BF18-0794-11D2-9054-00C04F8EF9A2}\\ProgID", "Corvel.Process"},
      {"SOFTWARE\\Classes\\CLSID\\{FB36EB66-016F-11D2-9053-00C04F8EF9A2}\\ProgID", "Corvel.Scenario"},
      {"SOFTWARE\\Classes\\CLSID\\{FB36EB67-016F-11D2-9053-00C04F8EF9A2}\\ProgID", "Corvel.Report"},
  };

  HKEY server = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProcessServer, 0, KEY_READ, &server) != ERROR_SUCCESS) {
    return 0;
  }
  for (const auto& entry : kProgIds) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, entry.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
      continue;
    }
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.progId),
                   static_cast<DWORD>(std::strlen(entry.progId) + 1));
    RegCloseKey(key);
  }
  RegCloseKey(server);
  return 0;
}
