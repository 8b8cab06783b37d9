#pragma once
// Win32 process, identity, shell and library services through the ANSI functions.
#include "platform/system.h"

namespace cvl::platform {

class Win32System : public System {
 public:
  WaitResult runHidden(const std::string& application, const std::string& commandLine, uint32_t timeoutMs,
                       uint32_t* exitCode = nullptr) override;
  std::optional<std::string> environment(const std::string& name) override;
  std::string expandEnvironment(const std::string& text) override;
  std::string userName() override;
  std::string computerName() override;
  std::string windowsDirectory() override;
  std::string systemDirectory() override;
  std::string modulePath() override;
  std::optional<std::string> specialFolder(int csidl) override;
  bool shellDelete(const std::string& path, std::uintptr_t ownerWindow) override;
  LibraryPtr loadLibrary(const std::string& path) override;
  void sleep(uint32_t milliseconds) override;
};

}  // namespace cvl::platform
