#pragma once
// A value line as the install log records it: name=data.
#include <optional>
#include <string>

namespace cvl {

// The value a line names: the text before the first "=", with "(Default)"
// giving the empty name of the default value. None for a line without "=",
// one starting with "=", and "----Comment----" lines.
std::optional<std::string> valueNameOfLine(const std::string& line);

}  // namespace cvl
