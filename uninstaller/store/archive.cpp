#include "uninstaller/store/archive.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/platform.h"

namespace cvl {
namespace {

constexpr uint8_t kLongLength = 0xFF;
constexpr uint16_t kWideMarker = 0xFFFE;
constexpr uint16_t kEscape32 = 0xFFFF;
constexpr const char* kStringLength = "a string length";

}  // namespace

Archive::Archive(platform::File& file, Direction direction) : file_(file), direction_(direction) {
  if (isLoading()) fileSize_ = file.size();
}

// ---- loading ---------------------------------------------------------------

uint32_t Archive::readFromFile(uint8_t* out, uint32_t size) {
  uint32_t done = 0;
  const platform::Status status = file_.read(out, size, done);
  if (status != platform::kSuccess) throw ArchiveFileError(status, "read the file");
  return done;
}

void Archive::ensureBuffered(uint32_t size, const char* item) {
  if (end_ - begin_ >= size) return;
  const uint64_t start = position();
  std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
  bufferOffset_ += begin_;
  end_ -= begin_;
  begin_ = 0;
  while (end_ < size) {
    const uint32_t got = readFromFile(buffer_ + end_, kBufferSize - end_);
    if (got == 0) throw ArchiveEndOfFile(start, item);
    end_ += got;
  }
}

uint8_t Archive::readByte(const char* item) {
  ensureBuffered(1, item);
  return buffer_[begin_++];
}

uint16_t Archive::readU16(const char* item) {
  ensureBuffered(2, item);
  const uint8_t* p = buffer_ + begin_;
  begin_ += 2;
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Archive::readU32(const char* item) {
  ensureBuffered(4, item);
  const uint8_t* p = buffer_ + begin_;
  begin_ += 4;
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

void Archive::readBytes(void* out, uint64_t size, const char* item) {
  const uint64_t start = position();
  auto* target = static_cast<uint8_t*>(out);
  const uint32_t buffered = static_cast<uint32_t>(std::min<uint64_t>(size, end_ - begin_));
  std::memcpy(target, buffer_ + begin_, buffered);
  begin_ += buffered;
  target += buffered;
  size -= buffered;
  // Large blocks go straight from the file to their place; small remainders
  // refill the buffer so the following values are read from memory.
  while (size >= kBufferSize) {
    const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(size, 1u << 30));
    const uint32_t got = readFromFile(target, chunk);
    if (got == 0) throw ArchiveEndOfFile(start, item);
    bufferOffset_ += got;
    target += got;
    size -= got;
  }
  if (size > 0) {
    try {
      ensureBuffered(static_cast<uint32_t>(size), item);
    } catch (const ArchiveEndOfFile&) {
      throw ArchiveEndOfFile(start, item);
    }
    std::memcpy(target, buffer_ + begin_, size);
    begin_ += static_cast<uint32_t>(size);
  }
}

void Archive::requireRoom(uint64_t count, uint64_t bytesEach, const char* countName) const {
  if (count > 0 && bytesEach > 0 && count > remaining() / bytesEach) {
    throw ArchiveEndOfFile(position(), std::string(countName) + " of " + std::to_string(count));
  }
}

Archive::LengthPrefix Archive::readLengthPrefix(bool wideAllowed) {
  const uint8_t first = readByte(kStringLength);
  if (first != kLongLength) return {first, false};
  const uint16_t word = readU16(kStringLength);
  // Inside a wide string's own prefix the marker has no meaning left and
  // counts as the plain length it spells.
  if (word == kWideMarker && wideAllowed) return {0, true};
  if (word == kEscape32) return {readU32(kStringLength), false};
  return {word, false};
}

std::string Archive::readWideCharacters(uint32_t count) {
  if (count == 0) return {};
  if (uint64_t{count} * 2 > remaining()) throw ArchiveEndOfFile(position(), "a wide string");
  std::u16string wide(count, u'\0');
  readBytes(wide.data(), uint64_t{count} * 2, "a wide string");
  if constexpr (std::endian::native == std::endian::big) {
    for (char16_t& c : wide) c = static_cast<char16_t>((c >> 8) | (c << 8));
  }
  return platform::wideToAnsi(wide);
}

std::string Archive::readString() {
  const LengthPrefix prefix = readLengthPrefix(true);
  if (prefix.wide) return readWideCharacters(readLengthPrefix(false).length);
  if (prefix.length == 0) return {};
  if (prefix.length > remaining()) throw ArchiveEndOfFile(position(), "a string");
  // Most strings lie wholly in the buffer: copy them out in one step.
  if (end_ - begin_ >= prefix.length) {
    std::string text(reinterpret_cast<const char*>(buffer_ + begin_), prefix.length);
    begin_ += prefix.length;
    return text;
  }
  std::string text(prefix.length, '\0');
  readBytes(text.data(), prefix.length, "a string");
  return text;
}

uint32_t Archive::readShortCount(const char* item) {
  const uint16_t word = readU16(item);
  return word == kEscape32 ? readU32(item) : word;
}

// ---- storing ---------------------------------------------------------------

void Archive::flushBuffer() {
  if (end_ == 0) return;
  const platform::Status status = file_.write(buffer_, end_);
  if (status != platform::kSuccess) throw ArchiveFileError(status, "write the file");
  bufferOffset_ += end_;
  end_ = 0;
}

void Archive::writeBytes(const void* data, uint64_t size) {
  const auto* source = static_cast<const uint8_t*>(data);
  if (size > kBufferSize - end_) {
    flushBuffer();
    while (size >= kBufferSize) {
      const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(size, 1u << 30));
      const platform::Status status = file_.write(source, chunk);
      if (status != platform::kSuccess) throw ArchiveFileError(status, "write the file");
      bufferOffset_ += chunk;
      source += chunk;
      size -= chunk;
    }
  }
  if (size == 0) return;
  std::memcpy(buffer_ + end_, source, size);
  end_ += static_cast<uint32_t>(size);
}

void Archive::writeByte(uint8_t value) { writeBytes(&value, 1); }

void Archive::writeU16(uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  writeBytes(bytes, 2);
}

void Archive::writeU32(uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  writeBytes(bytes, 4);
}

void Archive::writeLengthPrefix(uint32_t length) {
  if (length < kLongLength) {
    writeByte(static_cast<uint8_t>(length));
    return;
  }
  writeByte(kLongLength);
  if (length < kWideMarker) {
    writeU16(static_cast<uint16_t>(length));
    return;
  }
  writeU16(kEscape32);
  writeU32(length);
}

void Archive::writeString(const std::string& text) {
  writeLengthPrefix(static_cast<uint32_t>(text.size()));
  writeBytes(text.data(), text.size());
}

void Archive::writeShortCount(uint32_t count) {
  if (count < kEscape32) {
    writeU16(static_cast<uint16_t>(count));
    return;
  }
  writeU16(kEscape32);
  writeU32(count);
}

void Archive::close() {
  if (isStoring()) flushBuffer();
}

}  // namespace cvl
