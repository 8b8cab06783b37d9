#pragma once
#include <string>

namespace cvl::settings {

// path\child, without doubling a backslash the path already ends in and
// without a leading one when the path is empty.
std::string joinPath(const std::string& path, const std::string& child);

}  // namespace cvl::settings
