#pragma once
// The words a chart shows for a series that has nothing to draw, so that an empty plot says why.
#include <QString>

#include "render/plot_chart.h"

namespace render {

// Empty when the series has a point to draw; otherwise one short line that names the series
// (its legend name, or "Series N" for the 1-based `number`) and what its cells hold:
// "F(x) = 1/x: every value is #DIV/0!".
QString emptySeriesNote(const PlotSeries& series, int number);

}  // namespace render
