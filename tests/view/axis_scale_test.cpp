// Automatic axis scales as the spreadsheet application draws them, General labels, and charts
// that reach to the largest doubles.
#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <limits>

#include "render/axis_scale.h"
#include "render/shown_number.h"
#include "view_test_support.h"

using render::AxisKind;
using render::AxisScale;
using render::automaticScale;

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

struct ScaleCase {
  const char* name;
  double low, high;
  AxisKind kind;
  double minimum, maximum, unit;
};

// Each expected scale is what LibreOffice drew for a workbook of the graphing run (the data's
// extent as the run computed it, last bits included).
const ScaleCase kDrawnByTheSpreadsheet[] = {
    {"x + 100 on 0..20", 100, 120, AxisKind::Value, 90, 125, 5},
    {"sin on -10..10", -0.9999902065507035, 0.9995736030415051, AxisKind::Value, -1.5, 1.5, 0.5},
    {"x from -10 to 10", -10, 10, AxisKind::X, -15, 15, 5},
    {"x^2 on 0..100000", 0, 1e10, AxisKind::Value, 0, 1.2e10, 2e9},
    {"x from 0 to 100000", 0, 100000, AxisKind::X, 0, 120000, 20000},
    {"x + 1000 on 0..1", 1000, 1000.9999999999999, AxisKind::Value, 999.4, 1001.2, 0.2},
    {"x from 0 to 1 by 0.1", 0, 0.9999999999999999, AxisKind::X, 0, 1.2, 0.2},
    {"-x - 100", -120, -100, AxisKind::Value, -125, -90, 5},
    {"x*x - 50", -50, 50, AxisKind::Value, -60, 60, 20},
    {"x from 5 to 6: the x axis keeps to the data", 5, 5.9999999999999964, AxisKind::X, 4.8, 6.2, 0.2},
    {"x from 5 to 6: the value axis reaches toward 0", 5, 5.9999999999999964, AxisKind::Value, 4.4, 6.2, 0.2},
    {"x + 10 on 0..1.9", 10, 11.900000000000000, AxisKind::Value, 9, 12.5, 0.5},
    {"x from 0 to 1.9", 0, 1.9000000000000006, AxisKind::X, 0, 2, 0.2},
    {"0.001*x", 0, 0.0029000000000000011, AxisKind::Value, 0, 0.0035, 0.0005},
    {"one value", 5, 5, AxisKind::Value, 0, 6, 1},
    {"x*7 + 3: wide values start at 0", 3, 94, AxisKind::Value, 0, 100, 10},
    {"x from 5 to 20: no 0 on the x axis", 5, 20, AxisKind::X, 4, 22, 2},
    {"x/10 on 5..20", 0.5, 2, AxisKind::Value, 0, 2.5, 0.5},
    {"x from -20 to -5", -20, -5, AxisKind::X, -22, -4, 2},
    {"all below 0, far from it: 0 is the top", -20, -5, AxisKind::Value, -25, 0, 5},
    {"x*1E+300", -1e300, 1.6000000000000005e300, AxisKind::Value, -1.5e300, 2e300, 5e299},
    {"1E-5*x", 0, 3.0000000000000004e-05, AxisKind::Value, 0, 3.5e-5, 5e-6},
    {"x^3", -27, 27, AxisKind::Value, -30, 30, 10},
    {"1/x through a rounded 0", -7205759403792794, 10.000000000000014, AxisKind::Value, -8e15, 1e15, 1e15},
};

void expectNear(double actual, double expected, const char* what, const char* name) {
  EXPECT_NEAR(actual, expected, std::abs(expected) * 1e-9 + 1e-300) << what << " of " << name;
}

std::string joined(const QStringList& labels) { return labels.join(' ').toStdString(); }

}  // namespace

TEST(AxisScale, AsTheSpreadsheetDrawsTheRunsData) {
  for (const auto& c : kDrawnByTheSpreadsheet) {
    const AxisScale scale = automaticScale(c.low, c.high, c.kind);
    expectNear(scale.minimum, c.minimum, "minimum", c.name);
    expectNear(scale.maximum, c.maximum, "maximum", c.name);
    expectNear(scale.majorUnit, c.unit, "unit", c.name);
  }
}

TEST(AxisScale, EveryFiniteDoubleGetsFiniteLimitsAndTicks) {
  const double exp709 = std::exp(709.0);  // the largest exp(x) before #NUM!
  const AxisScale exponential = automaticScale(1, exp709);
  EXPECT_DOUBLE_EQ(exponential.maximum, 9e307);
  EXPECT_DOUBLE_EQ(exponential.majorUnit, 1e307);
  for (auto [low, high] : {std::pair{0.0, kLargest}, {-kLargest, kLargest}, {-kLargest, -kLargest}, {kLargest, kLargest},
                           {1e308, 1.7e308}, {0.0, 5e-324}, {-1e-300, 1e-300}, {1e15, 1e15 + 1000}}) {
    for (AxisKind kind : {AxisKind::X, AxisKind::Value}) {
      const AxisScale scale = automaticScale(low, high, kind);
      ASSERT_TRUE(std::isfinite(scale.minimum) && std::isfinite(scale.maximum) && std::isfinite(scale.majorUnit))
          << low << " " << high;
      EXPECT_LE(scale.minimum, low);
      EXPECT_GE(scale.maximum, high);
      EXPECT_GT(render::halfSpan(scale.minimum, scale.maximum), 0);
      const auto ticks = scale.ticks();
      ASSERT_GE(ticks.size(), 2u) << low << " " << high;
      EXPECT_LE(ticks.size(), 12u) << low << " " << high;
      for (double t : ticks) EXPECT_TRUE(std::isfinite(t));
      EXPECT_EQ(scale.labels().size(), static_cast<qsizetype>(ticks.size()));
    }
  }
}

TEST(AxisScale, LabelsInTheSpreadsheetsGeneralFormat) {
  EXPECT_EQ(joined(automaticScale(-1, 1).labels()), "-1.5 -1 -0.5 0 0.5 1 1.5");
  EXPECT_EQ(joined(automaticScale(0, 1e10).labels()),
            "0 2000000000 4000000000 6000000000 8000000000 10000000000 12000000000");
  EXPECT_EQ(joined(automaticScale(0, 8e11).labels()), "0 1E+11 2E+11 3E+11 4E+11 5E+11 6E+11 7E+11 8E+11 9E+11");
  EXPECT_EQ(joined(automaticScale(0, 0.29).labels()), "0 0.05 0.1 0.15 0.2 0.25 0.3 0.35");  // no 0.30000000000000004
  EXPECT_EQ(joined(automaticScale(0, 1e300).labels()), "0 2E+299 4E+299 6E+299 8E+299 1E+300 1.2E+300");
  EXPECT_EQ(joined(automaticScale(0, 3e-5).labels()),
            "0 0.000005 0.00001 0.000015 0.00002 0.000025 0.00003 0.000035");
}

TEST(AxisScale, AWindowZoomedInFarGetsTheDigitsItsTicksNeed) {
  const AxisScale tiny = render::windowScale(1e15, 1e15 + 0.001);  // below the spacing of doubles there
  const auto ticks = tiny.ticks();
  EXPECT_LE(ticks.size(), 64u);
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_GT(ticks[i], ticks[i - 1]);
  const AxisScale close = render::windowScale(1000000.0001, 1000000.0009);
  const QStringList labels = close.labels();
  ASSERT_GE(labels.size(), 2);
  for (qsizetype i = 1; i < labels.size(); ++i) EXPECT_NE(labels[i], labels[i - 1]) << joined(labels);
}

TEST(ShownNumber, GeneralFitsElevenCharacters) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},           {2e9, "2000000000"},        {1.2e10, "12000000000"},   {1e11, "1E+11"},
      {1.0 / 3, "0.333333333"}, {-1.0 / 3, "-0.333333333"}, {0.1 + 0.2, "0.3"},  {123456789012.0, "1.23457E+11"},
      {99999999999.5, "1E+11"}, {1.2e300, "1.2E+300"},   {-2.5e-300, "-2.5E-300"}, {1.23456789e-7, "1.23457E-07"},
      {0.000012345, "0.000012345"}, {kLargest, "1.7977E+308"}, {5e-324, "4.9407E-324"},
  };
  for (auto [value, text] : cases) EXPECT_EQ(render::generalNumber(value, QLocale::c()).toStdString(), text) << value;
}

TEST(ShownNumber, WrittenAsTheLocaleWritesThem) {
  const QLocale german(QLocale::German, QLocale::Germany);
  EXPECT_EQ(render::generalNumber(-0.5, german), "-0,5");
  EXPECT_EQ(render::generalNumber(1.5e20, german), "1,5E+20");
  EXPECT_EQ(render::generalNumber(2e9, german), "2000000000");  // General never groups digits
  EXPECT_EQ(render::fullNumber(1.0 / 3, german), "0,333333333333333");
  EXPECT_EQ(joined(automaticScale(-1, 1).labels(german)), "-1,5 -1 -0,5 0 0,5 1 1,5");
}
