#include "uninstaller/engine/record/printable_line.h"

namespace cvl {

std::string printableLine(const std::string& line) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(line.size());
  for (const char c : line) {
    if (c == '\0' || c == '\r' || c == '\n') {
      const auto byte = static_cast<unsigned char>(c);
      shown += std::string("<0x") + kHex[byte >> 4] + kHex[byte & 0xF] + ">";
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace cvl
