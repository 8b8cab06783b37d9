#pragma once
// Stored names are counted strings and may hold a zero byte, but every
// Win32 call reads a name only up to its first zero: the call would reach
// another file or key than the text names. Both platforms refuse such a
// name with kInvalidName before anything is touched.
#include <string>

namespace cvl::platform {

inline bool holdsZeroByte(const std::string& name) { return name.find('\0') != std::string::npos; }

}  // namespace cvl::platform
