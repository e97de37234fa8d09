#pragma once
// The guards around the spreadsheet engine: can it be created at all, and does one run already.
#include <functional>

#include "graphing/excel/excel.h"
#include "platform/dialogs.h"

namespace graphing {

// Creates an instance and releases it at once; when that fails, explains what to check and
// calls endProgram.
void CheckExcelInstalled(excel::ApplicationFactory& factory, platform::Dialogs& dialogs,
                         const std::function<void()>& endProgram);
bool IsExcelRunning(excel::ApplicationFactory& factory);
// True when the user chose not to go on because an instance is running already.
bool WarnExcelOpen(excel::ApplicationFactory& factory, platform::Dialogs& dialogs);

}  // namespace graphing
