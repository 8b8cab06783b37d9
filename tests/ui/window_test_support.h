#pragma once
// Helpers for in-process window tests under Wine: a host window, real
// mouse and keyboard input, and reading back what a control painted.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cvl::test {

// A visible top-level window that hands its notifications to a test.
class HostWindow {
 public:
  HostWindow(int width, int height);
  ~HostWindow();
  HWND handle() const { return window_; }
  std::function<bool(const NMHDR&, LRESULT&)> onNotify;
  int selectionChanges = 0;
  int lastCommand = 0;

 private:
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

// Dispatches what is waiting, for at least the given time.
void pumpFor(DWORD milliseconds);

// Moves the real cursor to a client point of window (its middle when none
// is given) and clicks the left button. The window may be another process's.
void clickAt(HWND window, POINT clientPoint);
void clickAt(HWND window);
// Types one key into whatever has the keyboard focus.
void typeKey(WORD virtualKey);
// Gives window the keyboard focus and types one key.
void pressKey(HWND window, WORD virtualKey);

std::string textOf(HWND window);

// A 32-bit top-down picture of what a window paints into its client area
// (WM_PRINTCLIENT), 0x00RRGGBB per pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Picture printClient(HWND window, uint32_t underlay = 0);

// The same, read from the screen after the window painted itself.
Picture grabFromScreen(HWND window);

constexpr uint32_t rgb(int r, int g, int b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

}  // namespace cvl::test
