#pragma once
// Drawing one XY scatter chart the way the spreadsheet application draws this workbook: white
// chart area, a bold title on top, the legend where the chart puts it (on the right by
// default), axes scaled to round numbers that cross at 0 with their labels next to them,
// horizontal major gridlines, the series as smoothed lines without markers, and a line of words
// for each series with nothing to draw. QPainter only, so the same code draws on screen, into
// pictures and into PDF pages. Numbers are written in the default QLocale.
#include <QColor>
#include <QPointF>
#include <QRectF>

#include <optional>

#include "render/axis_scale.h"
#include "render/plot_chart.h"

class QPainter;

namespace render {

// Where the plot landed, for mapping between pixels and data.
struct ChartGeometry {
  QRectF plotArea;
  AxisScale xScale;
  AxisScale yScale;

  // Any finite data maps to a finite pixel, and any pixel to finite data: the arithmetic works
  // on half spans, so that a chart reaching to the largest doubles stays drawable.
  QPointF toPixel(double x, double y) const;
  QPointF toData(const QPointF& pixel) const;
  DataWindow window() const { return {xScale.minimum, xScale.maximum, yScale.minimum, yScale.maximum}; }
};

struct PaintOptions {
  // Zoomed: the window shown; otherwise the automatic scales.
  std::optional<DataWindow> window;
  // Series with many points per pixel column are drawn through the first, lowest, highest and
  // last point of each column, which covers the same pixels. Off: every point is drawn.
  bool reduceDensePoints = true;
};

// The smallest window that holds every finite point and the x of every point not computed
// here; nothing when there is none.
std::optional<DataWindow> dataExtent(const PlotChart& chart);

// The axis scales that a chart with this data gets (automatic, or the zoom window's).
ChartGeometry axesFor(const PlotChart& chart, const std::optional<DataWindow>& window);

// The colour of the series with this 0-based index: the spreadsheet's six accent colours,
// then darker and lighter shades of them.
QColor seriesColor(int index);

// Draws the chart into `area` and returns where its plot is.
ChartGeometry paintChart(QPainter& painter, const QRectF& area, const PlotChart& chart,
                         const PaintOptions& options = {});

}  // namespace render
