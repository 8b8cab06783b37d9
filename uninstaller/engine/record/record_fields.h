#pragma once
// One line of the removal record as fields: tab-separated, with the
// characters that would break a line or a field escaped as %XX.
#include <optional>
#include <string>
#include <vector>

namespace cvl {

std::string joinRecordFields(const std::vector<std::string>& fields);
// nullopt when an escape is malformed.
std::optional<std::vector<std::string>> splitRecordFields(const std::string& line);

}  // namespace cvl
