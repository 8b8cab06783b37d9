#include "uninstaller/ui/transparent_bitmap.h"

namespace cvl {
namespace {

// White pixels must show the dialog's own background, whatever the theme.
void eraseWithParentBrushOf(HWND control, HDC dc) {
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  if (brush == nullptr) brush = GetSysColorBrush(COLOR_BTNFACE);
  RECT client;
  GetClientRect(control, &client);
  FillRect(dc, &client, brush);
}

}  // namespace

bool CTransparentBitmap::attach(int controlId, HWND parent) {
  if (controlId == 0 || parent == nullptr) return false;
  HWND control = GetDlgItem(parent, controlId);
  if (!subclass(control)) return false;
  bitmap_ = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  attached_ = true;
  return true;
}

void CTransparentBitmap::paint(HDC dc) {
  if (bitmap_ == nullptr) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(source, bitmap_);
  BITMAP info{};
  GetObjectA(bitmap_, sizeof info, &info);
  BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCAND);
  SelectObject(source, previous);
  DeleteDC(source);
}

LRESULT CTransparentBitmap::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(handle(), &ps);
      eraseWithParentBrushOf(handle(), dc);
      paint(dc);
      EndPaint(handle(), &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      return callOriginal(message, wParam, lParam);
  }
}

}  // namespace cvl
