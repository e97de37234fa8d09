#pragma once
// Shared by the bench programs: timing, peak memory, and the floor every export is held
// against: the same cells and charts written straight with libxlsxwriter in constant_memory mode.
#include <xlsxwriter.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/cell_address.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

inline long statusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return -1;
}

inline long peakResidentKb() { return statusKb("VmHWM:"); }
inline long residentKb() { return statusKb("VmRSS:"); }

// "=SIN(A1)+A1" for the x cell of that row and column.
inline std::string sinPlusXFormula(int row, int xColumn) {
  const std::string x = core::cellName(row, xColumn);
  return "=SIN(" + x + ")+" + x;
}

// Chart sheets first, then the hidden Data sheet with x and =SIN(x)+x for each equation, one
// smoothed scatter chart per equation, the first chart sheet active.
inline void bareLibxlsxwriter(const std::string& path, int equations, int points,
                              const std::function<double(int row)>& xOf,
                              const std::function<std::string(int equation)>& chartName) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
  std::vector<lxw_chartsheet*> chartsheets;
  for (int e = 0; e < equations; ++e) chartsheets.push_back(workbook_add_chartsheet(workbook, chartName(e).c_str()));
  lxw_worksheet* data = workbook_add_worksheet(workbook, "Data");
  for (int row = 1; row <= points; ++row) {
    const double x = xOf(row);
    for (int e = 0; e < equations; ++e) {
      const auto column = static_cast<lxw_col_t>(2 * e);
      worksheet_write_number(data, row - 1, column, x, nullptr);
      worksheet_write_formula_num(data, row - 1, column + 1, sinPlusXFormula(row, 2 * e + 1).c_str(), nullptr,
                                  std::sin(x) + x);
    }
  }
  for (int e = 0; e < equations; ++e) {
    lxw_chart* chart = workbook_add_chart(workbook, LXW_CHART_SCATTER_SMOOTH);
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, "Data", 0, 2 * e, points - 1, 2 * e);
    chart_series_set_values(series, "Data", 0, 2 * e + 1, points - 1, 2 * e + 1);
    chart_series_set_name(series, "y=sin(x)+x");
    chart_title_set_name(chart, chartName(e).c_str());
    chartsheet_set_chart(chartsheets[e], chart);
  }
  worksheet_hide(data);
  chartsheet_activate(chartsheets.front());
  workbook_close(workbook);
}

}  // namespace bench
