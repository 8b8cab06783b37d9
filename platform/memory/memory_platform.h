#pragma once
// The in-memory Windows as one Platform. Its parts are reachable with their
// full test-facing types.
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_system.h"
#include "platform/platform.h"

namespace cvl::platform {

class MemoryPlatform : public Platform {
 public:
  MemoryPlatform() : system_(files_) {}
  MemoryRegistry& registry() override { return registry_; }
  MemoryFileSystem& files() override { return files_; }
  MemorySystem& system() override { return system_; }

 private:
  MemoryRegistry registry_;
  MemoryFileSystem files_;
  MemorySystem system_;
};

}  // namespace cvl::platform
