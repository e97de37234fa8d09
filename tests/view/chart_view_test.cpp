// The chart tab's interaction: the nearest point under the pointer, wheel and rubber-band zoom,
// double-click back to the whole chart.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "render/chart_extraction.h"
#include "view/chart_view.h"
#include "view_test_support.h"

using view::ChartView;

namespace {

render::PlotChart lineChart() {
  render::PlotChart chart;
  render::PlotSeries series{"F(x) = x*x", {}, {}};
  for (int i = 0; i <= 10; ++i) series.x.push_back(i), series.y.push_back(i * i);
  series.x.push_back(11), series.y.push_back(std::nan(""));  // an error cell: nothing to hover
  chart.series.push_back(series);
  return chart;
}

struct ShownChart {
  ShownChart() : view([] { return lineChart(); }) {
    view.resize(800, 500);
    view.show();
    view.grab();  // drawn once, so the geometry is known
  }
  ChartView view;
};

}  // namespace

TEST(ChartView, HoverFindsTheNearestPointAndNamesIt) {
  ShownChart shown;
  ChartView& view = shown.view;
  QSignalSpy hovered(&view, &ChartView::pointHovered);
  const QPointF at = view.geometry().toPixel(3, 9) + QPointF(4, -3);
  QTest::mouseMove(&view, at.toPoint());
  ASSERT_TRUE(view.hovered().has_value());
  EXPECT_EQ(view.hovered()->index, 3u);
  EXPECT_EQ(view.pointText(*view.hovered()), "x = 3, f(x) = 9");
  ASSERT_FALSE(hovered.isEmpty());
  EXPECT_EQ(hovered.last().at(0).toString(), "F(x) = x*x:  x = 3, f(x) = 9");
  // Far from every point: nothing.
  EXPECT_FALSE(view.pointNear(view.geometry().toPixel(9, 10)).has_value());
}

TEST(ChartView, HoverFindsPointsWhateverTheOrderOfX) {
  render::PlotChart chart;
  chart.series.push_back({"down", {10, 8, 6, 4, 2, 0}, {0, 1, 2, 3, 4, 5}});           // start 10, end 0, step -2
  chart.series.push_back({"zigzag", {0, 9, 1, 8, 2, 7}, {50, 50, 40, 40, 30, 30}});
  chart.series.push_back({"up", {0, 1, 2, 3, 4, std::nan("")}, {20, 21, 22, 23, 24, std::nan("")}});
  ChartView view([chart] { return chart; });
  view.resize(800, 500);
  view.show();
  view.grab();
  for (auto [series, index] : {std::pair{0, 3}, {1, 3}, {1, 4}, {2, 2}, {2, 4}}) {
    const auto& s = chart.series[static_cast<std::size_t>(series)];
    const auto found = view.pointNear(view.geometry().toPixel(s.x[index], s.y[index]) + QPointF(2, 2));
    ASSERT_TRUE(found.has_value()) << series << " " << index;
    EXPECT_EQ(found->series, series);
    EXPECT_EQ(found->index, static_cast<std::size_t>(index));
  }
}

TEST(ChartView, OverAGapOfValuesNotComputedHereTheHoverSaysSo) {
  // x = 0 and 1 computed, #DIV/0! at x = 2 (a gap of the spreadsheet's own), from x = 3 on
  // reading D1, which is left to the spreadsheet application (before, the empty D10).
  auto run = view_testing::runOf({{"1/(x-2)+offset(d1,if(3>x,9,0),0)", "0", "10", "1"}, {"webservice(x)", "0", "0", "1"}});
  ChartView view([&run] { return render::plotChartOf(run->book(), run->sheet("Chart1")); });
  view.resize(800, 500);
  view.show();
  view.grab();
  QSignalSpy hovered(&view, &ChartView::pointHovered);
  const auto& geometry = view.geometry();
  EXPECT_GE(geometry.xScale.maximum, 10);
  QTest::mouseMove(&view, geometry.toPixel(7.2, -0.5).toPoint());
  ASSERT_TRUE(view.hovered().has_value());
  EXPECT_TRUE(view.hovered()->uncomputed);
  EXPECT_EQ(view.hovered()->index, 7u);
  EXPECT_EQ(view.pointText(*view.hovered()), "x = 7, f(x) = (not computed)");
  ASSERT_FALSE(hovered.isEmpty());
  EXPECT_EQ(hovered.last().at(0).toString(), "Series1:  x = 7, f(x) = (not computed)");
  // Anywhere up or down the gap; the marker follows the pointer.
  const auto high = view.gapUnder(geometry.toPixel(3.9, geometry.yScale.maximum));
  ASSERT_TRUE(high.has_value());
  EXPECT_EQ(high->index, 4u);
  EXPECT_DOUBLE_EQ(high->y, geometry.yScale.maximum);
  // A point computed here wins over the gap beside it; an error's gap, or the empty plot past the
  // series' last x, says nothing.
  QTest::mouseMove(&view, geometry.toPixel(1, -1).toPoint());
  ASSERT_TRUE(view.hovered().has_value());
  EXPECT_FALSE(view.hovered()->uncomputed);
  EXPECT_EQ(view.pointText(*view.hovered()), "x = 1, f(x) = -1");
  EXPECT_FALSE(view.gapUnder(geometry.toPixel(2.1, 0)).has_value());
  if (geometry.xScale.maximum > 11) {
    EXPECT_FALSE(view.gapUnder(geometry.toPixel(11.5, 0)).has_value());
  }
  QTest::mouseMove(&view, geometry.toPixel(2.1, -0.2).toPoint());
  EXPECT_FALSE(view.hovered().has_value());
}

TEST(ChartView, GapsAreFoundWhateverTheOrderOfX) {
  render::PlotChart chart;
  const double gap = std::nan("");
  chart.series.push_back({"down", {10, 8, 6, 4, 2, 0}, {0, 1, gap, gap, 4, 5}, {2, 3}});
  ChartView view([chart] { return chart; });
  view.resize(800, 500);
  view.show();
  view.grab();
  const auto& geometry = view.geometry();
  for (auto [x, index] : {std::pair{5.6, 2}, {6.9, 2}, {4.4, 3}, {3.1, 3}}) {
    const auto found = view.gapUnder(geometry.toPixel(x, 3));
    ASSERT_TRUE(found.has_value()) << x;
    EXPECT_EQ(found->index, static_cast<std::size_t>(index)) << x;
    EXPECT_EQ(found->x, chart.series[0].x[static_cast<std::size_t>(index)]);
  }
  for (double x : {7.5, 2.5, 0.2}) EXPECT_FALSE(view.gapUnder(geometry.toPixel(x, 3)).has_value()) << x;
}

TEST(ChartView, WheelZoomsAboutThePointerAndDoubleClickResets) {
  ShownChart shown;
  ChartView& view = shown.view;
  const render::DataWindow whole = view.geometry().window();
  const QPointF about = view.geometry().toPixel(5, 25);
  view.zoomBy(0.5, about);
  ASSERT_TRUE(view.zoomWindow().has_value());
  const auto& zoomed = *view.zoomWindow();
  EXPECT_NEAR(zoomed.xMax - zoomed.xMin, (whole.xMax - whole.xMin) / 2, 1e-9);
  EXPECT_NEAR((5 - zoomed.xMin) / (zoomed.xMax - zoomed.xMin), (5 - whole.xMin) / (whole.xMax - whole.xMin), 1e-9);
  view.grab();
  EXPECT_NEAR(view.geometry().window().xMin, zoomed.xMin, 1e-9);  // the window is drawn exactly
  QTest::mouseDClick(&view, Qt::LeftButton, {}, about.toPoint());
  EXPECT_FALSE(view.zoomWindow().has_value());
  view.grab();
  EXPECT_DOUBLE_EQ(view.geometry().window().xMax, whole.xMax);
}

TEST(ChartView, RubberBandZoomsToTheRectangleAndAClickDoesNot) {
  ShownChart shown;
  ChartView& view = shown.view;
  const QPoint from = view.geometry().toPixel(2, 80).toPoint(), to = view.geometry().toPixel(6, 10).toPoint();
  QTest::mouseClick(&view, Qt::LeftButton, {}, from);
  EXPECT_FALSE(view.zoomWindow().has_value());
  QTest::mousePress(&view, Qt::LeftButton, {}, from);
  QTest::mouseMove(&view, to);
  QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
  ASSERT_TRUE(view.zoomWindow().has_value());
  EXPECT_NEAR(view.zoomWindow()->xMin, 2, 0.05);
  EXPECT_NEAR(view.zoomWindow()->xMax, 6, 0.05);
  EXPECT_NEAR(view.zoomWindow()->yMin, 10, 0.5);
  EXPECT_NEAR(view.zoomWindow()->yMax, 80, 0.5);
}

TEST(ChartView, ZoomStopsWhereTheNumbersRunOutOfPrecision) {
  ShownChart shown;
  ChartView& view = shown.view;
  for (int i = 0; i < 400; ++i) view.zoomBy(0.5, view.geometry().toPixel(5, 25)), view.grab();
  const auto& window = *view.zoomWindow();
  EXPECT_GT(window.xMax - window.xMin, 0);
  EXPECT_TRUE(std::isfinite(view.geometry().xScale.majorUnit));
  EXPECT_GE(view.geometry().xScale.ticks().size(), 1u);
  for (int i = 0; i < 3000; ++i) view.zoomBy(2, view.geometry().toPixel(5, 25));  // and out, past any sense
  view.grab();
  EXPECT_TRUE(std::isfinite(view.geometry().xScale.maximum));
}

TEST(ChartView, OnAChartOfSeveralTheHoverNamesTheSeries) {
  auto run = view_testing::runOf({{"x^2", "0", "4", "1"}, {"10 - x", "0", "4", "1"}}, false);
  ChartView view([&run] { return render::plotChartOf(run->book(), run->sheet("Chart")); });
  view.resize(800, 500);
  view.show();
  view.grab();
  ASSERT_EQ(view.chart().series.size(), 2u);
  const QString name = view.chart().series[1].name;
  ASSERT_FALSE(name.isEmpty());
  QTest::mouseMove(&view, view.geometry().toPixel(1, 9).toPoint() + QPoint(2, 1));
  ASSERT_TRUE(view.hovered().has_value());
  EXPECT_EQ(view.hovered()->series, 1);
  EXPECT_EQ(view.hoverText(*view.hovered()), name + "\nx = 1, f(x) = 9");
  // One series: its chart's title names it already.
  ShownChart single;
  EXPECT_EQ(single.view.hoverText({0, 3, 3, 9}), "x = 3, f(x) = 9");
}

TEST(ChartView, KeysZoomPanAndReset) {
  ShownChart shown;
  ChartView& view = shown.view;
  view.setFocus();
  const render::DataWindow whole = view.geometry().window();
  const double width = whole.xMax - whole.xMin, height = whole.yMax - whole.yMin;
  QTest::keyClick(&view, Qt::Key_Plus);
  ASSERT_TRUE(view.zoomWindow().has_value());
  EXPECT_NEAR(view.zoomWindow()->xMax - view.zoomWindow()->xMin, width * 0.8, width * 1e-9);
  EXPECT_NEAR(view.zoomWindow()->yMax - view.zoomWindow()->yMin, height * 0.8, height * 1e-9);
  view.grab();
  const render::DataWindow in = *view.zoomWindow();
  QTest::keyClick(&view, Qt::Key_Right);
  EXPECT_NEAR(view.zoomWindow()->xMin, in.xMin + (in.xMax - in.xMin) * 0.1, width * 1e-9);
  EXPECT_NEAR(view.zoomWindow()->yMin, in.yMin, height * 1e-9);
  view.grab();
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_NEAR(view.zoomWindow()->yMin, in.yMin - (in.yMax - in.yMin) * 0.1, height * 1e-9);
  view.grab();
  QTest::keyClick(&view, Qt::Key_Minus);
  EXPECT_NEAR(view.zoomWindow()->xMax - view.zoomWindow()->xMin, width, width * 1e-9);
  QTest::keyClick(&view, Qt::Key_0);
  EXPECT_FALSE(view.zoomWindow().has_value());
  view.grab();
  EXPECT_DOUBLE_EQ(view.geometry().window().xMax, whole.xMax);
}

TEST(ChartView, ZoomAndPanAtTheEndsOfTheDoublesStayFinite) {
  const double largest = std::numeric_limits<double>::max();
  render::PlotChart chart;
  chart.series.push_back({"edge", {-largest, 0, largest}, {-largest, 0, largest}});
  ChartView view([chart] { return chart; });
  view.resize(800, 500);
  view.show();
  view.grab();
  view.zoomBy(0.5, view.geometry().plotArea.center());
  ASSERT_TRUE(view.zoomWindow().has_value()) << "a window whose span overflows still zooms in";
  EXPECT_NEAR(view.zoomWindow()->xMax / largest, 0.5, 1e-6);
  view.grab();
  for (int i = 0; i < 20; ++i) QTest::keyClick(&view, Qt::Key_Right), view.grab();
  EXPECT_DOUBLE_EQ(view.zoomWindow()->xMax, largest) << "panning stops at the largest double";
  EXPECT_TRUE(std::isfinite(view.zoomWindow()->xMin));
  for (int i = 0; i < 10; ++i) QTest::keyClick(&view, Qt::Key_Minus), view.grab();
  for (double v : {view.geometry().xScale.minimum, view.geometry().xScale.maximum, view.geometry().yScale.majorUnit})
    EXPECT_TRUE(std::isfinite(v));
}

TEST(ChartView, HoverNumbersAsTheUsersLocaleWritesThem) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  render::PlotChart chart;
  chart.series.push_back({"half", {0.5, 1.5}, {0.25, 2.25}});
  ChartView view([chart] { return chart; });
  EXPECT_EQ(view.pointText({0, 1, 1.5, 2.25}), "x = 1,5; f(x) = 2,25");
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(view.pointText({0, 1, 1.5, 2.25}), "x = 1.5, f(x) = 2.25");
  QLocale::setDefault(before);
}

// A window of many large charts holds the points of the one on screen: a large chart is let go
// when hidden and read again when shown, its zoom kept; a small one stays read.
TEST(ChartView, OnlyALargeChartIsLetGoWhileHidden) {
  for (const std::size_t points : {std::size_t{100}, ChartView::kPointsKeptWhileHidden + 1}) {
    int loads = 0;
    ChartView view([&] {
      ++loads;
      render::PlotChart chart;
      render::PlotSeries series{"F(x) = x", {}, {}};
      for (std::size_t i = 0; i < points; ++i) series.x.push_back(double(i)), series.y.push_back(double(i));
      chart.series.push_back(std::move(series));
      return chart;
    });
    view.resize(400, 300);
    view.show();
    view.grab();
    view.zoomTo({0, 10, 0, 10});
    view.hide();
    view.show();
    view.grab();
    const bool large = points > ChartView::kPointsKeptWhileHidden;
    EXPECT_EQ(loads, large ? 2 : 1) << points << " points";
    EXPECT_EQ(view.chart().series.at(0).x.size(), points);
    ASSERT_TRUE(view.zoomWindow().has_value());
    EXPECT_EQ(view.zoomWindow()->xMax, 10);
  }
}
