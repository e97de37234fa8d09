#pragma once
// Equation files: one row per line, "equation, start, end, step", as Help describes them.
#include <QString>
#include <QStringList>

#include "equations/equation_list.h"
#include "platform/dialogs.h"

namespace equations {

// The file-open dialog of Load Equations From File, made afresh for each use.
inline constexpr char kEquationFileDialogTitle[] = "Load List(s) - Hold Ctrl to select multiple list files";
inline constexpr char kEquationFileDialogFilter[] = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
// Room for the joined names of several hundred files with long paths.
inline constexpr int kEquationFileDialogRoom = 256 * 1024;
platform::FileOpenSettings equationFileDialogSettings();


// Collapses doubled "/" (left to right, so "///" becomes "//"). A path that starts with "/"
// keeps exactly one: on this platform a leading "//" names no network share, only the root.
QString NormalizeSelectedPath(const QString& path);


// Appends one row per line of the file. A missing file shows "File not found" and adds nothing.
// A malformed line ends the load there (rows before it, and the row it began, stay) with a
// platform::StepFailure that names the line and the file; so does a folder, an unreadable or a
// binary file.
void LoadEquationFile(EquationListModel& list, const QString& path, platform::Dialogs& dialogs);

}  // namespace equations
