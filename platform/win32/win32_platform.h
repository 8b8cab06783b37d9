#pragma once
// The real Windows as one Platform.
#include "platform/platform.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"

namespace cvl::platform {

class Win32Platform : public Platform {
 public:
  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  System& system() override { return system_; }

 private:
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32System system_;
};

}  // namespace cvl::platform
