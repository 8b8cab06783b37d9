#pragma once
// File-name patterns as FindFirstFileA matches them under Wine: '*' and
// '?' without regard to case, trailing '.' and '*' of the pattern optional
// ("abc.*" finds "abc"), and a long name also found through its 8.3 short
// name ("*.GID" finds "help.gidx", whose short name ends in ".GID").
#include <string>

namespace cvl::platform {

bool matchesWildcard(const std::string& pattern, const std::string& name);

// The 8.3 alias of a long name, empty when the name is a legal 8.3 name
// itself. Wine derives the alias with a hash; only the shape is kept here:
// up to six leading characters, "~1" and the first three of the extension.
std::string shortNameOf(const std::string& name);

}  // namespace cvl::platform
