#include "app/file_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/error_report.h"

namespace app {
namespace {

// Keys become file names: letters, digits, "-" and "_" stay, everything else (".", "/", ...)
// is percent-encoded, so no key can name another folder or a hidden file.
QString fileNameOf(const QString& key) {
  return QString::fromLatin1(QUrl::toPercentEncoding(key, QByteArray(), QByteArrayLiteral(".~"))) +
         QLatin1String(".value");
}

[[noreturn]] void fail(const QString& what, const QString& key, const QString& why) {
  throw platform::StepFailure(QStringLiteral("The setting \"%1\" could not be %2: %3").arg(key, what, why).toStdString());
}

// After the rename, the folder's entry must reach the disk too, or a power cut could lose it.
void syncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileSettingsStore::FileSettingsStore(QString baseFolder) : baseFolder_(std::move(baseFolder)) {}

QString FileSettingsStore::defaultBaseFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString FileSettingsStore::sectionFolder() const {
  return baseFolder_ + QLatin1Char('/') + QLatin1String(kSettingsApplication) + QLatin1Char('/') +
         QLatin1String(kSettingsSection);
}

QString FileSettingsStore::pathOf(const QString& key) const {
  return sectionFolder() + QLatin1Char('/') + fileNameOf(key);
}

QString FileSettingsStore::read(const QString& key, const QString& defaultValue) {
  QFile file(pathOf(key));
  if (!file.exists()) return defaultValue;
  if (QFileInfo(file).isDir()) fail(QStringLiteral("read"), key, file.fileName() + QLatin1String(" is a folder"));
  if (!file.open(QIODevice::ReadOnly)) fail(QStringLiteral("read"), key, file.errorString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) fail(QStringLiteral("read"), key, file.errorString());
  return QString::fromUtf8(bytes);
}

void FileSettingsStore::write(const QString& key, const QString& value) {
  const QString folder = sectionFolder();
  if (!QDir().mkpath(folder)) fail(QStringLiteral("saved"), key, QLatin1String("cannot create the folder ") + folder);
  QSaveFile file(pathOf(key));
  if (!file.open(QIODevice::WriteOnly)) fail(QStringLiteral("saved"), key, file.errorString());
  const QByteArray bytes = value.toUtf8();
  if (file.write(bytes) != bytes.size()) {
    const QString why = file.errorString();
    file.cancelWriting();
    fail(QStringLiteral("saved"), key, why);
  }
  // The bytes reach the disk before the rename, so a crash can never leave a short value behind
  // the key's name; a full disk shows up here at the latest.
  if (!file.flush() || ::fsync(file.handle()) != 0) {
    const QString why = file.errorString().isEmpty() ? QString::fromLocal8Bit(strerror(errno)) : file.errorString();
    file.cancelWriting();
    fail(QStringLiteral("saved"), key, why);
  }
  if (!file.commit()) fail(QStringLiteral("saved"), key, file.errorString());
  syncFolder(folder);
}

}  // namespace app
