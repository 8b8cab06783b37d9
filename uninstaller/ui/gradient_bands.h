#pragma once
// What the gradient progress bar paints, worked out without any window:
// the bar state, the colour bands and where the background begins.
#include <cstdint>
#include <vector>

namespace cvl {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

struct GradientBar {
  int32_t minimum = 0;
  int32_t maximum = 100;
  int32_t step = 1;
  int32_t position = 0;
  Rgb startColour{0, 0, 94};
  Rgb endColour{0, 0, 180};
};

struct GradientBand {
  int left = 0;   // x from, inclusive
  int right = 0;  // x to, exclusive
  Rgb colour;
};

struct GradientBands {
  bool backgroundOnly = false;     // nothing done yet: the whole bar is background
  std::vector<GradientBand> bands;  // painted left to right, each from y 0 to height + 1
  int backgroundFrom = -1;          // x where the background fill to the right edge starts; -1 for none
};

// Width in pixels the bar shows as done. Clamps the stored position to the
// maximum. A bar whose maximum is not above its minimum, or is zero, has no
// usable ratio: it counts as done once the position passes the minimum.
int filledWidth(GradientBar& bar, int width);

// The bands for a client area width wide. Clamps bar.position like painting does.
GradientBands gradientBands(GradientBar& bar, int width);

}  // namespace cvl
