// Automatic axis scales: round limits, 0 included when the data lie well to one side of it.
#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>

#include "render/axis_scale.h"

using render::AxisScale;
using render::automaticScale;

namespace {

void expectScale(const AxisScale& scale, double minimum, double maximum, double unit) {
  EXPECT_DOUBLE_EQ(scale.minimum, minimum);
  EXPECT_DOUBLE_EQ(scale.maximum, maximum);
  EXPECT_DOUBLE_EQ(scale.majorUnit, unit);
}

}  // namespace

TEST(AxisScale, RoundLimitsAsASpreadsheetChooses) {
  expectScale(automaticScale(-1, 1), -1.5, 1.5, 0.5);     // sin(x)
  expectScale(automaticScale(0, 10), 0, 12, 2);           // x from 0 to 10
  expectScale(automaticScale(0, 100), 0, 120, 20);        // x*x from 0 to 10
  expectScale(automaticScale(0, 19.99), 0, 25, 5);
  expectScale(automaticScale(-400, -100), -450, 0, 50);  // all below 0, far from it: 0 is the top
}

TEST(AxisScale, ZeroIncludedOnlyWhenTheDataLieWellAwayFromIt) {
  EXPECT_EQ(automaticScale(10, 100).minimum, 0);
  EXPECT_GT(automaticScale(90, 100).minimum, 0);  // within a sixth of the top: the axis starts near the data
  EXPECT_LE(automaticScale(90, 100).minimum, 90);
  EXPECT_EQ(automaticScale(-100, -10).maximum, 0);
  EXPECT_LT(automaticScale(-100, -90).maximum, 0);
  EXPECT_GE(automaticScale(-100, -90).maximum, -90);
  expectScale(automaticScale(5, 5), 0, 6, 1);  // one value
  expectScale(automaticScale(0, 0), 0, 1, 0.2);
}

TEST(AxisScale, TicksAreWholeMultiplesOfTheUnitAndFew) {
  for (auto [low, high] : {std::pair{-1.0, 1.0}, {0.0, 1e-7}, {3.3, 7.9}, {-1e12, 5e11}, {1e15, 1e15 + 1000}, {-1e300, 1e300}}) {
    const AxisScale scale = automaticScale(low, high);
    const auto ticks = scale.ticks();
    ASSERT_GE(ticks.size(), 2u) << low << " " << high;
    EXPECT_LE(ticks.size(), 12u) << low << " " << high;
    EXPECT_LE(scale.minimum, low);
    EXPECT_GE(scale.maximum, high);
    for (double t : ticks) EXPECT_NEAR(std::remainder(t, scale.majorUnit), 0, scale.majorUnit * 1e-6);
  }
}

TEST(AxisScale, LabelsInGeneralFormat) {
  const AxisScale sine = automaticScale(-1, 1);
  QStringList labels;
  for (double t : sine.ticks()) labels << sine.label(t);
  EXPECT_EQ(labels.join(' '), "-1.5 -1 -0.5 0 0.5 1 1.5");
  const AxisScale whole = automaticScale(0, 100);
  EXPECT_EQ(whole.label(40), "40");
  EXPECT_EQ(automaticScale(0, 0.3).label(0.1), "0.1");  // 0.1 + 0.2 noise never shows
  EXPECT_EQ(automaticScale(0, 5e12).label(1e12), "1E+12");
}

TEST(AxisScale, AWindowNarrowerThanThePrecisionEndsItsTicks) {
  const AxisScale tiny = render::windowScale(1e15, 1e15 + 0.001);  // below the spacing of doubles there
  EXPECT_LE(tiny.ticks().size(), 64u);
  const auto ticks = tiny.ticks();
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_GT(ticks[i], ticks[i - 1]);
}
