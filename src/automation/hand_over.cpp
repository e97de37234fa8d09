#include "automation/hand_over.h"

#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <unistd.h>

#include "core/workbook_error.h"
#include "output/reserved_file.h"

namespace automation {

QString defaultWorkingFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (base.isEmpty()) base = QDir::tempPath() + "/tessaline-" + QString::number(getuid());
  return base + "/workbooks";
}

void prepareWorkingFolder(const QString& folder) {
  if (!QDir().mkpath(folder))
    throw core::WorkbookError("The working folder \"" + folder.toStdString() + "\" could not be created.");
  QTemporaryFile probe(folder + "/.probe-XXXXXX");
  if (!probe.open())
    throw core::WorkbookError("The working folder \"" + folder.toStdString() + "\" is not writable.");
}

// The name is claimed with an exclusive create rather than written through an output file: the
// claim is the file's existence, it holds no contents that could be lost, and the workbook is
// later written over it through the safe output path.
std::unique_ptr<output::ReservedFile> reserveBookFile(const QString& folder) {
  constexpr int kMaxBooks = 100000;
  for (int n = 1; n <= kMaxBooks; ++n) {
    const QString path = QDir(folder).filePath(QString("Book%1.xlsx").arg(n));
    if (auto reserved = output::ReservedFile::claim(QFile::encodeName(path).toStdString())) return reserved;
  }
  throw core::WorkbookError("The working folder \"" + folder.toStdString() + "\" has no free BookN.xlsx name.");
}

std::optional<QStringList> viewerCommandLine(const std::optional<QString>& command, const QString& file) {
  if (command && command->trimmed() == "none") return std::nullopt;
  QStringList line = command ? QProcess::splitCommand(*command) : QStringList{};
  if (line.isEmpty()) line = QStringList{"xdg-open"};
  line << file;
  return line;
}

void startViewer(const std::optional<QString>& command, const StartDetached& start, const QString& file) {
  auto line = viewerCommandLine(command, file);
  if (!line) return;
  const QString program = line->takeFirst();
  const bool started = start ? start(program, *line) : QProcess::startDetached(program, *line);
  if (!started)
    throw core::WorkbookError("The spreadsheet application \"" + program.toStdString() +
                                 "\" could not be started. The workbook was saved as \"" + file.toStdString() +
                                 "\"; open it yourself.");
}

namespace {

// What openers print when no application is registered for the file's type, in case one says so
// and still ends well (xdg-open, gio, kde-open, exo-open).
constexpr const char* kNothingCanOpen[] = {"no method available", "failed to find default application",
                                           "no application", "no default application"};
constexpr qsizetype kQuotedOutputLimit = 300;

bool saysNothingCanOpen(const QString& output) {
  for (const char* phrase : kNothingCanOpen)
    if (output.contains(QLatin1String(phrase), Qt::CaseInsensitive)) return true;
  return false;
}

// The opener's own words, on one line and bounded.
QString quoted(const QString& output) {
  QString line = output.simplified();
  if (line.size() > kQuotedOutputLimit) line = line.left(kQuotedOutputLimit) + QChar(0x2026);
  return line.isEmpty() ? QString() : QStringLiteral(" It said: \"%1\"").arg(line);
}

// One watch of one viewer: reports once, then lets the process run on and cleans up after it.
struct ViewerWatch {
  QProcess* process = nullptr;
  QTemporaryFile errors;
  ViewerWatched watched;
  bool reported = false;

  void report(ViewerReport report) {
    if (reported) return;
    reported = true;
    errors.seek(0);
    report.errorOutput = QString::fromLocal8Bit(errors.read(64 * 1024));
    watched(report);
  }
};

}  // namespace

QString viewerFailure(const QString& program, const QString& file, const ViewerReport& report) {
  const QString keep = QStringLiteral(" The workbook is saved as \"%1\"; open it with your spreadsheet application.").arg(file);
  if (!report.started)
    return QStringLiteral("The program \"%1\" that opens workbooks could not be started.").arg(program) + keep;
  if (report.crashed)
    return QStringLiteral("\"%1\" was not opened: \"%2\" ended abnormally.").arg(file, program) + quoted(report.errorOutput) + keep;
  if (report.exitCode && *report.exitCode != 0)
    return QStringLiteral("\"%1\" was not opened: \"%2\" found no application to open it (it ended with code %3).")
               .arg(file, program)
               .arg(*report.exitCode) + quoted(report.errorOutput) + keep;
  if (saysNothingCanOpen(report.errorOutput))
    return QStringLiteral("\"%1\" was not opened: \"%2\" found no application to open it.").arg(file, program) +
           quoted(report.errorOutput) + keep;
  return {};
}

void watchViewer(const QString& program, const QStringList& arguments, std::chrono::milliseconds patience,
                 ViewerWatched watched) {
  auto watch = std::make_shared<ViewerWatch>();
  watch->watched = std::move(watched);
  // No pipes back to us: a viewer that outlives us must not die writing to a closed one.
  watch->process = new QProcess;
  watch->process->setStandardInputFile(QProcess::nullDevice());
  watch->process->setStandardOutputFile(QProcess::nullDevice());
  if (watch->errors.open()) watch->process->setStandardErrorFile(watch->errors.fileName());
  else watch->process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(watch->process, &QProcess::errorOccurred, watch->process, [watch](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      watch->report({});
      watch->process->deleteLater();
    }
  });
  QObject::connect(watch->process, &QProcess::finished, watch->process, [watch](int code, QProcess::ExitStatus status) {
    ViewerReport report{true, std::nullopt, status == QProcess::CrashExit, {}};
    if (status == QProcess::NormalExit) report.exitCode = code;
    watch->report(report);
    watch->process->deleteLater();
  });
  QTimer::singleShot(patience, watch->process, [watch] { watch->report({true, std::nullopt, false, {}}); });
  watch->process->start(program, arguments);
}

void openWithViewer(const std::optional<QString>& command, const QString& file,
                    std::function<void(const QString& failure)> finished, const StartWatched& start) {
  auto line = viewerCommandLine(command, file);
  if (!line) return finished({});
  const QString program = line->takeFirst();
  auto report = [program, file, finished = std::move(finished)](const ViewerReport& report) {
    finished(viewerFailure(program, file, report));
  };
  if (start) start(program, *line, std::move(report));
  else watchViewer(program, *line, kViewerPatience, std::move(report));
}

}  // namespace automation
