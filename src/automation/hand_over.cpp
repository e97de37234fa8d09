#include "automation/hand_over.h"

#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>

#include <unistd.h>

#include "core/workbook_error.h"

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

QString reserveBookFile(const QString& folder) {
  constexpr int kMaxBooks = 100000;
  for (int n = 1; n <= kMaxBooks; ++n) {
    QFile file(QDir(folder).filePath(QString("Book%1.xlsx").arg(n)));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return file.fileName();
    if (!file.exists())  // not taken, yet it cannot be made
      throw core::WorkbookError("The workbook \"" + file.fileName().toStdString() + "\" could not be created.");
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

}  // namespace automation
