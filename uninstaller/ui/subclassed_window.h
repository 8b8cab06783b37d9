#pragma once
// Takes over an existing window's procedure so a C++ object can answer its
// messages; everything the object does not handle goes to the original.
#include <windows.h>

namespace cvl {

class SubclassedWindow {
 public:
  SubclassedWindow() = default;
  SubclassedWindow(const SubclassedWindow&) = delete;
  SubclassedWindow& operator=(const SubclassedWindow&) = delete;
  virtual ~SubclassedWindow();

  // False when the window is missing or already taken over by another object.
  bool subclass(HWND window);
  void unsubclass();
  HWND handle() const { return window_; }

 protected:
  virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT callOriginal(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  WNDPROC original_ = nullptr;
};

}  // namespace cvl
