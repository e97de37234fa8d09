#pragma once
// What a chart sheet holds: type, title, axes' gridlines, legend and its series.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/cell_address.h"
#include "core/chart_types.h"

namespace core {

struct SheetNode;

// A series' x or y values: a block on a worksheet, held by the sheet itself so that a rename
// follows and a deletion shows.
struct SeriesReference {
  std::weak_ptr<SheetNode> sheet;
  CellBlock block;
};

struct SeriesData {
  std::string name;
  std::optional<SeriesReference> xValues;
  std::optional<SeriesReference> values;
  bool deleted = false;
};

struct AxisGridlines {
  bool major = false;
  bool minor = false;
};

struct ChartData {
  ChartType type = ChartType::ColumnClustered;
  bool hasTitle = false;
  std::string title;
  bool hasLegend = true;
  AxisGridlines categoryAxis;                 // Axes(1)
  AxisGridlines valueAxis{.major = true};     // Axes(2)
  std::vector<std::shared_ptr<SeriesData>> series;
};

}  // namespace core
