#pragma once
// A chart as it is drawn: its texts, gridlines and the numbers of each series, read out of the
// workbook once. Cells that hold no number (errors, text, empty) are NaN and make gaps.
#include <QString>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace render {

struct PlotSeries {
  QString name;
  std::vector<double> x;
  std::vector<double> y;  // as many as x
  // The points, in ascending order, whose f(x) this engine could not compute (the spreadsheet
  // application computes it): gaps that the hover names and the x axis still spans.
  std::vector<std::size_t> uncomputed = {};
  // What the first value without a number holds ("#DIV/0!", "not computed", "text", "empty"),
  // and whether every value without a number holds the same: the words for a series with
  // nothing to draw.
  QString firstGap = {};
  bool gapsAlike = true;

  bool isUncomputed(std::size_t point) const {
    return std::binary_search(uncomputed.begin(), uncomputed.end(), point);
  }
};

struct Gridlines {
  bool major = false;
  bool minor = false;
};

// Where the legend stands; the file the workbook is saved as puts it on the right.
enum class LegendPosition { Right, Left, Top, Bottom };

struct PlotChart {
  QString title;  // empty: no title
  bool showLegend = true;
  LegendPosition legendPosition = LegendPosition::Right;
  Gridlines xGridlines;
  Gridlines yGridlines{.major = true};
  std::vector<PlotSeries> series;
};

// A rectangle of data coordinates: the part of the plane a chart shows.
struct DataWindow {
  double xMin = 0;
  double xMax = 1;
  double yMin = 0;
  double yMax = 1;
};

}  // namespace render
