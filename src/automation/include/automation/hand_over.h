#pragma once
// Handing a workbook over to the user: a BookN.xlsx in the per-user working folder, opened with
// the user's spreadsheet application, which we start detached so it outlives us.
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace core {
class WorkbookModel;
}
namespace output {
class ReservedFile;
}

namespace automation {

// Starts a program detached, so it outlives us. False when it could not be started.
using StartDetached = std::function<bool(const QString& program, const QStringList& arguments)>;

// Shows a handed-over workbook, written to `file`, in a window of the program's own. The window
// holds `instance` while it is open, so the instance counts as running meanwhile.
using ShowWorkbook = std::function<void(std::shared_ptr<const core::WorkbookModel> workbook, const QString& file,
                                        std::shared_ptr<const void> instance)>;
// Takes the active workbook at the hand-over instead of any file being written.
using TakeWorkbook = std::function<void(std::shared_ptr<const core::WorkbookModel> workbook)>;

// Where handed-over workbooks go when the caller names no folder: per user, out of the user's
// documents (the application's data folder, else its cache).
QString defaultWorkingFolder();

// Creates the folder if needed and proves it writable. Throws core::WorkbookError.
void prepareWorkingFolder(const QString& folder);

// Claims the first free BookN.xlsx (N = 1, 2, ...) by creating it empty and exclusively, so two
// instances never pick the same name. The reservation removes the empty file again when it ends
// before a workbook was written over it, and so does a signal that ends the program meanwhile.
// Throws core::WorkbookError.
std::unique_ptr<output::ReservedFile> reserveBookFile(const QString& folder);

// The program and arguments that open `file`: the command split like a shell would, the file
// appended; the desktop's default (xdg-open) when there is no command. Nothing for "none".
std::optional<QStringList> viewerCommandLine(const std::optional<QString>& command, const QString& file);

// Throws core::WorkbookError naming the file when the viewer cannot be started.
void startViewer(const std::optional<QString>& command, const StartDetached& start, const QString& file);

// What a viewer started for a file did in its first few seconds.
struct ViewerReport {
  bool started = false;
  std::optional<int> exitCode;  // none: still running when we stopped waiting, or crashed
  bool crashed = false;
  QString errorOutput;          // what it wrote to its error output meanwhile
};
using ViewerWatched = std::function<void(const ViewerReport& report)>;
// Starts a viewer and reports, from the event loop, how it ended within the patience given, or
// that it still runs (it then runs on, unwatched, and outlives us). Never blocks.
using StartWatched = std::function<void(const QString& program, const QStringList& arguments, ViewerWatched watched)>;

inline constexpr std::chrono::milliseconds kViewerPatience{3000};

// The failure to tell the user, naming the file, or an empty text when the viewer took it: it
// started and either still runs or ended well without saying that nothing can open the file.
QString viewerFailure(const QString& program, const QString& file, const ViewerReport& report);

void watchViewer(const QString& program, const QStringList& arguments, std::chrono::milliseconds patience,
                 ViewerWatched watched);

// Opens `file` with the command (the desktop's default without one) through `start` (the real
// watchViewer when empty) and calls `finished` with viewerFailure's text.
void openWithViewer(const std::optional<QString>& command, const QString& file,
                    std::function<void(const QString& failure)> finished, const StartWatched& start = {});

}  // namespace automation
