#pragma once
// A File over bytes in memory: archives are built and inspected in memory
// before anything touches the disk, and tools and fuzzers read from memory.
#include <cstdint>
#include <vector>

#include "platform/file_system.h"

namespace cvl {

class ByteFile : public platform::File {
 public:
  ByteFile() = default;
  explicit ByteFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  ByteFile(const uint8_t* data, size_t size) : bytes_(data, data + size) {}

  platform::Status read(void* buffer, uint32_t size, uint32_t& done) override;
  // Writes at the current position, growing the bytes as needed.
  platform::Status write(const void* buffer, uint32_t size) override;
  platform::Status flush() override { return platform::kSuccess; }
  uint64_t size() const override { return bytes_.size(); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> takeBytes() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace cvl
