#pragma once
// An open Win32 file handle.
#include "platform/file_system.h"
#include "platform/win32/handles.h"

namespace cvl::platform {

class Win32File : public File {
 public:
  explicit Win32File(UniqueFile handle) : handle_(std::move(handle)) {}

  Status read(void* buffer, uint32_t size, uint32_t& done) override;
  Status write(const void* buffer, uint32_t size) override;
  Status flush() override;
  uint64_t size() const override;

 private:
  UniqueFile handle_;
};

}  // namespace cvl::platform
