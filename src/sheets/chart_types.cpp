#include "sheets/chart_types.h"

#include <xlsxwriter.h>

#include <array>

namespace sheets {
namespace {

constexpr std::array kChartTypes = {
    ChartTypeInfo{73, LXW_CHART_SCATTER_SMOOTH, true, true},                // xlXYScatterSmoothNoMarkers
    ChartTypeInfo{72, LXW_CHART_SCATTER_SMOOTH_WITH_MARKERS, true, true},   // xlXYScatterSmooth
    ChartTypeInfo{74, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS, true, true}, // xlXYScatterLines
    ChartTypeInfo{75, LXW_CHART_SCATTER_STRAIGHT, true, true},              // xlXYScatterLinesNoMarkers
    ChartTypeInfo{-4169, LXW_CHART_SCATTER, true, true},                    // xlXYScatter
    ChartTypeInfo{4, LXW_CHART_LINE, false, true},                          // xlLine
    ChartTypeInfo{51, LXW_CHART_COLUMN, false, true},                       // xlColumnClustered
    ChartTypeInfo{57, LXW_CHART_BAR, false, true},                          // xlBarClustered
    ChartTypeInfo{1, LXW_CHART_AREA, false, true},                          // xlArea
    ChartTypeInfo{5, LXW_CHART_PIE, false, false},                          // xlPie
};

}  // namespace

std::optional<ChartTypeInfo> chartTypeInfo(int excelType) {
  for (const auto& info : kChartTypes)
    if (info.excelType == excelType) return info;
  return std::nullopt;
}

}  // namespace sheets
