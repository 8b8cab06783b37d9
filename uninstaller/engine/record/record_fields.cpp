#include "uninstaller/engine/record/record_fields.h"

#include <cstdio>

namespace cvl {
namespace {

bool needsEscape(char c) { return c == '%' || c == '\t' || c == '\r' || c == '\n'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    const int high = hexValue(field[i + 1]), low = hexValue(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

}  // namespace

std::string joinRecordFields(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    for (char c : fields[i]) {
      if (!needsEscape(c)) {
        line += c;
        continue;
      }
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      line += escaped;
    }
  }
  return line;
}

std::optional<std::vector<std::string>> splitRecordFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    const auto field = unescape(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (!field) return std::nullopt;
    fields.push_back(*field);
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace cvl
