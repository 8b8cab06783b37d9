#pragma once
// Tests that keep a delete or a program start where the install log meant
// it: the log is data from the past and may be damaged or hostile.
#include <string>

namespace cvl {

// "X:\..." or "\\server\share\...": a path that does not depend on the
// current drive or directory. Either slash counts, as Windows reads both.
bool isAbsolutePath(const std::string& path);

// A name to be appended to a folder that cannot lead out of it: no ".."
// segment (nor one of only dots and blanks, which Windows trims to ".."),
// no drive or stream colon, and no leading slash.
bool staysInsideFolder(const std::string& name);

// Whether two absolute paths name the same file, however the case, the
// slashes, "." segments or the trailing dots and blanks Windows drops differ.
bool isSamePath(const std::string& a, const std::string& b);

}  // namespace cvl
