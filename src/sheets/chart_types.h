#pragma once
// The chart types the engine accepts: those the export can write. One row per type.
#include <optional>

namespace sheets {

struct ChartTypeInfo {
  int excelType;      // the object model's constant
  int writerType;     // libxlsxwriter's LXW_CHART_* value
  bool xy;            // SetSourceData takes the first column as x values
  bool hasAxes;
};

std::optional<ChartTypeInfo> chartTypeInfo(int excelType);

inline constexpr int xlColumnClustered = 51;  // the type of a new, empty chart

}  // namespace sheets
