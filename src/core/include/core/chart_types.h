#pragma once
// The chart types a chart sheet holds. The values are the object model's constants: callers
// pass them in as numbers and stored charts keep them.
#include <optional>

namespace core {

enum class ChartType : int {
  XYScatterSmoothNoMarkers = 73,
  XYScatterSmooth = 72,
  XYScatterLines = 74,
  XYScatterLinesNoMarkers = 75,
  XYScatter = -4169,
  Line = 4,
  ColumnClustered = 51,  // the type of a new, empty chart
  BarClustered = 57,
  Area = 1,
  Pie = 5,
};

struct ChartTypeInfo {
  ChartType type;
  bool xy;       // SetSourceData takes the first column as x values
  bool hasAxes;
};

// The type with this number, or nothing when it is none we hold.
std::optional<ChartTypeInfo> chartTypeInfo(int objectModelType);
ChartTypeInfo chartTypeInfo(ChartType type);

inline constexpr int xlColumnClustered = static_cast<int>(ChartType::ColumnClustered);

}  // namespace core
