#include "uninstaller/ui/gradient_progress.h"

#include <commctrl.h>

#include <cstdio>

#include "uninstaller/ui/memory_dc.h"

namespace cvl {
namespace {

void fillRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  RECT area{left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

}  // namespace

CGradientProgress::CGradientProgress() : background_(GetSysColor(COLOR_BTNFACE)) {}

bool CGradientProgress::attach(HWND control) {
  if (!subclass(control)) return false;
  // The native control steps by 10 unless told otherwise.
  SendMessageA(control, PBM_SETSTEP, static_cast<WPARAM>(bar_.step), 0);
  return true;
}

void CGradientProgress::setRange(int minimum, int maximum) {
  bar_.minimum = minimum;
  bar_.maximum = maximum;
  bar_.position = minimum;
  if (handle()) SendMessageA(handle(), PBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
}

void CGradientProgress::stepIt() {
  bar_.position += bar_.step;
  if (handle()) SendMessageA(handle(), PBM_STEPIT, 0, 0);
}

void CGradientProgress::paint(HDC dc, int width, int height) {
  if (bar_.position <= bar_.minimum) {
    fillRect(dc, 0, 0, width, height, GetSysColor(COLOR_BTNFACE));
    return;
  }
  GradientBands plan = gradientBands(bar_, width);
  CMemoryDC memory(dc);
  HDC surface = memory.dc();
  // Rounding can leave the last pixel column unreached by any band.
  fillRect(surface, 0, 0, width, height, background_);
  for (const GradientBand& band : plan.bands) {
    fillRect(surface, band.left, 0, band.right, height + 1,
             RGB(band.colour.red, band.colour.green, band.colour.blue));
  }
  if (plan.backgroundFrom >= 0) fillRect(surface, plan.backgroundFrom, 0, width, height, background_);
  if (showPercentage_) {
    RECT client{0, 0, width, height};
    paintPercentage(surface, client);
  }
}

void CGradientProgress::paintPercentage(HDC dc, const RECT& client) {
  char text[32];
  double percent = bar_.maximum > 0 ? bar_.position * 100.0 / bar_.maximum : 100.0;
  std::snprintf(text, sizeof text, "%.0f%%", percent);
  SetTextColor(dc, textColour_);
  SetBkMode(dc, TRANSPARENT);
  RECT area = client;
  DrawTextA(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CGradientProgress::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return TRUE;  // painting covers everything; erasing first would flicker
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(handle(), &ps);
      RECT client;
      GetClientRect(handle(), &client);
      paint(dc, client.right, client.bottom);
      EndPaint(handle(), &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(handle(), &client);
      paint(reinterpret_cast<HDC>(wParam), client.right, client.bottom);
      return 0;
    }
    default:
      return callOriginal(message, wParam, lParam);
  }
}

}  // namespace cvl
