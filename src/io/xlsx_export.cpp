#include "io/xlsx_export.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <stdexcept>

#include "core/workbook_error.h"
#include "xlsx/workbook_writer.h"

namespace io {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& why) {
  throw core::WorkbookError("Could not write the workbook \"" + path + "\": " + why);
}

}  // namespace

void exportXlsx(const core::WorkbookModel& model, const std::string& path) {
  const QString target = QString::fromStdString(path);
  QTemporaryFile temporary(QFileInfo(target).absolutePath() + "/." + QFileInfo(target).fileName() + ".XXXXXX");
  if (!temporary.open()) fail(path, "the folder is not writable (" + temporary.errorString().toStdString() + ").");
  temporary.close();
  const std::string temporaryPath = temporary.fileName().toStdString();
  try {
    xlsx::writeWorkbook(model, temporaryPath);
  } catch (const std::exception& error) {
    fail(path, error.what());
  }
  // QTemporaryFile made it private to us; the finished workbook is an ordinary file.
  QFile::setPermissions(temporary.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
  if (std::rename(temporaryPath.c_str(), path.c_str()) != 0) fail(path, "the finished file could not be moved into place.");
  temporary.setAutoRemove(false);  // renamed away
}

}  // namespace io
