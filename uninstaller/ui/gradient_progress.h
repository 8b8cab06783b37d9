#pragma once
// The progress bar of the removal: a native progress control whose painting
// is a blue gradient drawn off-screen, so stepping it never flickers.
#include <windows.h>

#include "uninstaller/ui/gradient_bands.h"
#include "uninstaller/ui/subclassed_window.h"

namespace cvl {

class CGradientProgress : public SubclassedWindow {
 public:
  CGradientProgress();

  bool attach(HWND control);
  void setRange(int minimum, int maximum);
  void stepIt();

  const GradientBar& state() const { return bar_; }
  void setPosition(int position) { bar_.position = position; }
  void setShowPercentage(bool show) { showPercentage_ = show; }

  // Draws the bar on dc over a client area of the given size.
  void paint(HDC dc, int width, int height);

 protected:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paintPercentage(HDC dc, const RECT& client);

  GradientBar bar_;
  COLORREF background_;
  COLORREF textColour_ = RGB(255, 255, 255);
  bool showPercentage_ = false;
};

}  // namespace cvl
