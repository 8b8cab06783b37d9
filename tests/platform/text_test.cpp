#include <gtest/gtest.h>

#include "platform/platform.h"

using namespace cvl::platform;

TEST(Text, FoldsAsciiCaseOnlyAndKeepsLatin1FromWideText) {
  EXPECT_EQ(upper("Program Files\\cvl\xe4"), "PROGRAM FILES\\CVL\xe4");
  EXPECT_TRUE(equalsNoCase("default.CDF", "DEFAULT.cdf"));
  EXPECT_FALSE(equalsNoCase("default.cdf", "default.cd"));
  EXPECT_EQ(wideToAnsi(u"abc"), "abc");
  EXPECT_EQ(wideToAnsi(u"caf\u00e9 \u20ac"), "caf\xe9 \x80");
  EXPECT_EQ(wideToAnsi(u"\u4e2d"), "?");
}
