#pragma once
// Reading fields of installer records into the fixed buffers the fix-up uses.
#include "customaction/installer_services.h"

namespace cvl::customaction {

inline constexpr unsigned kTextBufferSize = 256;
inline constexpr int kAbsentColumn = -1;

// False when the field cannot be read or does not fit the buffer: a cut-off
// condition or name must not be acted upon.
bool readText(InstallerServices& services, MsiHandle record, int field,
              char (&buffer)[kTextBufferSize]);

// The 1-based position of the column named exactly `column` in a record of
// column names, or kAbsentColumn.
int columnPosition(InstallerServices& services, MsiHandle names, const char* column);

}  // namespace cvl::customaction
