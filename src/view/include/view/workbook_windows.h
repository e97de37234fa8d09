#pragma once
// The workbook windows of the program: the hand-over opens one per workbook, in front, and the
// program lives on while any is open.
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace core {
class WorkbookModel;
}

namespace view {

class WindowSizeMemory;

// Shows a handed-over workbook, written to `file`, in a window that holds `instance` while open.
using ShowWorkbook = std::function<void(std::shared_ptr<const core::WorkbookModel> workbook, const QString& file,
                                        std::shared_ptr<const void> instance)>;
// Called once it is known whether the spreadsheet application took the book: with an empty
// text, or with what went wrong, naming the book.
using OpenFinished = std::function<void(const QString& failure)>;
// Opens a saved book in the desktop's spreadsheet application without blocking the caller.
using OpenInSpreadsheet = std::function<void(const QString& book, OpenFinished finished)>;

// For the engine's showWorkbook option: a new workbook window that saves .xlsx with the workbook
// writer and hands a book to the spreadsheet application through `open`. It opens inside the
// usable area of the main window's screen at the size last given in `sizeFile`, cascaded
// below the open ones, and comes to the front.
ShowWorkbook workbookWindowOpener(OpenInSpreadsheet open, QString sizeFile);

// Sets the geometry of a workbook window about to be shown (see workbookWindowOpener).
void placeNewWorkbookWindow(QWidget* window, const WindowSizeMemory& memory);

// Raises and activates a window.
void bringToFront(QWidget* window);

// Whether a workbook window is open.
bool anyWorkbookWindowOpen();

}  // namespace view
