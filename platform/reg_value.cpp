#include <cstring>

#include "platform/registry.h"

namespace cvl::platform {

RegValue RegValue::string(const std::string& text, RegType type) {
  RegValue v;
  v.type = type;
  v.data.assign(text.begin(), text.end());
  v.data.push_back(0);
  return v;
}

RegValue RegValue::dword(uint32_t value) {
  RegValue v;
  v.type = RegType::Dword;
  v.data = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
  return v;
}

RegValue RegValue::binary(std::vector<uint8_t> bytes) {
  RegValue v;
  v.type = RegType::Binary;
  v.data = std::move(bytes);
  return v;
}

std::string RegValue::asString() const {
  const auto* begin = reinterpret_cast<const char*>(data.data());
  return std::string(begin, strnlen(begin, data.size()));
}

uint32_t RegValue::asDword() const {
  if (data.size() < 4) return 0;
  return data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
}

}  // namespace cvl::platform
