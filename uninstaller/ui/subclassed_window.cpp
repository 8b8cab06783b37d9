#include "uninstaller/ui/subclassed_window.h"

namespace cvl {
namespace {
const char kOwnerProperty[] = "CvlSubclassOwner";
}

SubclassedWindow::~SubclassedWindow() { unsubclass(); }

bool SubclassedWindow::subclass(HWND window) {
  if (window == nullptr || window_ != nullptr || GetPropA(window, kOwnerProperty) != nullptr) return false;
  window_ = window;
  SetPropA(window, kOwnerProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedWindow::dispatch)));
  return true;
}

void SubclassedWindow::unsubclass() {
  if (window_ == nullptr) return;
  if (IsWindow(window_)) {
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropA(window_, kOwnerProperty);
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
  auto* self = static_cast<SubclassedWindow*>(GetPropA(window, kOwnerProperty));
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
