#pragma once
// Which part holds which sheet: worksheets and chart sheets are numbered in their own folders
// in the workbook's order; each chart sheet has a drawing and a chart of the same number.
#include <cstddef>
#include <vector>

#include "core/workbook_model.h"

namespace xlsx {

struct PlannedSheet {
  const core::SheetNode* node = nullptr;
  bool chart = false;
  int part = 0;           // xl/worksheets/sheetN.xml or xl/chartsheets/sheetN.xml (and drawingN, chartN)
  bool selected = false;  // the active tab
};

struct PackagePlan {
  std::vector<PlannedSheet> sheets;
  int worksheets = 0;
  int chartsheets = 0;
  std::size_t activeTab = 0;
  std::size_t firstVisibleTab = 0;
};

// The first visible chart sheet is active; without one, the workbook's active sheet.
PackagePlan planPackage(const core::WorkbookModel& model);

}  // namespace xlsx
