#pragma once
// The workbook windows of the program: the hand-over opens one per workbook, and the program
// lives on while any is open.
#include <QString>

#include <functional>
#include <memory>

namespace core {
class WorkbookModel;
}

namespace view {

// Shows a handed-over workbook, written to `file`, in a window that holds `instance` while open.
using ShowWorkbook = std::function<void(std::shared_ptr<const core::WorkbookModel> workbook, const QString& file,
                                        std::shared_ptr<const void> instance)>;
// Opens a saved book in the desktop's spreadsheet application; throws core::WorkbookError.
using OpenInSpreadsheet = std::function<void(const QString& book)>;

// For the engine's showWorkbook option: a new workbook window, shown, that saves .xlsx with the
// workbook writer and hands a book to the spreadsheet application through `open`.
ShowWorkbook workbookWindowOpener(OpenInSpreadsheet open);

// Whether a workbook window is open.
bool anyWorkbookWindowOpen();

}  // namespace view
