#include "platform/win32/win32_system.h"

#include "platform/win32/handles.h"  // windows.h before the shell headers

#include <shellapi.h>
#include <shlobj.h>

#include "platform/zero_byte.h"

namespace cvl::platform {
namespace {

class Win32Library : public Library {
 public:
  explicit Win32Library(UniqueLibrary module) : module_(std::move(module)) {}
  void* symbol(const std::string& name) const override {
    return reinterpret_cast<void*>(GetProcAddress(module_.get(), name.c_str()));
  }

 private:
  UniqueLibrary module_;
};

// An item id list from the shell, given back through the shell's allocator.
struct IdListTraits {
  using Handle = LPITEMIDLIST;
  static LPITEMIDLIST invalid() { return nullptr; }
  static void close(LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
      allocator->Free(list);
      allocator->Release();
    }
  }
};

// Calls fill(buffer, capacity), which returns the length written, or the
// capacity needed when it is too small, the way the *A getters do.
template <typename Fill>
std::string grownString(Fill fill) {
  std::string buffer(MAX_PATH, '\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return buffer.substr(0, length);
    buffer.assign(buffer.size() * 2, '\0');
  }
  return {};
}

}  // namespace

WaitResult Win32System::runHidden(const std::string& application, const std::string& commandLine,
                                  uint32_t timeoutMs, uint32_t* exitCode) {
  if (holdsZeroByte(application) || holdsZeroByte(commandLine)) return WaitResult::NotStarted;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started = {};
  std::string mutableLine = commandLine;  // CreateProcessA may write into it
  if (!CreateProcessA(application.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &startup, &started))
    return WaitResult::NotStarted;
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  switch (WaitForSingleObject(process.get(), timeoutMs)) {
    case WAIT_OBJECT_0: {
      DWORD status = 0;
      if (exitCode && GetExitCodeProcess(process.get(), &status)) *exitCode = status;
      return WaitResult::Finished;
    }
    case WAIT_TIMEOUT: return WaitResult::TimedOut;
    default: return WaitResult::NotStarted;  // the wait itself failed: nothing is known of the child
  }
}

std::optional<std::string> Win32System::environment(const std::string& name) {
  SetLastError(ERROR_SUCCESS);
  DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (needed == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::string value(needed, '\0');
  value.resize(GetEnvironmentVariableA(name.c_str(), value.data(), needed));
  return value;
}

std::string Win32System::expandEnvironment(const std::string& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::string expanded(needed, '\0');
  const DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed);
  if (written == 0 || written > needed) return text;
  expanded.resize(std::char_traits<char>::length(expanded.c_str()));
  return expanded;
}

std::string Win32System::userName() {
  char buffer[257];
  DWORD size = sizeof buffer;
  return GetUserNameA(buffer, &size) ? std::string(buffer) : std::string();
}

std::string Win32System::computerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof buffer;
  return GetComputerNameA(buffer, &size) ? std::string(buffer, size) : std::string();
}

std::string Win32System::windowsDirectory() {
  return grownString([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

std::string Win32System::systemDirectory() {
  return grownString([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

std::string Win32System::modulePath() {
  return grownString([](char* buffer, DWORD size) {
    DWORD length = GetModuleFileNameA(nullptr, buffer, size);
    return length == size ? size : length;  // a cut name fills the buffer exactly
  });
}

std::optional<std::string> Win32System::specialFolder(int csidl) {
  UniqueHandle<IdListTraits> list;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.receive())) || !list) return std::nullopt;
  char path[MAX_PATH];
  if (!SHGetPathFromIDListA(list.get(), path)) return std::nullopt;
  return std::string(path);
}

bool Win32System::shellDelete(const std::string& path, std::uintptr_t ownerWindow) {
  // A zero inside would end the first name and hand the shell a second one.
  if (holdsZeroByte(path)) return false;
  std::string from = path + '\0';  // the list ends with two zeros; c_str() adds the second
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = reinterpret_cast<HWND>(ownerWindow);
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

LibraryPtr Win32System::loadLibrary(const std::string& path) {
  if (holdsZeroByte(path)) return nullptr;
  UniqueLibrary module(LoadLibraryA(path.c_str()));
  if (!module) return nullptr;
  return std::make_unique<Win32Library>(std::move(module));
}

void Win32System::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace cvl::platform
