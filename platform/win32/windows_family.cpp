#include "platform/win32/windows_family.h"

#include <windows.h>

namespace cvl::platform {

bool runsOnNtFamily() {
  // GetVersion sets the top bit on the 95 family only; it never fails.
  static const bool nt = (GetVersion() & 0x80000000u) == 0;
  return nt;
}

}  // namespace cvl::platform
