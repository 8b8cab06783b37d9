// A self-registering server for the Wine tests: registering creates a key of
// its own, unregistering removes it again, as a real COM server does with
// its class entries. Unregistering also leaves the path of the copy that
// ran, so a test can tell same-named copies apart.
#include <windows.h>

namespace {

constexpr const char* kOwnKey = "Software\\CvlEngineTest\\SelfRegServer";
constexpr const char* kUnregisteredKey = "Software\\CvlEngineTest\\Unregistered";

HINSTANCE ownModule = nullptr;

void noteUnregistered() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(ownModule, path, sizeof path);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kUnregisteredKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
      ERROR_SUCCESS) {
    RegSetValueExA(key, path, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ownModule = instance;
  return TRUE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kOwnKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return E_FAIL;
  }
  const char text[] = "registered";
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  RegCloseKey(key);
  return S_OK;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  noteUnregistered();
  return RegDeleteKeyA(HKEY_CURRENT_USER, kOwnKey) == ERROR_SUCCESS ? S_OK : E_FAIL;
}
