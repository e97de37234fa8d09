#pragma once
// Writing a workbook as .xlsx with libxlsxwriter, in constant_memory mode: rows go out in
// ascending order straight from the engine's columns, formulas with their computed values.
#include <string>

namespace core {
class WorkbookModel;
}

namespace io {

// Writes to a temporary file beside `path` and renames it into place, so a reader never sees
// half a file. Throws core::WorkbookError naming the file on failure.
void exportXlsx(const core::WorkbookModel& model, const std::string& path);

}  // namespace io
