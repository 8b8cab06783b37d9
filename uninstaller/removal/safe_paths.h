#pragma once
// Tests that keep a delete or a program start where the install log meant
// it: the log is data from the past and may be damaged or hostile.
#include <string>
#include <vector>

namespace cvl {

// "X:\..." or "\\server\share\...": a path that does not depend on the
// current drive or directory. Either slash counts, as Windows reads both.
// The device prefixes "\\?\" and "\\.\" are refused.
bool isAbsolutePath(const std::string& path);

// A name to be appended to a folder that cannot lead out of it: no ".."
// segment (nor one of only dots and blanks, which Windows trims to ".."),
// no drive or stream colon, and no leading slash.
bool staysInsideFolder(const std::string& name);

// Whether two absolute paths name the same file, however the case, the
// slashes, "." segments or the trailing dots and blanks Windows drops differ.
bool isSamePath(const std::string& a, const std::string& b);

// The parts of a path as Windows resolves them, upper case: either slash
// separates, "." parts vanish, ".." takes the part before it, trailing
// dots and blanks are dropped.
std::vector<std::string> resolvedSegments(const std::string& path);

// The last part of a path as Windows resolves it, upper case: either slash
// separates, "." parts vanish, trailing dots and blanks are dropped.
std::string resolvedFileName(const std::string& path);

// Whether a logged name can name a file of its own: not empty, not "." and
// not a device (CON, NUL, AUX, PRN, COM1-COM9, LPT1-LPT9, any extension).
bool namesAFile(const std::string& name);

}  // namespace cvl
