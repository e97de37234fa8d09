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


// The most an equation file may hold. A list of the most equations one workbook can plot
// (128) with formulas at the longest a cell takes (8,192 characters) is about 1 MB; 64 MB leaves
// room for far longer lists and fields, and reading that much costs at most about half a GB.
inline constexpr qint64 kEquationFileLimit = 64 * 1024 * 1024;

// The text of an equation file's bytes (see decodeTextFile); a file that holds NUL bytes and is
// not UTF-16 fails with a platform::StepFailure naming path.
QString textOfEquationFile(const QByteArray& bytes, const QString& path);
// Appends one row per line of text, as LoadEquationFile does with a file's text; path names the
// file in messages.
void appendEquationText(EquationListModel& list, QStringView text, const QString& path);

// Appends one row per line of the file. A missing file shows "File not found" and adds nothing.
// A malformed line ends the load there (rows before it, and the row it began, stay) with a
// platform::StepFailure that names the line and the file; so does a folder, a pipe or device,
// a file over kEquationFileLimit, an unreadable or a binary file (before anything is read).
void LoadEquationFile(EquationListModel& list, const QString& path, platform::Dialogs& dialogs);

}  // namespace equations
