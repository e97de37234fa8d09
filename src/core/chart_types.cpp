#include "core/chart_types.h"

#include <array>

namespace core {
namespace {

constexpr std::array kChartTypes = {
    ChartTypeInfo{ChartType::XYScatterSmoothNoMarkers, true, true},
    ChartTypeInfo{ChartType::XYScatterSmooth, true, true},
    ChartTypeInfo{ChartType::XYScatterLines, true, true},
    ChartTypeInfo{ChartType::XYScatterLinesNoMarkers, true, true},
    ChartTypeInfo{ChartType::XYScatter, true, true},
    ChartTypeInfo{ChartType::Line, false, true},
    ChartTypeInfo{ChartType::ColumnClustered, false, true},
    ChartTypeInfo{ChartType::BarClustered, false, true},
    ChartTypeInfo{ChartType::Area, false, true},
    ChartTypeInfo{ChartType::Pie, false, false},
};

}  // namespace

std::optional<ChartTypeInfo> chartTypeInfo(int objectModelType) {
  for (const auto& info : kChartTypes)
    if (static_cast<int>(info.type) == objectModelType) return info;
  return std::nullopt;
}

ChartTypeInfo chartTypeInfo(ChartType type) { return *chartTypeInfo(static_cast<int>(type)); }

}  // namespace core
