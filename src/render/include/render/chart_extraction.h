#pragma once
// Reading a chart sheet of a workbook into the numbers and texts that are drawn.
#include <vector>

#include "render/plot_chart.h"

namespace core {
class WorkbookModel;
struct SheetNode;
}  // namespace core

namespace render {

// The chart on `chartSheet`: its title, gridlines and every series' values, formulas computed.
// A series without x values is plotted against 1, 2, 3, ...; one whose cells are gone is empty.
PlotChart plotChartOf(const core::WorkbookModel& workbook, const core::SheetNode& chartSheet);

// Every chart sheet of the workbook, in workbook order, hidden ones included.
std::vector<PlotChart> plotChartsOf(const core::WorkbookModel& workbook);

}  // namespace render
