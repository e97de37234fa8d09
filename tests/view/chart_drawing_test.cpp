// What the chart painter puts on the picture: curve pixels where the data say, gaps where
// cells hold no number, the same picture with dense series reduced, elided long texts.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <cmath>

#include "render/chart_extraction.h"
#include "render/empty_series_note.h"
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
  EXPECT_GT(drawn.geometry.plotArea.height(), 800 * 0.7);
  EXPECT_GT(drawn.geometry.plotArea.width(), 1200 * 0.55);
  chart.legendPosition = render::LegendPosition::Bottom;
  const auto below = draw(chart, {1200, 800});
  EXPECT_GT(below.geometry.plotArea.height(), 800 * 0.5);
  EXPECT_GT(below.geometry.plotArea.width(), 1200 * 0.8);
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

namespace {

render::PlotChart chartOf(std::initializer_list<std::array<const char*, 4>> rows, bool separate = true) {
  auto run = view_testing::runOf(rows, separate);
  return render::plotChartOf(run->book(), run->sheet(separate ? "Chart1" : "Chart"));
}

QStringList labelsOf(const render::AxisScale& scale) { return scale.labels(QLocale::c()); }

// Whether some pixel in the rectangle is as dark as text.
bool inked(const QImage& image, const QRect& box) {
  for (int y = std::max(0, box.top()); y <= std::min(image.height() - 1, box.bottom()); ++y)
    for (int x = std::max(0, box.left()); x <= std::min(image.width() - 1, box.right()); ++x)
      if (qGray(image.pixel(x, y)) < 128) return true;
  return false;
}

// The rows of the band that hold ink as dark as text, first to last.
int inkHeight(const QImage& image, int top, int bottom) {
  int first = -1, last = -1;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 100) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return first < 0 ? 0 : last - first + 1;
}

}  // namespace

TEST(ChartAxes, ScaledAsTheSpreadsheetScalesTheRunsData) {
  const auto shifted = draw(chartOf({{"x + 100", "0", "20", "1"}})).geometry;
  EXPECT_DOUBLE_EQ(shifted.yScale.minimum, 90);  // pulled below data lying well to one side of 0
  EXPECT_DOUBLE_EQ(shifted.yScale.maximum, 125);
  EXPECT_DOUBLE_EQ(shifted.xScale.maximum, 25);

  const auto square = draw(chartOf({{"x^2", "0", "100000", "100"}})).geometry;
  EXPECT_EQ(labelsOf(square.yScale).join(' '),
            "0 2000000000 4000000000 6000000000 8000000000 10000000000 12000000000");
  EXPECT_EQ(labelsOf(square.xScale).join(' '), "0 20000 40000 60000 80000 100000 120000");

  // x passes 0 as -1.3877787807814457E-16 after ten steps of 0.1: 1/x is -7.2E+15 there.
  const auto reciprocal = draw(chartOf({{"1/x", "-1", "1", "0.1"}})).geometry;
  EXPECT_DOUBLE_EQ(reciprocal.yScale.minimum, -8e15);
  EXPECT_DOUBLE_EQ(reciprocal.yScale.maximum, 1e15);
  EXPECT_EQ(labelsOf(reciprocal.yScale).front(), "-8E+15");
}

TEST(ChartAxes, ValuesUpToTheLargestDoubleAreDrawnAndZoomable) {
  const auto chart = chartOf({{"exp(x)", "0", "800", "1"}});  // #NUM! beyond x = 709
  const auto drawn = draw(chart);
  const auto& g = drawn.geometry;
  EXPECT_DOUBLE_EQ(g.yScale.maximum, 9e307);
  EXPECT_DOUBLE_EQ(g.xScale.maximum, 800);  // the last x with a value is 709
  const QColor blue = render::seriesColor(0);
  const int steep = static_cast<int>(std::round(g.toPixel(708.5, 0).x()));
  EXPECT_FALSE(curveRows(drawn, steep, blue).empty()) << "the curve rises to exp(709) inside the plot";
  EXPECT_LT(g.toPixel(709, std::exp(709.0)).y(), g.plotArea.top() + g.plotArea.height() * 0.2);
  EXPECT_TRUE(curveRows(drawn, static_cast<int>(g.toPixel(750, 0).x()), blue).empty());

  // Zoomed to the last few x values, where the curve climbs from 1E+306 to 8E+307.
  render::PaintOptions zoomed;
  zoomed.window = render::DataWindow{700, 710, 0, 1e308};
  const auto close = draw(chart, {1200, 800}, zoomed);
  for (double x : {703.0, 706.0, 708.5})
    EXPECT_FALSE(curveRows(close, static_cast<int>(close.geometry.toPixel(x, 0).x()), blue).empty()) << x;

  // Numbers at both ends of the doubles: the span overflows, the picture does not.
  render::PlotChart extremes;
  const double largest = std::numeric_limits<double>::max();
  extremes.series.push_back({"edge", {-largest, 0, largest}, {largest, 0, -largest}});
  const auto edge = draw(extremes);
  EXPECT_DOUBLE_EQ(edge.geometry.yScale.maximum, largest);
  const QPointF corner = edge.geometry.toPixel(largest, -largest);
  EXPECT_NEAR(corner.x(), edge.geometry.plotArea.right(), 1);
  EXPECT_NEAR(corner.y(), edge.geometry.plotArea.bottom(), 1);
  EXPECT_FALSE(curveRows(edge, static_cast<int>(edge.geometry.plotArea.center().x()), blue).empty());
  const QPointF back = edge.geometry.toData(edge.geometry.toPixel(-largest / 2, largest / 4));
  EXPECT_NEAR(back.x() / (-largest / 2), 1, 1e-9);
  EXPECT_NEAR(back.y() / (largest / 4), 1, 1e-9);
}

TEST(ChartAxes, LabelsStandNextToTheAxesWhereTheyCrossAtZero) {
  const auto drawn = draw(chartOf({{"sin(x)", "-10", "10", "0.1"}}));
  const auto& g = drawn.geometry;
  const QPointF origin = g.toPixel(0, 0);
  ASSERT_GT(origin.x(), g.plotArea.left() + g.plotArea.width() * 0.4);
  // "1" left of the value axis in the middle of the plot, "5" below the x axis, none at the edge.
  const int one = static_cast<int>(g.toPixel(0, 1).y());
  EXPECT_TRUE(inked(drawn.image, QRect(static_cast<int>(origin.x()) - 30, one - 6, 26, 12)));
  EXPECT_FALSE(inked(drawn.image, QRect(0, one - 6, static_cast<int>(g.plotArea.left()) - 2, 12)));
  const int five = static_cast<int>(g.toPixel(5, 0).x());
  EXPECT_TRUE(inked(drawn.image, QRect(five - 8, static_cast<int>(origin.y()) + 3, 16, 22)));
  EXPECT_FALSE(inked(drawn.image, QRect(five - 8, static_cast<int>(g.plotArea.bottom()) + 2, 16, 22)));

  // All x below 0: the value axis stands at the right edge, its labels left of it, inside.
  const auto left = draw(chartOf({{"x", "-20", "-5", "1"}}));
  EXPECT_DOUBLE_EQ(left.geometry.xScale.maximum, -4);
  EXPECT_NEAR(left.geometry.toPixel(-4, 0).x(), left.geometry.plotArea.right(), 0.5);
  EXPECT_DOUBLE_EQ(left.geometry.yScale.maximum, 0);
}

TEST(ChartLayout, TheLegendStandsWhereTheChartPutsIt) {
  auto chart = chartOf({{"sin(x)", "0", "10", "0.1"}, {"cos(x)", "0", "10", "0.1"}}, false);
  ASSERT_EQ(chart.legendPosition, render::LegendPosition::Right);  // as the saved file says
  const QColor orange = render::seriesColor(1);
  // The legend's sample lines lie right of the plot, its middle at the plot's height.
  const auto right = draw(chart);
  const QRectF plot = right.geometry.plotArea;
  std::vector<int> rows;
  for (int x = static_cast<int>(plot.right()) + 8; x < 1200; ++x)
    for (int y : view_testing::rowsOfColour(right.image, x, orange, 30)) rows.push_back(y);
  ASSERT_FALSE(rows.empty());
  EXPECT_NEAR(rows.front(), plot.center().y(), plot.height() * 0.1);
  EXPECT_GT(plot.bottom(), 800 * 0.85) << "nothing below the plot but its labels";

  chart.legendPosition = render::LegendPosition::Bottom;
  const auto below = draw(chart);
  EXPECT_GT(below.geometry.plotArea.right(), plot.right() + 50);
  EXPECT_LT(below.geometry.plotArea.bottom(), plot.bottom() - 10);
  chart.legendPosition = render::LegendPosition::Top;
  EXPECT_GT(draw(chart).geometry.plotArea.top(), below.geometry.plotArea.top() + 10);
  chart.legendPosition = render::LegendPosition::Left;
  const auto left = draw(chart).geometry.plotArea;
  EXPECT_GT(left.left(), plot.left() + 50);
  EXPECT_NEAR(left.width(), plot.width(), 2);
  chart.showLegend = false;
  EXPECT_GT(draw(chart).geometry.plotArea.right(), plot.right() + 50);
}

TEST(ChartLayout, TheTitleIsBoldDarkAndLargerThanTheLabels) {
  auto chart = chartOf({{"x^2 - 3*x + 2", "-2", "5", "0.25"}});
  ASSERT_EQ(chart.title, "F(x) = x^2 - 3*x + 2");
  const auto titled = draw(chart);
  chart.title.clear();
  const auto untitled = draw(chart);
  EXPECT_GT(titled.geometry.plotArea.top(), untitled.geometry.plotArea.top() + 15);
  // The title's ink is near black, and taller than the x axis labels' below the plot.
  const int titleHeight = inkHeight(titled.image, 0, static_cast<int>(titled.geometry.plotArea.top()) - 12);
  const int labelHeight = inkHeight(titled.image, static_cast<int>(titled.geometry.plotArea.bottom()) + 4, 800);
  EXPECT_GE(titleHeight, labelHeight * 1.25) << titleHeight << " " << labelHeight;
  int darkest = 255;
  for (int x = 0; x < 1200; ++x)
    for (int y = 0; y < static_cast<int>(titled.geometry.plotArea.top()) - 12; ++y) darkest = std::min(darkest, qGray(titled.image.pixel(x, y)));
  EXPECT_LT(darkest, 50);
}

TEST(ChartNotes, ASeriesWithNothingToDrawSaysWhy) {
  const auto errors = chartOf({{"1/(x-x)", "0", "5", "1"}});
  ASSERT_EQ(errors.series.size(), 1u);
  EXPECT_EQ(render::emptySeriesNote(errors.series[0], 1), errors.series[0].name + ": every value is #DIV/0!");
  const auto drawn = draw(errors);
  const QRectF plot = drawn.geometry.plotArea;
  EXPECT_TRUE(inked(drawn.image, QRect(static_cast<int>(plot.left()) + 8, static_cast<int>(plot.top()) + 2, 200, 24)));

  const auto mixed = chartOf({{"ln(x-3) + 1/(x-x)", "0", "5", "1"}});
  EXPECT_EQ(render::emptySeriesNote(mixed.series[0], 1), mixed.series[0].name + ": no value is a number (the first is #NUM!)");
  const auto uncomputed = chartOf({{"webservice(x)", "0", "3", "1"}});
  EXPECT_EQ(render::emptySeriesNote(uncomputed.series[0], 1),
            uncomputed.series[0].name + ": not computed here; your spreadsheet application computes it");

  // A series with one number draws it, and says nothing; an unnamed one is "Series N".
  const auto partly = chartOf({{"1/(x-3)", "3", "5", "1"}});
  EXPECT_TRUE(render::emptySeriesNote(partly.series[0], 1).isEmpty());
  render::PlotSeries nameless{"", {1, 2}, {std::nan(""), std::nan("")}, {}, "#N/A"};
  EXPECT_EQ(render::emptySeriesNote(nameless, 3), "Series 3: every value is #N/A");
}

TEST(ChartLocale, AxisLabelsAsTheUsersLocaleWritesNumbers) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const auto drawn = draw(chartOf({{"sin(x)", "-10", "10", "0.1"}}));
  EXPECT_EQ(drawn.geometry.yScale.labels().join(' '), "-1,5 -1 -0,5 0 0,5 1 1,5");
  QLocale::setDefault(before);
  EXPECT_EQ(drawn.geometry.yScale.labels().join(' '), before.decimalPoint() == "," ? "-1,5 -1 -0,5 0 0,5 1 1,5"
                                                                                  : "-1.5 -1 -0.5 0 0.5 1 1.5");
}
