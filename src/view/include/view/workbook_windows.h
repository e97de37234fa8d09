#pragma once
// The workbook windows of the program: the hand-over opens one per workbook, and the program
// lives on while any is open.
#include "io/hand_over.h"

namespace view {

// For the engine's showWorkbook option: a new workbook window, shown, that saves .xlsx with the
// workbook writer and opens the book in the desktop's spreadsheet application through `start`
// (empty: started detached).
io::ShowWorkbook workbookWindowOpener(io::StartDetached start = {});

// Whether a workbook window is open.
bool anyWorkbookWindowOpen();

}  // namespace view
