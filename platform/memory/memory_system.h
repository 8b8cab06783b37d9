#pragma once
// Process services of the in-memory Windows. Identities, directories and
// the environment are plain settings; child processes, libraries and waits
// are recorded instead of happening, and a test may script what a command
// does through a hook. Shell deletes act on the in-memory file system.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.h"
#include "platform/system.h"

namespace cvl::platform {

class MemorySystem : public System {
 public:
  struct Run {
    std::string application;
    std::string commandLine;
    std::string currentDirectory;  // at the time of the start
    uint32_t timeoutMs = 0;
  };
  using RunHook = std::function<WaitResult(const std::string& commandLine)>;
  using Symbols = std::map<std::string, void*>;

  explicit MemorySystem(MemoryFileSystem& files) : files_(files) {}

  WaitResult runHidden(const std::string& application, const std::string& commandLine, uint32_t timeoutMs,
                       uint32_t* exitCode = nullptr) override;
  std::optional<std::string> environment(const std::string& name) override;
  std::string expandEnvironment(const std::string& text) override;
  std::string userName() override { return userName_; }
  std::string computerName() override { return computerName_; }
  std::string windowsDirectory() override { return windowsDirectory_; }
  std::string systemDirectory() override { return windowsDirectory_ + "\\SYSTEM32"; }
  std::string modulePath() override { return modulePath_; }
  std::optional<std::string> specialFolder(int csidl) override;
  bool shellDelete(const std::string& path, std::uintptr_t ownerWindow) override;
  LibraryPtr loadLibrary(const std::string& path) override;
  void sleep(uint32_t milliseconds) override { sleptMs_ += milliseconds; }

  // Test-facing API.
  void setEnvironment(const std::string& name, const std::string& value);
  void unsetEnvironment(const std::string& name);
  void setUserName(std::string name) { userName_ = std::move(name); }
  void setComputerName(std::string name) { computerName_ = std::move(name); }
  void setWindowsDirectory(std::string path) { windowsDirectory_ = std::move(path); }
  void setModulePath(std::string path) { modulePath_ = std::move(path); }
  void setSpecialFolder(int csidl, std::string path) { specialFolders_[csidl] = std::move(path); }
  // Runs after recording each start; without one every command finishes at once.
  void onRun(RunHook hook) { runHook_ = std::move(hook); }
  const std::vector<Run>& runs() const { return runs_; }
  const std::vector<std::string>& shellDeletes() const { return shellDeletes_; }
  std::uintptr_t lastShellDeleteOwner() const { return lastShellDeleteOwner_; }
  // A library loadLibrary finds by that path (compared without case).
  void addLibrary(const std::string& path, Symbols symbols);
  const std::vector<std::string>& libraryLoads() const { return libraryLoads_; }
  int loadedLibraries() const { return *loaded_; }
  uint64_t sleptMs() const { return sleptMs_; }

 private:
  bool deleteTree(const std::string& path);

  MemoryFileSystem& files_;
  std::map<std::string, std::string> environment_;  // by upper-cased name
  std::string userName_ = "Tester";
  std::string computerName_ = "CVLTEST";
  std::string windowsDirectory_ = "C:\\WINDOWS";
  std::string modulePath_ = "C:\\Program Files\\Corvel\\Cvlunst2.exe";
  std::map<int, std::string> specialFolders_;
  RunHook runHook_;
  std::vector<Run> runs_;
  std::vector<std::string> shellDeletes_;
  std::uintptr_t lastShellDeleteOwner_ = 0;
  std::map<std::string, Symbols> libraries_;  // by upper-cased path
  std::vector<std::string> libraryLoads_;
  std::shared_ptr<int> loaded_ = std::make_shared<int>(0);
  uint64_t sleptMs_ = 0;
};

}  // namespace cvl::platform
