#pragma once
// A file search also matches a long name through its 8.3 short name:
// "*.GID" finds "notes.gidx" as "NOTES~1.GID". Every name a search returns
// is matched again, on its long name alone, before anything is done to it.
#include <string>

namespace cvl {

// '*' any run of characters, '?' any one; letters without regard to case.
bool longNameMatches(const std::string& pattern, const std::string& name);

}  // namespace cvl
