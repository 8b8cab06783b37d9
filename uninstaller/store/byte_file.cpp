#include "uninstaller/store/byte_file.h"

#include <algorithm>
#include <cstring>

namespace cvl {

platform::Status ByteFile::read(void* buffer, uint32_t size, uint32_t& done) {
  const size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  done = static_cast<uint32_t>(std::min<size_t>(size, available));
  if (done > 0) std::memcpy(buffer, bytes_.data() + position_, done);
  position_ += done;
  return platform::kSuccess;
}

platform::Status ByteFile::write(const void* buffer, uint32_t size) {
  if (size == 0) return platform::kSuccess;
  if (position_ + size > bytes_.size()) bytes_.resize(position_ + size);
  std::memcpy(bytes_.data() + position_, buffer, size);
  position_ += size;
  return platform::kSuccess;
}

}  // namespace cvl
