#include "uninstaller/ui/gradient_bands.h"

#include <algorithm>
#include <cstdlib>

namespace cvl {
namespace {

uint8_t channelAt(int index, float increment, uint8_t start) {
  return static_cast<uint8_t>(static_cast<int>(static_cast<float>(index) * increment + start) & 0xFF);
}

}  // namespace

int filledWidth(GradientBar& bar, int width) {
  if (bar.position > bar.maximum) bar.position = bar.maximum;
  if (bar.maximum <= bar.minimum || bar.maximum == 0) return width;
  float ratio = static_cast<float>(bar.position) / static_cast<float>(bar.maximum);
  return static_cast<int>(ratio * static_cast<float>(width));
}

GradientBands gradientBands(GradientBar& bar, int width) {
  GradientBands result;
  if (bar.position <= bar.minimum) {
    result.backgroundOnly = true;
    return result;
  }
  int filled = filledWidth(bar, width);

  const Rgb& from = bar.startColour;
  const Rgb& to = bar.endColour;
  int dRed = to.red - from.red, dGreen = to.green - from.green, dBlue = to.blue - from.blue;
  int steps = std::max({std::abs(dRed), std::abs(dGreen), std::abs(dBlue)});
  if (steps <= 0) return result;

  float band = static_cast<float>(width) / static_cast<float>(steps);
  float incRed = static_cast<float>(dRed) / steps;
  float incGreen = static_cast<float>(dGreen) / steps;
  float incBlue = static_cast<float>(dBlue) / steps;
  for (int i = 0;; ++i) {
    GradientBand next;
    next.left = static_cast<int>(static_cast<float>(i) * band);
    // The last band ends at the edge even where float rounding falls short.
    next.right = i + 1 >= steps ? width : static_cast<int>(static_cast<float>(i + 1) * band);
    next.colour = {channelAt(i, incRed, from.red), channelAt(i, incGreen, from.green),
                   channelAt(i, incBlue, from.blue)};
    result.bands.push_back(next);
    if (filled < next.right) {
      result.backgroundFrom = next.right;
      return result;
    }
    if (i + 1 >= steps) return result;
  }
}

}  // namespace cvl
