#pragma once
// Whether the per-user folder that every run writes its workbook into can be used. Without it no
// instance of the spreadsheet engine can be made, and start-up would blame the spreadsheet
// application for what is a folder's fault.
#include <QString>

namespace app {

// Why `folder` cannot be made or written, in words that name it (and say so when HOME is not
// set, the usual cause), or empty text when it can be used.
QString workingFolderProblem(const QString& folder);

}  // namespace app
