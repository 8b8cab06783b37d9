#pragma once
// Reference counts of shared libraries, one value per file under the
// system's "SharedDLLs" key, named by the file's full path.
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace cvl {

// The count after one release: 0 means the file may go. Writes the lowered
// count back (or removes the value at 0) only when commit is set. -1 when
// there is no usable count to release: no key, no value, a value that is
// not 4 bytes, or a stored count of 0 or less; nothing is written then.
int32_t releaseSharedDll(platform::Platform& platform, const std::string& fullPath, bool commit);

// Removes the file's count from the machine's list and the user's twin.
void deleteSharedCount(platform::Platform& platform, const std::string& fullPath);

}  // namespace cvl
