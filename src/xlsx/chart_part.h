#pragma once
// The chart of a chart sheet as DrawingML: its plot, series, axes, title and legend.
#include <string>

#include "core/chart_data.h"

namespace xlsx {

std::string chartXml(const core::ChartData& chart);

// "Data", "'My Data'": a sheet name as a reference needs it.
std::string sheetPrefix(const std::string& sheet);

}  // namespace xlsx
