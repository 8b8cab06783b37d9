// The synthetic installation made for real, under Wine.
#include "engine_synthetic.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace cvl::bench {
namespace {

bool makeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, "corvel", 6, &written, nullptr);
  CloseHandle(file);
  return true;
}

bool makeKey(const std::string& path) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const DWORD number = 1;
  RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\Corvel"), 10);
  RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  return true;
}

bool countShared(const std::string& path) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SyntheticInstallation::kSharedDlls, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const DWORD count = 1;
  const bool set = RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count) ==
                   ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

}  // namespace

bool SyntheticInstallation::create() const {
  CreateDirectoryA(kRoot, nullptr);
  CreateDirectoryA(kTarget, nullptr);
  CreateDirectoryA(std::string(kUninstallDir).c_str(), nullptr);
  for (int c = 0; c < shape.components; ++c) {
    CreateDirectoryA(componentDir(c).c_str(), nullptr);
    for (int d = 0; d < shape.dirsPerComponent; ++d) {
      const std::string dir = componentDir(c) + "\\" + dirName(d);
      if (!CreateDirectoryA(dir.c_str(), nullptr)) return false;
      for (int f = 0; f < shape.filesPerDir; ++f) {
        if (!makeFile(dir + "\\" + fileName(f))) return false;
      }
    }
    for (int k = 0; k < shape.keysPerComponent; ++k) {
      if (!makeKey(keyOf(c, k))) return false;
    }
  }
  if (shape.sharedPerComponent > 0) {
    for (int c = 0; c < shape.components; ++c) CreateDirectoryA(sharedDir(c).c_str(), nullptr);
  }
  for (const std::string& file : sharedFiles()) {
    if (!makeFile(file) || !countShared(file)) return false;
  }
  return makeFile(std::string(kUninstallDir) + kStoreFileName);
}

void SyntheticInstallation::removeLeftovers() const {
  const std::string list = std::string(kRoot) + '\0';
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  SHFileOperationA(&operation);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kKeyRoot);
  for (const std::string& file : sharedFiles()) SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, file.c_str());
}

}  // namespace cvl::bench
