#pragma once
// An off-screen surface over a paint target: drawing goes to a bitmap of
// the target's clip box and reaches the target in one copy when the object
// dies, so a repainted control never shows half-drawn states. A printer
// target is drawn on directly.
#include <windows.h>

namespace cvl {

class CMemoryDC {
 public:
  explicit CMemoryDC(HDC target);
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;
  ~CMemoryDC();

  // The surface to draw on, in the target's coordinates.
  HDC dc() const { return offScreen_ ? surface_ : target_; }
  const RECT& bounds() const { return clip_; }

 private:
  HDC target_;
  HDC surface_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  RECT clip_{};
  bool offScreen_ = false;
};

}  // namespace cvl
