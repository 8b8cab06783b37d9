#pragma once
// The binary form shared by the configuration store and the install log: a
// flat little-endian stream with length-prefixed strings and short counts,
// read or written front to back through a 4096-byte buffer.
#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "uninstaller/store/archive_error.h"

namespace cvl {

class Archive {
 public:
  enum class Direction { Loading, Storing };
  static constexpr uint32_t kBufferSize = 4096;

  // The file stays open and owned by the caller. A loading archive takes
  // the file's size now, so counts can be checked against what is left.
  Archive(platform::File& file, Direction direction);
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  bool isLoading() const { return direction_ == Direction::Loading; }
  bool isStoring() const { return direction_ == Direction::Storing; }

  // Offset in the file of the next byte read or written.
  uint64_t position() const { return bufferOffset_ + (isLoading() ? begin_ : end_); }
  // Bytes between the position and the end of the file (loading only).
  uint64_t remaining() const { return fileSize_ > position() ? fileSize_ - position() : 0; }

  uint8_t readByte(const char* item = "a byte");
  uint16_t readU16(const char* item = "a 16-bit value");
  uint32_t readU32(const char* item = "a 32-bit value");
  int32_t readI32(const char* item = "a 32-bit value") { return static_cast<int32_t>(readU32(item)); }
  // Any non-zero value is set.
  bool readFlag(const char* item = "a flag") { return readU32(item) != 0; }
  void readBytes(void* out, uint64_t size, const char* item = "raw bytes");
  std::string readString();
  uint32_t readShortCount(const char* item = "a short count");

  // Raises the end-of-file error unless `count` items of at least
  // `bytesEach` bytes each still fit in the file. Loaders call this before
  // allocating for a count read from the file, so memory stays bounded by
  // the file's size. countName says what the count counts ("a group count").
  void requireRoom(uint64_t count, uint64_t bytesEach, const char* countName) const;

  void writeByte(uint8_t value);
  void writeU16(uint16_t value);
  void writeU32(uint32_t value);
  void writeI32(int32_t value) { writeU32(static_cast<uint32_t>(value)); }
  void writeFlag(bool value) { writeU32(value ? 1 : 0); }
  void writeBytes(const void* data, uint64_t size);
  void writeString(const std::string& text);
  void writeShortCount(uint32_t count);

  // Storing: hands the buffered bytes to the file. A storing archive must be
  // closed; its destructor does not write, since it could not report failure.
  void close();

 private:
  struct LengthPrefix {
    uint32_t length = 0;
    bool wide = false;
  };
  LengthPrefix readLengthPrefix(bool wideAllowed);
  std::string readWideCharacters(uint32_t count);
  void writeLengthPrefix(uint32_t length);

  // Makes at least `size` unread bytes available in the buffer (size <= kBufferSize).
  void ensureBuffered(uint32_t size, const char* item);
  uint32_t readFromFile(uint8_t* out, uint32_t size);
  void flushBuffer();

  platform::File& file_;
  Direction direction_;
  uint64_t fileSize_ = 0;
  uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  uint32_t begin_ = 0;         // next unread byte (loading)
  uint32_t end_ = 0;           // end of valid bytes (loading) or of pending bytes (storing)
  uint8_t buffer_[kBufferSize];
};

}  // namespace cvl
