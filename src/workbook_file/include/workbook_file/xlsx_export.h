#pragma once
// Saving a workbook as .xlsx, safely: the file appears complete or not at all.
#include <string>

namespace core {
class WorkbookModel;
}

namespace workbook_file {

// Writes to a temporary file beside `path` and renames it into place, so a reader never sees
// half a file. Throws core::WorkbookError naming the file on failure.
void exportXlsx(const core::WorkbookModel& model, const std::string& path);

}  // namespace workbook_file
