#pragma once
// Handing a workbook over to the user: a BookN.xlsx in the per-user working folder, opened with
// the user's spreadsheet application, which we start detached so it outlives us.
#include <QString>

#include <optional>

#include "sheets/engine_options.h"

namespace sheets {

// Creates the folder if needed and proves it writable. Throws excel::AutomationError.
void prepareWorkingFolder(const QString& folder);

// Claims the first free BookN.xlsx (N = 1, 2, ...) by creating it exclusively, so two instances
// never pick the same name. Returns its path. Throws excel::AutomationError.
QString reserveBookFile(const QString& folder);

// The program and arguments that open `file`: the command split like a shell would, the file
// appended; the desktop's default (xdg-open) when there is no command. Nothing for "none".
std::optional<QStringList> viewerCommandLine(const std::optional<QString>& command, const QString& file);

// Throws excel::AutomationError naming the file when the viewer cannot be started.
void startViewer(const std::optional<QString>& command, const StartDetached& start, const QString& file);

}  // namespace sheets
