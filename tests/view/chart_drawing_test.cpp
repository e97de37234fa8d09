// What the chart painter puts on the picture: curve pixels where the data say, gaps where
// cells hold no number, the same picture with dense series reduced, elided long texts.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <cmath>

#include "render/chart_extraction.h"
#include "view_test_support.h"

using view_testing::draw;
using view_testing::rowsOfColour;

namespace {

// Rows of the column inside the plot (the legend's sample line has the series' colour too).
std::vector<int> curveRows(const view_testing::Drawn& drawn, int column, const QColor& colour) {
  std::vector<int> rows;
  for (int row : rowsOfColour(drawn.image, column, colour))
    if (row >= drawn.geometry.plotArea.top() && row <= drawn.geometry.plotArea.bottom()) rows.push_back(row);
  return rows;
}

}  // namespace

namespace {

render::PlotChart sineChart() {
  auto run = view_testing::runOf({{"sin(x)", "0", "10", "0.01"}});
  return render::plotChartOf(run->book(), run->sheet("Chart1"));
}

}  // namespace

TEST(ChartDrawing, TheCurveLiesWhereSinPutsIt) {
  const auto chart = sineChart();
  const auto drawn = draw(chart);
  const QColor blue = render::seriesColor(0);
  EXPECT_DOUBLE_EQ(drawn.geometry.yScale.minimum, -1.5);
  EXPECT_DOUBLE_EQ(drawn.geometry.xScale.maximum, 12);
  const auto& g = drawn.geometry;
  for (double x : {0.5, 1.5708, 3.0, 4.7124, 6.0, 8.5}) {
    const int column = static_cast<int>(std::round(g.toPixel(x, 0).x()));
    // The pixel column spans x values from its left edge to its right edge; the curve may be
    // anywhere between sin() of those, give or take the pen's half width and antialiasing.
    const double left = g.toData(QPointF(column - 0.5, 0)).x(), right = g.toData(QPointF(column + 1.5, 0)).x();
    const double a = g.toPixel(0, std::sin(left)).y(), b = g.toPixel(0, std::sin(right)).y();
    const auto rows = curveRows(drawn, column, blue);
    ASSERT_FALSE(rows.empty()) << "no curve at x = " << x;
    for (int row : rows) {
      EXPECT_GE(row, std::min(a, b) - 3) << "x = " << x;
      EXPECT_LE(row, std::max(a, b) + 3) << "x = " << x;
    }
  }
  // Right of the last x value (10) the plot is empty.
  const int beyond = static_cast<int>(drawn.geometry.toPixel(11, 0).x());
  EXPECT_TRUE(curveRows(drawn, beyond, blue).empty());
}

TEST(ChartDrawing, ErrorCellsLeaveAGap) {
  auto run = view_testing::runOf({{"sqrt(x*x - 4)", "-5", "5", "0.01"}});  // #NUM! between -2 and 2
  const auto chart = render::plotChartOf(run->book(), run->sheet("Chart1"));
  const auto drawn = draw(chart);
  const QColor blue = render::seriesColor(0);
  for (double x : {-1.5, -0.5, 0.0, 1.0, 1.8})
    EXPECT_TRUE(curveRows(drawn, static_cast<int>(drawn.geometry.toPixel(x, 0).x()), blue).empty()) << x;
  for (double x : {-4.0, -2.5, 2.5, 4.5})
    EXPECT_FALSE(curveRows(drawn, static_cast<int>(drawn.geometry.toPixel(x, 0).x()), blue).empty()) << x;
  EXPECT_EQ(drawn.geometry.yScale.minimum, 0);  // the axis starts at 0 for data from 0 up
  EXPECT_DOUBLE_EQ(drawn.geometry.xScale.minimum, -6);
}

TEST(ChartDrawing, ValuesNotComputedHereAreAGapThatTheXAxisStillSpans) {
  // From x = 5 on, the values read D1, which needs outside data and is left to the spreadsheet
  // (before, they read the empty D10).
  auto run = view_testing::runOf({{"x+offset(d1,if(5>x,9,0),0)", "0", "10", "0.5"}, {"webservice(x)", "0", "0", "1"}});
  const auto chart = render::plotChartOf(run->book(), run->sheet("Chart1"));
  const auto& series = chart.series.at(0);
  ASSERT_FALSE(series.uncomputed.empty());
  EXPECT_EQ(series.uncomputed.front(), 10u);  // x = 5
  EXPECT_EQ(series.uncomputed.back(), 20u);   // x = 10; the empty row below is no such gap
  EXPECT_TRUE(series.isUncomputed(15));
  EXPECT_FALSE(series.isUncomputed(9));
  const auto drawn = draw(chart);
  const QColor blue = render::seriesColor(0);
  for (double x : {0.5, 2.0, 4.2})
    EXPECT_FALSE(curveRows(drawn, static_cast<int>(drawn.geometry.toPixel(x, 0).x()), blue).empty()) << x;
  for (double x : {5.5, 7.0, 9.9})
    EXPECT_TRUE(curveRows(drawn, static_cast<int>(drawn.geometry.toPixel(x, 0).x()), blue).empty()) << x;
  EXPECT_GE(drawn.geometry.xScale.maximum, 10) << "the gap at the end is shown, not cut off";
  EXPECT_LE(drawn.geometry.yScale.maximum, 6) << "the value axis is scaled by the values computed";

  // Nothing computed at all: the x axis still spans the equation's x values.
  auto none = view_testing::runOf({{"webservice(x)", "-20", "20", "1"}});
  const auto empty = draw(render::plotChartOf(none->book(), none->sheet("Chart1")));
  EXPECT_LE(empty.geometry.xScale.minimum, -20);
  EXPECT_GE(empty.geometry.xScale.maximum, 20);
  EXPECT_TRUE(curveRows(empty, static_cast<int>(empty.geometry.toPixel(0, 0).x()), blue).empty());
}

TEST(ChartDrawing, SmoothedLinePassesThroughEveryPoint) {
  render::PlotChart chart;
  chart.series.push_back({"coarse", {0, 1, 2, 3, 4}, {0, 4, 1, 3, 0}});
  const auto drawn = draw(chart);
  const QColor blue = render::seriesColor(0);
  for (int i = 1; i < 4; ++i) {
    const QPointF at = drawn.geometry.toPixel(chart.series[0].x[i], chart.series[0].y[i]);
    EXPECT_TRUE(view_testing::near(drawn.image.pixelColor(at.toPoint()), blue, 60)) << i;
  }
  // Smoothed, not straight: halfway between the peaks at x = 1 and x = 3 the curve sags below
  // the chord's height... but never overshoots far beyond the points.
  const int mid = static_cast<int>(std::round(drawn.geometry.toPixel(0.5, 0).x()));
  const auto rows = curveRows(drawn, mid, blue);
  ASSERT_FALSE(rows.empty());
  const double straight = drawn.geometry.toPixel(0.5, 2).y();
  EXPECT_LT(rows.front(), straight - 2);  // the curve bulges above the chord from (0,0) to (1,4)
}

TEST(ChartDrawing, DensePointsReducedGiveTheSamePicture) {
  render::PlotChart chart;
  render::PlotSeries series{"dense", {}, {}};
  const int n = 1'000'000;
  series.x.resize(n);
  series.y.resize(n);
  for (int i = 0; i < n; ++i) {
    series.x[i] = i * 1e-5;
    series.y[i] = std::sin(series.x[i] * 3) + 0.3 * std::sin(series.x[i] * 97);
  }
  chart.series.push_back(std::move(series));
  render::PaintOptions full;
  full.reduceDensePoints = false;
  const auto reduced = draw(chart, {800, 500});
  const auto exact = draw(chart, {800, 500}, full);
  // Antialiased edges may differ by a shade; what counts is a pixel inked in one picture and
  // blank in the other.
  auto ink = [](const QColor& c) { return 3 * 255 - c.red() - c.green() - c.blue(); };
  int differing = 0, inked = 0;
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 800; ++x) {
      const int a = ink(reduced.image.pixelColor(x, y)), b = ink(exact.image.pixelColor(x, y));
      if (a > 200 || b > 200) ++inked;
      if ((a > 200 && b < 30) || (b > 200 && a < 30)) ++differing;
    }
  EXPECT_GT(inked, 10000);
  EXPECT_LT(differing, inked / 1000) << differing << " of " << inked;
}

TEST(ChartDrawing, LongTitlesAndLegendEntriesAreElided) {
  render::PlotChart chart;
  const QString longText = "F(x) = " + QString("sin(x) + ").repeated(60) + "x";
  chart.title = longText;
  for (int i = 0; i < 128; ++i) chart.series.push_back({longText + QString::number(i), {0, 1}, {0, double(i)}});
  const auto drawn = draw(chart, {1200, 800});
  // The plot keeps most of the picture: neither the title nor 128 legend entries bury it.
  EXPECT_GT(drawn.geometry.plotArea.height(), 800 * 0.5);
  EXPECT_GT(drawn.geometry.plotArea.width(), 1200 * 0.8);
}

TEST(ChartDrawing, SeriesColoursDifferAcrossManySeries) {
  std::set<QRgb> colours;
  for (int i = 0; i < 30; ++i) colours.insert(render::seriesColor(i).rgb());
  EXPECT_EQ(colours.size(), 30u);
  EXPECT_EQ(render::seriesColor(0), QColor(0x44, 0x72, 0xC4));
}

TEST(ChartDrawing, HugeAndTinyValuesDrawWithoutTrouble) {
  render::PlotChart chart;
  chart.series.push_back({"wild", {0, 1, 2, 3}, {1e300, -1e300, 1e-300, 0}});
  chart.series.push_back({"lone", {5}, {std::nan("")}});
  const auto drawn = draw(chart, {300, 200});
  EXPECT_TRUE(std::isfinite(drawn.geometry.yScale.minimum));
  EXPECT_TRUE(std::isfinite(drawn.geometry.yScale.maximum));
  render::PlotChart tiny;
  draw(tiny, {2, 2});  // smaller than any plot: nothing drawn, nothing broken
}
