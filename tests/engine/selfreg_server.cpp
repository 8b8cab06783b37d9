// A self-registering server for the Wine tests: registering creates a key of
// its own, unregistering removes it again, as a real COM server does with
// its class entries.
#include <windows.h>

namespace {

constexpr const char* kOwnKey = "Software\\CvlEngineTest\\SelfRegServer";

}  // namespace

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
  return RegDeleteKeyA(HKEY_CURRENT_USER, kOwnKey) == ERROR_SUCCESS ? S_OK : E_FAIL;
}
