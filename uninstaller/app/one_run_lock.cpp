#include "uninstaller/app/one_run_lock.h"

namespace cvl {
namespace {

constexpr const char* kMachineWideName = "Global\\CorvelSystemUninstaller";
constexpr const char* kSessionName = "CorvelSystemUninstaller";

// Systems before terminal services know no namespaces: the backslash makes
// the name invalid there. Access denied means the name is fine and taken.
bool nameRejected(DWORD error) {
  return error == ERROR_INVALID_NAME || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_PATHNAME;
}

// A mutex made by another account may refuse full access; waiting on it
// needs only SYNCHRONIZE.
HANDLE createOrOpen(const char* name, DWORD& error) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
  error = mutex ? ERROR_SUCCESS : GetLastError();
  if (!mutex && error == ERROR_ACCESS_DENIED) {
    mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
    error = mutex ? ERROR_SUCCESS : GetLastError();
  }
  return mutex;
}

}  // namespace

OneRunLock::~OneRunLock() {
  if (owned_) static_cast<void>(ReleaseMutex(mutex_.get()));  // the handle's close frees it as well
}

OneRunLock::Result OneRunLock::take() {
  DWORD error = ERROR_SUCCESS;
  mutex_.reset(createOrOpen(kMachineWideName, error));
  if (!mutex_ && nameRejected(error)) mutex_.reset(createOrOpen(kSessionName, error));
  if (!mutex_) return Result::HeldElsewhere;
  // Abandoned: the last owner was ended mid-run. Its removal record, not
  // the lock, tells this run what is left.
  const DWORD waited = WaitForSingleObject(mutex_.get(), 0);
  owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  return owned_ ? Result::Taken : Result::HeldElsewhere;
}

}  // namespace cvl
