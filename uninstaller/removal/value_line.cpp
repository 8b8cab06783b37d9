#include "uninstaller/removal/value_line.h"

#include "platform/platform.h"

namespace cvl {

std::optional<std::string> valueNameOfLine(const std::string& line) {
  const auto equals = line.find('=');
  if (equals == std::string::npos || equals == 0) return std::nullopt;
  std::string name = line.substr(0, equals);
  if (platform::equalsNoCase(name, "----Comment----")) return std::nullopt;
  if (platform::equalsNoCase(name, "(Default)")) return std::string();
  return name;
}

}  // namespace cvl
