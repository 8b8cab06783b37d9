// The bar's bands as the progress dialog shows them: 191 pixels wide, the
// driver's range 0 .. 4n and one step past the end.
#include "uninstaller/ui/gradient_bands.h"

#include <gtest/gtest.h>

namespace cvl {
namespace {

constexpr int kBarWidth = 191;

GradientBar barAt(int minimum, int maximum, int position) { return {minimum, maximum, 1, position}; }

// Nothing done shows only background; a full bar, one a step past the end
// (clamped, and the clamp stored) and the final step of an empty range (an
// empty catalogue, never dividing by zero) show all 86 bands to the edge.
TEST(GradientBands, NothingDoneIsBackgroundAndEveryFullBarHasAll86Bands) {
  struct Case {
    GradientBar bar;
    bool backgroundOnly;
    size_t bands;
    int storedPosition;
  };
  const Case cases[] = {{barAt(0, 40, 0), true, 0, 0},   {barAt(0, 0, 0), true, 0, 0},
                        {barAt(0, 40, 40), false, 86, 40}, {barAt(0, 40, 41), false, 86, 40},
                        {barAt(0, 0, 1), false, 86, 0}};
  for (Case c : cases) {
    SCOPED_TRACE(testing::Message() << c.bar.minimum << " .. " << c.bar.maximum << " at " << c.bar.position);
    GradientBands plan = gradientBands(c.bar, kBarWidth);
    EXPECT_EQ(plan.backgroundOnly, c.backgroundOnly);
    EXPECT_EQ(plan.bands.size(), c.bands);
    EXPECT_EQ(c.bar.position, c.storedPosition);
    EXPECT_EQ(plan.backgroundFrom, -1);
  }
  GradientBar inverted = barAt(10, 5, 11);
  EXPECT_EQ(filledWidth(inverted, kBarWidth), kBarWidth);
}

// Full, or a step past the end, at any width.
TEST(GradientBands, AFullBarRunsWithoutGapsFromDarkToBrightBlueToTheEdge) {
  for (int width = 50; width <= 600; ++width) {
    for (GradientBar bar : {barAt(0, 40, 40), barAt(0, 4, 5)}) {
      SCOPED_TRACE(testing::Message() << "width " << width << ", 0 .. " << bar.maximum << " at " << bar.position);
      const GradientBands plan = gradientBands(bar, width);
      ASSERT_EQ(plan.bands.size(), 86u);
      EXPECT_EQ(plan.bands.front().left, 0);
      EXPECT_EQ(plan.bands.front().colour, (Rgb{0, 0, 94}));
      EXPECT_EQ(plan.bands.back().colour, (Rgb{0, 0, 179}));
      ASSERT_EQ(plan.bands.back().right, width);
      for (size_t i = 1; i < plan.bands.size(); ++i) {
        ASSERT_EQ(plan.bands[i].left, plan.bands[i - 1].right) << "gap before band " << i;
        ASSERT_GT(plan.bands[i].colour.blue, plan.bands[i - 1].colour.blue);
      }
    }
  }
}

TEST(GradientBands, HalfwayPaintsUpToTheBandHoldingTheFilledEdge) {
  GradientBar bar = barAt(0, 40, 20);
  GradientBands plan = gradientBands(bar, kBarWidth);
  // 0.5 x 191 = 95.5: the band containing pixel 95 is the last one drawn.
  const GradientBand& last = plan.bands.back();
  EXPECT_LE(last.left, 95);
  EXPECT_GT(last.right, 95);
  EXPECT_EQ(plan.backgroundFrom, last.right);
  EXPECT_LT(plan.bands.size(), 50u);
}

TEST(GradientBands, EqualColoursDrawNoBand) {
  GradientBar bar = barAt(0, 10, 5);
  bar.endColour = bar.startColour;
  GradientBands plan = gradientBands(bar, kBarWidth);
  EXPECT_FALSE(plan.backgroundOnly);
  EXPECT_TRUE(plan.bands.empty());
}

TEST(GradientBands, ChannelsFallingTowardTheEndColourCountDown) {
  GradientBar bar = barAt(0, 10, 10);
  bar.startColour = {200, 0, 0};
  bar.endColour = {100, 50, 0};
  GradientBands plan = gradientBands(bar, 100);
  ASSERT_EQ(plan.bands.size(), 100u);
  EXPECT_EQ(plan.bands[0].colour, (Rgb{200, 0, 0}));
  EXPECT_EQ(plan.bands[50].colour, (Rgb{150, 25, 0}));
  EXPECT_EQ(plan.bands[99].colour.red, 101);
}

}  // namespace
}  // namespace cvl
