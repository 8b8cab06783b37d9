#include "uninstaller/ui/memory_dc.h"

namespace cvl {

CMemoryDC::CMemoryDC(HDC target) : target_(target) {
  GetClipBox(target, &clip_);
  if (GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) return;
  int width = clip_.right - clip_.left, height = clip_.bottom - clip_.top;
  surface_ = CreateCompatibleDC(target);
  bitmap_ = surface_ ? CreateCompatibleBitmap(target, width, height) : nullptr;
  if (bitmap_ == nullptr) {
    // Out of memory for the copy: drawing directly flickers but still shows.
    if (surface_) DeleteDC(surface_);
    surface_ = nullptr;
    return;
  }
  previousBitmap_ = SelectObject(surface_, bitmap_);
  SetWindowOrgEx(surface_, clip_.left, clip_.top, nullptr);
  offScreen_ = true;
}

CMemoryDC::~CMemoryDC() {
  if (!offScreen_) return;
  BitBlt(target_, clip_.left, clip_.top, clip_.right - clip_.left, clip_.bottom - clip_.top, surface_,
         clip_.left, clip_.top, SRCCOPY);
  SelectObject(surface_, previousBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(surface_);
}

}  // namespace cvl
