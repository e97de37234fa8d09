#pragma once
// The pieces of the .xlsx export, one per element written (used by xlsx_export.cpp only).
#include <xlsxwriter.h>

#include "core/storable_text.h"
#include "core/workbook_model.h"

namespace io::xlsx {

// The last guard against an ill-formed part: text the file cannot hold (see
// core/storable_text.h) is written with U+FFFD in place of each such character. The workbook
// refuses such text where it is written; this catches computed texts and anything missed.
class StorableText {
 public:
  explicit StorableText(const std::string& text)
      : replaced_(core::unstorableCharacter(text) ? core::storableText(text) : std::string()),
        text_(replaced_.empty() ? text.c_str() : replaced_.c_str()) {}
  const char* c_str() const { return text_; }

 private:
  std::string replaced_;
  const char* text_;
};

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
