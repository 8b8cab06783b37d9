#pragma once
// File-name patterns as FindFirstFileA matches them: '*' and '?', without
// regard to case, and "*.*" for every name, with or without a dot.
#include <string>

namespace cvl::platform {

bool matchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace cvl::platform
