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

std::string numbered(std::string prefix, const char* separator, int number) {
  prefix.append(separator);
  prefix.append(std::to_string(number));
  return prefix;
}

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

void SyntheticInstallation::describe(CConfigStore& store, CUninstallLog& log) const {
  store.setPath(std::string(kUninstallDir) + kStoreFileName);
  CSectionSet& components = store.enterSet(kComponentSetName);
  CSection& top = components.addSection("TopComponents");
  store.enterSet(kDataSetName).addSection("Data");
  store.enterSet(kCoreFileSetName).addSection("Win32");
  for (int c = 0; c < shape.components; ++c) {
    const std::string name = componentName(c);
    top.assign(numbered("T", c), name);
    CSection& section = components.addSection(name);
    for (const char* flag : {"UNINSTALLABLE", "INCLUDEINBUILD", "SELECTED", "VISIBLE"}) section.assign(flag, "Yes");
    section.assign("TARGET", numbered("<TARGETDIR>", "\\C", c));
    section.assign("FILEGROUP1", name + "_FILES");

    auto group = std::make_unique<CFilegroup>();
    group->setName(name + "_FILES");
    CDir* dir = nullptr;
    for (int d = 0; d < shape.dirsPerComponent; ++d) {
      dir = dir ? &dir->makeNextSibling() : &group->makeRootDir();
      dir->setOwnName(dirName(d));
      for (int f = 0; f < shape.filesPerDir; ++f) dir->files().push_back(fileName(f));
      dir->setFileCount(shape.filesPerDir);
    }
    for (int k = 0; k < shape.keysPerComponent; ++k) {
      group->registry().keys().assign("HKLM\\" + keyOf(c, k), {"Path=C:\\Corvel", "Count=1"});
    }
    log.addGroup(std::move(group));
    if (shape.sharedPerComponent > 0) describeShared(c, section, log);
  }
}

void SyntheticInstallation::describeShared(int c, CSection& section, CUninstallLog& log) const {
  const std::string groupName = componentName(c) + "_SHARED";
  section.assign("FILEGROUP2", groupName);
  auto group = std::make_unique<CFilegroup>();
  group->setName(groupName);
  group->setShared(true);
  CDir& dir = group->makeRootDir();
  dir.setOwnName("Shared");
  for (int f = 0; f < shape.sharedPerComponent; ++f) dir.files().push_back(sharedName(f));
  dir.setFileCount(shape.sharedPerComponent);
  log.addGroup(std::move(group));
}

std::vector<std::string> SyntheticInstallation::sharedFiles() const {
  std::vector<std::string> all;
  for (int c = 0; c < shape.components; ++c) {
    for (int f = 0; f < shape.sharedPerComponent; ++f) all.push_back(sharedDir(c) + "\\" + sharedName(f));
  }
  return all;
}

std::vector<std::string> SyntheticInstallation::files() const {
  std::vector<std::string> all;
  for (int c = 0; c < shape.components; ++c) {
    for (int d = 0; d < shape.dirsPerComponent; ++d) {
      for (int f = 0; f < shape.filesPerDir; ++f) all.push_back(componentDir(c) + "\\" + dirName(d) + "\\" + fileName(f));
    }
  }
  for (const std::string& file : sharedFiles()) all.push_back(file);
  return all;
}

std::vector<std::string> SyntheticInstallation::directories() const {
  std::vector<std::string> all;
  for (int c = 0; c < shape.components; ++c) {
    for (int d = 0; d < shape.dirsPerComponent; ++d) all.push_back(componentDir(c) + "\\" + dirName(d));
    if (shape.sharedPerComponent > 0) all.push_back(sharedDir(c));
    all.push_back(componentDir(c));
  }
  all.push_back(kTarget);
  return all;
}

std::vector<std::string> SyntheticInstallation::keys() const {
  std::vector<std::string> all;
  for (int c = 0; c < shape.components; ++c) {
    for (int k = 0; k < shape.keysPerComponent; ++k) all.push_back(keyOf(c, k));
    all.push_back(componentKey(c));
  }
  all.push_back(kKeyRoot);
  return all;
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
