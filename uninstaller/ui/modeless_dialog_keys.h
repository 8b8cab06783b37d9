#pragma once
// A modeless dialog gets Tab, Return and Escape only from a message loop
// that hands its messages to the dialog manager; another dialog's modal loop
// does not. While an object of this class lives, the thread's modal loops
// (through their message filter) pass the dialog's messages to the manager.
#include <windows.h>

namespace cvl {

class ModelessDialogKeys {
 public:
  explicit ModelessDialogKeys(HWND dialog);
  ModelessDialogKeys(const ModelessDialogKeys&) = delete;
  ModelessDialogKeys& operator=(const ModelessDialogKeys&) = delete;
  ~ModelessDialogKeys();

 private:
  static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam);
  HWND dialog_;
  HHOOK hook_;
};

}  // namespace cvl
