#pragma once
// The chart's legend: each series' line sample and name, placed where the chart puts it. Beside
// the plot the entries fill rows as tall as the chart allows and as many columns as need be;
// above or below it, centred rows. Long names are elided and what does not fit ends in "+N more".
#include <QRectF>

#include "chart_metrics.h"
#include "render/plot_chart.h"

class QPainter;

namespace render {

// Paints the legend and returns what is left of `inner` for the plot.
QRectF placeLegend(QPainter& painter, const PlotChart& chart, const Metrics& m, const QRectF& area, QRectF inner);

}  // namespace render
