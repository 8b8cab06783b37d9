#pragma once
// Owners of installer handles: every handle the fix-up obtains is released
// on every path, and a view that ran is closed before it is released.
#include "customaction/installer_services.h"

namespace cvl::customaction {

class InstallerHandle {
 public:
  explicit InstallerHandle(InstallerServices& services, MsiHandle handle = 0)
      : services_(services), handle_(handle) {}
  InstallerHandle(const InstallerHandle&) = delete;
  InstallerHandle& operator=(const InstallerHandle&) = delete;
  ~InstallerHandle() { reset(); }

  MsiHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }

  // For installer calls that hand out a new handle; drops the old one first.
  MsiHandle& receive() {
    reset();
    return handle_;
  }

  void reset() {
    if (handle_ != 0) services_.closeHandle(handle_);
    handle_ = 0;
  }

 private:
  InstallerServices& services_;
  MsiHandle handle_;
};

// A view on one query: opened, executed, then closed and released.
class InstallerView {
 public:
  InstallerView(InstallerServices& services, MsiHandle database, const char* query)
      : services_(services), handle_(services) {
    openStatus_ = services_.openView(database, query, handle_.receive());
  }
  InstallerView(const InstallerView&) = delete;
  InstallerView& operator=(const InstallerView&) = delete;
  ~InstallerView() {
    if (executed_) services_.closeView(handle_.get());
  }

  // True when the view opened and its query ran.
  bool execute() {
    if (openStatus_ != kMsiSuccess || !handle_) return false;
    executed_ = services_.executeView(handle_.get()) == kMsiSuccess;
    return executed_;
  }

  MsiHandle get() const { return handle_.get(); }

 private:
  InstallerServices& services_;
  InstallerHandle handle_;
  MsiStatus openStatus_ = kMsiFunctionFailed;
  bool executed_ = false;
};

}  // namespace cvl::customaction
