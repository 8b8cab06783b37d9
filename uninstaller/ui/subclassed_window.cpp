#include "uninstaller/ui/subclassed_window.h"

namespace cvl {
namespace {

// The owner lives in the window's user data, which belongs to whoever
// created the control. A window property would cost two trips to the
// window server per message under Wine, and filling a large tree sends
// thousands of messages.
SubclassedWindow* ownerOf(HWND window) {
  return reinterpret_cast<SubclassedWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

SubclassedWindow::~SubclassedWindow() { unsubclass(); }

bool SubclassedWindow::subclass(HWND window) {
  if (window == nullptr || window_ != nullptr || ownerOf(window) != nullptr) return false;
  window_ = window;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedWindow::dispatch)));
  return true;
}

void SubclassedWindow::unsubclass() {
  if (window_ == nullptr) return;
  if (IsWindow(window_)) {
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  }
  window_ = nullptr;
  original_ = nullptr;
}

LRESULT SubclassedWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return callOriginal(message, wParam, lParam);
}

LRESULT SubclassedWindow::callOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(original_, window_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SubclassedWindow* self = ownerOf(window);
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window goes away before its object: give it back its procedure.
    WNDPROC original = self->original_;
    self->unsubclass();
    return CallWindowProcA(original, window, message, wParam, lParam);
  }
  return self->onMessage(message, wParam, lParam);
}

}  // namespace cvl
