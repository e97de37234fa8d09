#pragma once
// The pieces of the .xlsx export, one per element written (used by xlsx_export.cpp only).
#include <xlsxwriter.h>

#include "core/workbook_model.h"

namespace io::xlsx {

// Shared formats, created once per file.
struct Formats {
  lxw_format* boolean = nullptr;  // shows a cached 1/0 as TRUE/FALSE
};

// All cells of a worksheet, row by row (constant_memory mode needs ascending rows).
lxw_error writeCells(lxw_worksheet* worksheet, const core::WorkbookModel& model, const core::SheetNode& sheet,
                     const Formats& formats);

// The chart of a chart sheet, with its series, title, legend and gridlines.
lxw_error writeChart(lxw_workbook* workbook, lxw_chartsheet* chartsheet, const core::WorkbookModel& model,
                     const core::SheetNode& sheet);

}  // namespace io::xlsx
