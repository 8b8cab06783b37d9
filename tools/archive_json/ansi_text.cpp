#include "tools/archive_json/ansi_text.h"

#include <cstdint>

#include "platform/windows1252.h"

namespace cvl {
namespace {

constexpr const char16_t* kHighControls = platform::kWindows1252High;

char32_t characterOf(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) return kHighControls[byte - 0x80];
  return byte;
}

bool byteOf(char32_t c, char& out) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return out = static_cast<char>(c), true;
  for (int i = 0; i < 32; ++i) {
    const char32_t mapped = kHighControls[i] != 0 ? kHighControls[i] : static_cast<char32_t>(0x80 + i);
    if (mapped == c) return out = static_cast<char>(0x80 + i), true;
  }
  return false;
}

void appendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one character at text[i], advancing i; false on malformed input.
bool nextCharacter(const std::string& text, size_t& i, char32_t& c) {
  const auto lead = static_cast<uint8_t>(text[i++]);
  int more = 0;
  if (lead < 0x80) {
    c = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    c = lead & 0x1F, more = 1;
  } else if ((lead & 0xF0) == 0xE0) {
    c = lead & 0x0F, more = 2;
  } else if ((lead & 0xF8) == 0xF0) {
    c = lead & 0x07, more = 3;
  } else {
    return false;
  }
  for (; more > 0; --more) {
    if (i >= text.size() || (static_cast<uint8_t>(text[i]) & 0xC0) != 0x80) return false;
    c = (c << 6) | (static_cast<uint8_t>(text[i++]) & 0x3F);
  }
  return true;
}

}  // namespace

std::string ansiToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char byte : ansi) appendUtf8(characterOf(static_cast<uint8_t>(byte)), out);
  return out;
}

bool utf8ToAnsi(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  ansi.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    char byte = 0;
    if (!nextCharacter(utf8, i, c) || !byteOf(c, byte)) return false;
    ansi += byte;
  }
  return true;
}

}  // namespace cvl
