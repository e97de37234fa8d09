#include "xlsx_parts.h"

namespace io::xlsx {
namespace {

std::uint8_t writerType(core::ChartType type) {
  switch (type) {
    case core::ChartType::XYScatterSmoothNoMarkers: return LXW_CHART_SCATTER_SMOOTH;
    case core::ChartType::XYScatterSmooth: return LXW_CHART_SCATTER_SMOOTH_WITH_MARKERS;
    case core::ChartType::XYScatterLines: return LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS;
    case core::ChartType::XYScatterLinesNoMarkers: return LXW_CHART_SCATTER_STRAIGHT;
    case core::ChartType::XYScatter: return LXW_CHART_SCATTER;
    case core::ChartType::Line: return LXW_CHART_LINE;
    case core::ChartType::ColumnClustered: return LXW_CHART_COLUMN;
    case core::ChartType::BarClustered: return LXW_CHART_BAR;
    case core::ChartType::Area: return LXW_CHART_AREA;
    case core::ChartType::Pie: return LXW_CHART_PIE;
  }
  return LXW_CHART_COLUMN;
}

struct ResolvedRange {
  std::string sheet;
  core::CellBlock block;
};

std::optional<ResolvedRange> resolve(const std::optional<core::SeriesReference>& reference) {
  if (!reference) return std::nullopt;
  auto sheet = reference->sheet.lock();
  if (!sheet || sheet->deleted) return std::nullopt;
  return ResolvedRange{sheet->name, reference->block};
}

template <typename SetRange>
void setRange(lxw_chart_series* series, const ResolvedRange& range, SetRange set) {
  const core::CellBlock& b = range.block;
  set(series, range.sheet.c_str(), static_cast<lxw_row_t>(b.firstRow - 1), static_cast<lxw_col_t>(b.firstColumn - 1),
      static_cast<lxw_row_t>(b.lastRow - 1), static_cast<lxw_col_t>(b.lastColumn - 1));
}

// Series whose values are gone (deleted sheet) or never set are left out, as the spreadsheet
// draws nothing for them.
int writeSeries(lxw_chart* chart, const core::ChartData& data, bool xy) {
  int written = 0;
  for (const auto& series : data.series) {
    auto values = resolve(series->values);
    if (!values) continue;
    lxw_chart_series* out = chart_add_series(chart, nullptr, nullptr);
    setRange(out, *values, chart_series_set_values);
    if (auto x = resolve(series->xValues)) setRange(out, *x, chart_series_set_categories);
    if (!series->name.empty()) chart_series_set_name(out, StorableText(series->name).c_str());
    if (xy && data.type == core::ChartType::XYScatterSmoothNoMarkers) chart_series_set_smooth(out, LXW_TRUE);
    ++written;
  }
  return written;
}

// libxlsxwriter refuses a chart without series, and a chart sheet needs a chart: an empty
// chart gets one invisible series over a blank cell, and no legend.
bool writePlaceholderSeries(lxw_chart* chart, const core::WorkbookModel& model) {
  for (const auto& sheet : model.sheets()) {
    if (!sheet->cells || sheet->cells->columnCount() >= core::kMaxColumns) continue;
    const auto blankColumn = static_cast<lxw_col_t>(sheet->cells->columnCount());  // 0-based: the next one
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_values(series, sheet->name.c_str(), 0, blankColumn, 0, blankColumn);
    // A scatter series is written with its x values, and libxlsxwriter reads them unchecked.
    chart_series_set_categories(series, sheet->name.c_str(), 0, blankColumn, 0, blankColumn);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    return true;
  }
  return false;
}

void writeTitle(lxw_chart* chart, const core::ChartData& data) {
  if (data.hasTitle && !data.title.empty()) chart_title_set_name(chart, StorableText(data.title).c_str());
  else chart_title_off(chart);  // otherwise a one-series chart shows the series name as title
}

void writeGridlines(lxw_chart* chart, const core::ChartData& data) {
  chart_axis_major_gridlines_set_visible(chart->x_axis, data.categoryAxis.major);
  chart_axis_minor_gridlines_set_visible(chart->x_axis, data.categoryAxis.minor);
  chart_axis_major_gridlines_set_visible(chart->y_axis, data.valueAxis.major);
  chart_axis_minor_gridlines_set_visible(chart->y_axis, data.valueAxis.minor);
}

}  // namespace

lxw_error writeChart(lxw_workbook* workbook, lxw_chartsheet* chartsheet, const core::WorkbookModel& model,
                     const core::SheetNode& sheet) {
  const core::ChartData& data = *sheet.chart;
  const core::ChartTypeInfo type = core::chartTypeInfo(data.type);
  lxw_chart* chart = workbook_add_chart(workbook, writerType(data.type));
  if (!chart) return LXW_ERROR_MEMORY_MALLOC_FAILED;
  if (writeSeries(chart, data, type.xy) == 0 && !writePlaceholderSeries(chart, model)) return LXW_NO_ERROR;
  writeTitle(chart, data);
  if (type.hasAxes) writeGridlines(chart, data);
  return chartsheet_set_chart(chartsheet, chart);
}

}  // namespace io::xlsx
