#pragma once
// A picture control that draws its black-on-white bitmap with white as the
// see-through colour: the bitmap is combined with what lies below by AND.
#include <windows.h>

#include "uninstaller/ui/subclassed_window.h"

namespace cvl {

class CTransparentBitmap : public SubclassedWindow {
 public:
  // Takes over picture control controlId of parent and records the bitmap
  // it shows. False for id 0, a missing parent or a control that cannot be
  // taken over.
  bool attach(int controlId, HWND parent);
  bool attached() const { return attached_; }
  HBITMAP bitmap() const { return bitmap_; }

  void paint(HDC dc);

 protected:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HBITMAP bitmap_ = nullptr;  // owned by the control
  bool attached_ = false;
};

}  // namespace cvl
