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

  // Starts commandLine hidden (no application name, no inherited handles)
  // and waits at most timeoutMs for it to end. exitCode, when given, gets
  // the child's exit status once it Finished.
  virtual WaitResult runHidden(const std::string& commandLine, uint32_t timeoutMs, uint32_t* exitCode = nullptr) = 0;

  virtual std::optional<std::string> environment(const std::string& name) = 0;
  // GetUserNameA / GetComputerNameA; empty when they fail.
  virtual std::string userName() = 0;
  virtual std::string computerName() = 0;
  virtual std::string windowsDirectory() = 0;
  // Full path of the running program's own file.
  virtual std::string modulePath() = 0;

  // SHGetSpecialFolderLocation + SHGetPathFromIDListA; nullopt when the
  // shell does not know the folder.
  virtual std::optional<std::string> specialFolder(int csidl) = 0;
  // SHFileOperationA(FO_DELETE, FOF_SILENT | FOF_NOCONFIRMATION): true on success.
  virtual bool shellDelete(const std::string& path) = 0;

  virtual LibraryPtr loadLibrary(const std::string& path) = 0;

  virtual void sleep(uint32_t milliseconds) = 0;
};

}  // namespace cvl::platform
