#pragma once
// Process-level services: child processes, the environment, identities,
// well-known directories, the shell and loadable libraries.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/status.h"

namespace cvl::platform {

// Shell special folders, numbered as CSIDL_*.
namespace csidl {
inline constexpr int kPrograms = 2;
inline constexpr int kPersonal = 5;
inline constexpr int kAppData = 26;
inline constexpr int kCommonPrograms = 23;
}  // namespace csidl

// A library loaded by path; unloaded when the object dies.
class Library {
 public:
  virtual ~Library() = default;
  // GetProcAddress; null when the export is missing.
  virtual void* symbol(const std::string& name) const = 0;
};
using LibraryPtr = std::unique_ptr<Library>;

enum class WaitResult { Finished, TimedOut, NotStarted };

class System {
 public:
  virtual ~System() = default;

  // Starts the program file application, given by its full path so that no
  // folder is searched, with commandLine, hidden and without inherited
  // handles, and waits at most timeoutMs for it to end. exitCode, when
  // given, gets the child's exit status once it Finished.
  [[nodiscard]] virtual WaitResult runHidden(const std::string& application, const std::string& commandLine,
                                             uint32_t timeoutMs, uint32_t* exitCode = nullptr) = 0;

  virtual std::optional<std::string> environment(const std::string& name) = 0;
  // ExpandEnvironmentStringsA: "%NAME%" replaced by the variable's value;
  // unknown names stay as they are.
  virtual std::string expandEnvironment(const std::string& text) = 0;
  // GetUserNameA / GetComputerNameA; empty when they fail.
  virtual std::string userName() = 0;
  virtual std::string computerName() = 0;
  virtual std::string windowsDirectory() = 0;
  // GetSystemDirectoryA: where the system's own programs live.
  virtual std::string systemDirectory() = 0;
  // Full path of the running program's own file.
  virtual std::string modulePath() = 0;

  // SHGetSpecialFolderLocation + SHGetPathFromIDListA; nullopt when the
  // shell does not know the folder.
  virtual std::optional<std::string> specialFolder(int csidl) = 0;
  // SHFileOperationA(FO_DELETE, FOF_SILENT | FOF_NOCONFIRMATION |
  // FOF_NOERRORUI) with the window ownerWindow (0 for none) as owner: true
  // on success. Never shows a window, so an unattended run cannot block.
  [[nodiscard]] virtual bool shellDelete(const std::string& path, std::uintptr_t ownerWindow) = 0;

  virtual LibraryPtr loadLibrary(const std::string& path) = 0;

  virtual void sleep(uint32_t milliseconds) = 0;
};

}  // namespace cvl::platform
