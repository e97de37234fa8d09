#include "platform/file_check.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "platform/error_report.h"

namespace platform {

FileTimeCheck checkLastModified(const QString& path) {
  if (path.isEmpty()) return {};
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) == 0) return {FileTime::Readable, {}};
  if (errno == ENOENT || errno == ENOTDIR) return {};
  return {FileTime::Unreadable, QString::fromLocal8Bit(std::strerror(errno))};
}

bool lastModifiedReadable(const QString& path) {
  const FileTimeCheck check = checkLastModified(path);
  if (check.state == FileTime::Unreadable)
    throw StepFailure(QStringLiteral("The time of %1 could not be read: %2").arg(path, check.failure).toStdString());
  return check.state == FileTime::Readable;
}

}  // namespace platform
