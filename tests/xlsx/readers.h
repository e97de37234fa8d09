#pragma once
// The independent readers the writer's files are checked with: a Python script over the raw
// XML and openpyxl, LibreOffice headless (with a private profile that always or never
// recalculates on loading), and gnumeric's ssconvert. Each returns what it printed, so a test
// can show a reader's complaint.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace xlsx_test {

struct ReaderRun {
  bool ok = false;
  QString output;  // stdout and stderr
};

inline ReaderRun runReader(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment =
                                                                                     QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  const bool finished = process.waitForFinished(240000);
  if (!finished) process.kill();
  ReaderRun run;
  run.output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
  run.ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  return run;
}

// {"raw": {cell: {t, f, v, hex}}, "openpyxl": {cell: {value, pytype, dataType, hex, formula}}};
// empty when the script failed (a warning counts as failure), with the reason in `complaint`.
inline QJsonObject readCells(const QString& book, const QString& sheet, QString* complaint = nullptr) {
  const ReaderRun run = runReader("/usr/bin/python3", {QStringLiteral(TESSALINE_XLSX_TEST_DIR "/xlsx_cells.py"), book, sheet});
  if (!run.ok) {
    if (complaint) *complaint = run.output;
    return {};
  }
  return QJsonDocument::fromJson(run.output.toUtf8()).object();
}

enum class Recalculation { Always, Never };

// A LibreOffice profile whose setting for .xlsx files is to recalculate always, or never.
inline void writeProfile(const QString& profile, Recalculation mode) {
  QDir().mkpath(profile + "/user");
  QFile file(profile + "/user/registrymodifications.xcu");
  file.open(QIODevice::WriteOnly);
  file.write(QStringLiteral(
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                 "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                 "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\"><prop oor:name=\"OOXMLRecalcMode\" "
                 "oor:op=\"fuse\"><value>%1</value></prop></item>\n</oor:items>\n")
                 .arg(mode == Recalculation::Always ? 0 : 1)
                 .toUtf8());
}

inline bool haveLibreOffice() { return !QStandardPaths::findExecutable("soffice").isEmpty(); }
inline bool haveGnumeric() { return !QStandardPaths::findExecutable("ssconvert").isEmpty(); }

// soffice --convert-to `filter` into `outDir`; the converted file is outDir/<base>.<extension>.
inline ReaderRun convertWithLibreOffice(const QString& book, const QString& filter, const QString& outDir,
                                        Recalculation mode) {
  QTemporaryDir profile;
  writeProfile(profile.path(), mode);
  return runReader(QStandardPaths::findExecutable("soffice"),
                   {"-env:UserInstallation=file://" + profile.path(), "--headless", "--norestore", "--convert-to", filter,
                    "--outdir", outDir, book});
}

// One CSV file per sheet: `pattern` names them, %s standing for the sheet's name.
inline ReaderRun convertWithGnumeric(const QString& book, const QString& pattern) {
  return runReader(QStandardPaths::findExecutable("ssconvert"), {"-S", book, pattern});
}

}  // namespace xlsx_test
