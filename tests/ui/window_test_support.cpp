#include "window_test_support.h"

#include <commctrl.h>

namespace cvl::test {
namespace {

// What draw puts into a picture the size of window's client area.
Picture readClient(HWND window, HDC source, const std::function<void(HDC, const RECT&)>& draw) {
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right, height = client.bottom;
  Picture picture{width, height, {}};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  draw(memory, client);
  GdiFlush();
  auto* data = static_cast<uint32_t*>(bits);
  picture.pixels.assign(data, data + static_cast<size_t>(width) * height);
  for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return picture;
}

}  // namespace

HostWindow::HostWindow(int width, int height) {
  static const ATOM hostClass = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc{0, &HostWindow::proc, 0, 0, GetModuleHandleA(nullptr), nullptr, LoadCursor(nullptr, IDC_ARROW),
                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, "CvlTestHost"};
    return RegisterClassA(&wc);
  }();
  window_ = CreateWindowExA(0, MAKEINTATOM(hostClass), "test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width,
                            height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetForegroundWindow(window_);
  pumpFor(50);
}

HostWindow::~HostWindow() { DestroyWindow(window_); }

LRESULT CALLBACK HostWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && message == WM_NOTIFY) {
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (header.code == static_cast<UINT>(TVN_SELCHANGEDA)) ++self->selectionChanges;
    LRESULT result = 0;
    if (self->onNotify && self->onNotify(header, result)) return result;
  }
  if (self && message == WM_COMMAND) self->lastCommand = LOWORD(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

void pumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

void clickAt(HWND window, POINT clientPoint) {
  POINT screen = clientPoint;
  ClientToScreen(window, &screen);
  SetForegroundWindow(GetAncestor(window, GA_ROOT));
  SetCursorPos(screen.x, screen.y);
  pumpFor(50);
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
  pumpFor(200);
}

void clickAt(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  clickAt(window, {client.right / 2, client.bottom / 2});
}

void typeKey(WORD virtualKey) {
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
  pumpFor(150);
}

void pressKey(HWND window, WORD virtualKey) {
  SetForegroundWindow(GetAncestor(window, GA_ROOT));
  SetFocus(window);
  pumpFor(30);
  typeKey(virtualKey);
}

std::string textOf(HWND window) {
  char text[2048] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

Picture printClient(HWND window, uint32_t underlay) {
  HDC screen = GetDC(nullptr);
  Picture picture = readClient(window, screen, [&](HDC dc, const RECT& client) {
    HBRUSH brush = CreateSolidBrush(RGB(underlay >> 16, (underlay >> 8) & 0xFF, underlay & 0xFF));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
  ReleaseDC(nullptr, screen);
  return picture;
}

Picture grabFromScreen(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  pumpFor(50);
  HDC source = GetDC(window);
  Picture picture = readClient(window, source, [&](HDC dc, const RECT& client) {
    BitBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
  });
  ReleaseDC(window, source);
  return picture;
}

}  // namespace cvl::test
