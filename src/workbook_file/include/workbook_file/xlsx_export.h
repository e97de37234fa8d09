#pragma once
// Saving a workbook as .xlsx, safely: the file appears complete or not at all.
#include <functional>
#include <string>

namespace core {
class WorkbookModel;
}

namespace workbook_file {

// Writes to a temporary file beside `path` and renames it into place, so a reader never sees
// half a file. Throws core::WorkbookError naming the file on failure.
// `progress` hears how far the writing is (see xlsx::WriteProgress).
void exportXlsx(const core::WorkbookModel& model, const std::string& path,
                const std::function<void(double fraction)>& progress = {});

}  // namespace workbook_file
