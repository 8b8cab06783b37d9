#pragma once
// Small helpers for byte-exact expectations: archives written to memory and
// read back from literal bytes.
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "uninstaller/store/archive.h"
#include "uninstaller/store/byte_file.h"

namespace cvl::test {

using Bytes = std::vector<uint8_t>;

// "03 61 62 63" -> {3, 'a', 'b', 'c'}
inline Bytes hex(const std::string& text) {
  Bytes out;
  std::istringstream in(text);
  for (unsigned byte; in >> std::hex >> byte;) out.push_back(static_cast<uint8_t>(byte));
  return out;
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

inline Bytes text(const std::string& characters) { return Bytes(characters.begin(), characters.end()); }

inline Bytes u32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}

// A short string with its one-byte prefix.
inline Bytes str(const std::string& characters) {
  return cat({Bytes{static_cast<uint8_t>(characters.size())}, text(characters)});
}

inline Bytes store(const std::function<void(Archive&)>& write) {
  ByteFile file;
  Archive archive(file, Archive::Direction::Storing);
  write(archive);
  archive.close();
  return file.takeBytes();
}

template <class F>
auto load(const Bytes& bytes, F read) {
  ByteFile file(bytes);
  Archive archive(file, Archive::Direction::Loading);
  return read(archive);
}

// An object's serialized bytes, and the object read back from bytes.
template <class T>
Bytes stored(T& object) {
  return store([&](Archive& a) { object.serialize(a); });
}
template <class T>
void loadInto(T& object, const Bytes& bytes) {
  load(bytes, [&](Archive& a) { object.serialize(a); });
}
template <class T>
T loaded(const Bytes& bytes) {
  T object;
  loadInto(object, bytes);
  return object;
}

inline std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace cvl::test
