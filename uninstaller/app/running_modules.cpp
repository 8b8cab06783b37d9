#include "uninstaller/app/running_modules.h"

#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <vector>

namespace cvl {
namespace {

// A loaded library, freed with the object.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* path) : module_(LoadLibraryA(path)) {}
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  ~LoadedLibrary() {
    if (module_) FreeLibrary(module_);
  }
  explicit operator bool() const { return module_ != nullptr; }
  template <typename Function>
  Function find(const char* name) const {
    return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
  }

 private:
  HMODULE module_;
};

// An open kernel object handle, closed with the object.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using ModuleFileNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
using TaskEnumProc = BOOL(WINAPI*)(DWORD, WORD, WORD, PSZ, PSZ, LPARAM);
using EnumTaskWowExFn = INT(WINAPI*)(DWORD, TaskEnumProc, LPARAM);

constexpr DWORD kSnapshotProcesses = 2;
constexpr DWORD kProcessEntrySize = 296;
constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x410

struct Walk {
  RunningModuleCallback callback;
  void* userData;
  DWORD processId;
  bool stopped = false;
};

bool enumerate95(RunningModuleCallback callback, void* userData) {
  LoadedLibrary kernel("Kernel32.DLL");
  auto snapshot = kernel.find<SnapshotFn>("CreateToolhelp32Snapshot");
  auto first = kernel.find<ProcessWalkFn>("Process32First");
  auto nextEntry = kernel.find<ProcessWalkFn>("Process32Next");
  if (!snapshot || !first || !nextEntry) return false;
  OwnedHandle list(snapshot(kSnapshotProcesses, 0));
  if (!list.valid()) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = kProcessEntrySize;
  for (BOOL more = first(list.get(), &entry); more; more = nextEntry(list.get(), &entry)) {
    if (!callback(entry.th32ProcessID, 0, entry.szExeFile, userData)) break;
    entry.dwSize = kProcessEntrySize;
  }
  return true;
}

bool readProcessIds(EnumProcessesFn enumProcesses, std::vector<DWORD>& ids) {
  DWORD bytes = 1024, returned = 0;
  for (;;) {
    ids.assign(bytes / sizeof(DWORD), 0);
    if (!enumProcesses(ids.data(), bytes, &returned)) return false;
    if (returned != bytes) break;
    bytes *= 2;
  }
  ids.resize(returned / sizeof(DWORD));
  return true;
}

std::string mainModulePath(DWORD processId, EnumProcessModulesFn enumModules, ModuleFileNameFn moduleFileName) {
  OwnedHandle process(OpenProcess(kQueryAndRead, FALSE, processId));
  if (!process.valid()) return {};
  HMODULE module = nullptr;
  DWORD needed = 0;
  if (!enumModules(process.get(), &module, sizeof module, &needed)) return {};
  char name[MAX_PATH + 1] = {};
  DWORD length = moduleFileName(process.get(), module, name, MAX_PATH);
  return std::string(name, length > MAX_PATH ? 0 : length);
}

BOOL WINAPI onTask(DWORD, WORD, WORD task, PSZ, PSZ fileName, LPARAM data) {
  auto* walk = reinterpret_cast<Walk*>(data);
  if (!walk->callback(walk->processId, task, fileName ? fileName : "", walk->userData)) {
    walk->stopped = true;
    return TRUE;  // a true result ends the task enumeration
  }
  return FALSE;
}

bool endsWithNtvdm(const std::string& path) {
  static const char kName[] = "NTVDM.EXE";
  if (path.size() < 9) return false;
  return lstrcmpiA(path.c_str() + path.size() - 9, kName) == 0;
}

// A bare name would be searched for, the program's own folder first.
std::string systemLibrary(const char* name) {
  char folder[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return {};
  return std::string(folder, length) + "\\" + name;
}

bool enumerateNt(RunningModuleCallback callback, void* userData, const std::string& libraryPath) {
  LoadedLibrary status(libraryPath.c_str());
  const std::string vdmPath = systemLibrary("VDMDBG.DLL");
  if (vdmPath.empty()) return false;
  LoadedLibrary vdm(vdmPath.c_str());
  auto enumProcesses = status.find<EnumProcessesFn>("EnumProcesses");
  auto enumModules = status.find<EnumProcessModulesFn>("EnumProcessModules");
  auto moduleFileName = status.find<ModuleFileNameFn>("GetModuleFileNameExA");
  auto enumTasks = vdm.find<EnumTaskWowExFn>("VDMEnumTaskWOWEx");
  if (!enumProcesses || !enumModules || !moduleFileName || !enumTasks) return false;

  std::vector<DWORD> ids;
  if (!readProcessIds(enumProcesses, ids)) return false;
  for (DWORD id : ids) {
    std::string path = mainModulePath(id, enumModules, moduleFileName);
    if (!callback(id, 0, path, userData)) return true;
    if (endsWithNtvdm(path)) {
      Walk walk{callback, userData, id};
      enumTasks(id, &onTask, reinterpret_cast<LPARAM>(&walk));
      if (walk.stopped) return true;
    }
  }
  return true;
}

}  // namespace

bool enumRunningModules(RunningModuleCallback callback, void* userData, const std::string& processLibraryPath) {
  OSVERSIONINFOEXA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) return false;
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return enumerateNt(callback, userData, processLibraryPath);
  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return enumerate95(callback, userData);
  return false;
}

}  // namespace cvl
