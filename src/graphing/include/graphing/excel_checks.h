#pragma once
// The checks made before graphing: can a spreadsheet instance be created at all, and is one
// running already (whose windows the run could disturb)?
#include <QString>

#include <functional>

#include "excel/excel.h"
#include "platform/dialogs.h"

namespace graphing {

// The name a running spreadsheet application answers with when it is the one we drive.
inline constexpr char kExcelApplicationName[] = "Microsoft Excel";

extern const QString kExcelNotCreatedText;
extern const QString kExcelMayBeOpenText;

// Creates a new instance and releases it at once. When that fails, tells the user how to put
// it right and calls endProgram (the program ends at once; nothing is saved).
void CheckExcelInstalled(excel::ApplicationFactory& factory, platform::Dialogs& dialogs,
                         const std::function<void()>& endProgram);

// Whether an instance runs already. Any failure counts as "not running".
bool IsExcelRunning(excel::ApplicationFactory& factory);

// When one runs, asks whether to proceed anyway. True means "stop" (the user answered No).
bool WarnExcelOpen(excel::ApplicationFactory& factory, platform::Dialogs& dialogs);

}  // namespace graphing
