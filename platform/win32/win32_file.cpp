#include "platform/win32/win32_file.h"

namespace cvl::platform {

Status Win32File::read(void* buffer, uint32_t size, uint32_t& done) {
  DWORD count = 0;
  BOOL ok = ReadFile(handle_.get(), buffer, size, &count, nullptr);
  done = count;
  return ok ? kSuccess : static_cast<Status>(GetLastError());
}

Status Win32File::write(const void* buffer, uint32_t size) {
  DWORD count = 0;
  if (!WriteFile(handle_.get(), buffer, size, &count, nullptr)) return static_cast<Status>(GetLastError());
  return count == size ? kSuccess : static_cast<Status>(ERROR_HANDLE_DISK_FULL);
}

Status Win32File::flush() {
  return FlushFileBuffers(handle_.get()) ? kSuccess : static_cast<Status>(GetLastError());
}

uint64_t Win32File::size() const {
  DWORD high = 0;
  DWORD low = GetFileSize(handle_.get(), &high);
  return (static_cast<uint64_t>(high) << 32) | low;
}

}  // namespace cvl::platform
