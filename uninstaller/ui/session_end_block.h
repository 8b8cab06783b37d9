#pragma once
// Asks the system not to end the session while the object lives, with a
// reason the shut-down screen shows. Systems without shut-down reasons
// (before the NT 6 family) only get the refusal the owner's window answers
// to WM_QUERYENDSESSION.
#include <windows.h>

namespace cvl {

class SessionEndBlock {
 public:
  SessionEndBlock(HWND window, const wchar_t* reason);
  SessionEndBlock(const SessionEndBlock&) = delete;
  SessionEndBlock& operator=(const SessionEndBlock&) = delete;
  ~SessionEndBlock();

 private:
  HWND window_;
  bool created_ = false;
};

}  // namespace cvl
