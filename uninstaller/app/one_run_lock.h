#pragma once
// One uninstaller run at a time on a machine: two runs side by side would
// release the same shared-library counts twice. The lock is a named mutex,
// owned while the run lasts; the system frees it when the process ends,
// however it ends.
#include "platform/win32/handles.h"

namespace cvl {

class OneRunLock {
 public:
  enum class Result { Taken, HeldElsewhere };

  OneRunLock() = default;
  OneRunLock(const OneRunLock&) = delete;
  OneRunLock& operator=(const OneRunLock&) = delete;
  ~OneRunLock();

  // Takes the machine-wide lock, or the session's own where the system
  // rejects the machine-wide name. A lock that cannot be made or opened
  // counts as held elsewhere: running beside another run is never safe.
  [[nodiscard]] Result take();

 private:
  platform::UniqueKernelHandle mutex_;
  bool owned_ = false;
};

// The box a second run shows outside silent runs.
inline constexpr const char* kAnotherRunText =
    "Another removal of the Corvel System is in progress.\nWait until it has finished, then start the "
    "Uninstaller again if anything is left.";

}  // namespace cvl
