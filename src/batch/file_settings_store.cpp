#include "batch/file_settings_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "platform/error_report.h"
#include "platform/whole_file.h"

namespace app {
namespace {

// Keys become file names: letters, digits, "-" and "_" stay, everything else (".", "/", ...)
// is percent-encoded, so no key can name another folder or a hidden file.
QString fileNameOf(const QString& key) {
  return QString::fromLatin1(QUrl::toPercentEncoding(key, QByteArray(), QByteArrayLiteral(".~"))) +
         QLatin1String(".value");
}

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

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

// A temporary file beside the value's, removed again unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const QString& beside) : name_(QFile::encodeName(beside) + ".XXXXXX") {
    fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(name_.constData());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  int fd() const { return fd_; }
  // Closes the file and gives it the target's name; errno tells why when it fails.
  bool closeAndRename(const QString& target) {
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return false;
    renamed_ = ::rename(name_.constData(), QFile::encodeName(target).constData()) == 0;
    return renamed_;
  }

 private:
  QByteArray name_;
  int fd_ = -1;
  bool renamed_ = false;
};

}  // namespace

FileSettingsStore::FileSettingsStore(QString baseFolder, WriteCall writeCall)
    : baseFolder_(std::move(baseFolder)), writeCall_(std::move(writeCall)) {
  if (!writeCall_) writeCall_ = [](int fd, const void* data, size_t size) { return ::write(fd, data, size); };
}

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

QString FileSettingsStore::sparePathOf(const QString& key, const char* why) const {
  const QString stem = pathOf(key) + QLatin1Char('.') + QLatin1String(why) + QLatin1Char('-') +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString path = stem;
  for (int n = 2; QFile::exists(path); ++n) path = stem + QLatin1Char('-') + QString::number(n);
  return path;
}

QString FileSettingsStore::read(const QString& key, const QString& defaultValue) {
  notice_.clear();
  const platform::WholeFile file = platform::readWholeFile(pathOf(key), kSettingsValueLimit);
  if (file.outcome == platform::WholeFileOutcome::Missing) return defaultValue;
  if (file.outcome != platform::WholeFileOutcome::Read) fail(QStringLiteral("read"), key, file.why);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString value = utf8.decode(file.bytes);
  if (utf8.hasError()) {
    // The next save would write U+FFFD in their place: keep the bytes as they were, and say so.
    const QString copy = keepCopy(key, file.bytes);
    notice_ = QStringLiteral("The saved \"%1\" held bytes that are not UTF-8 text; they are shown as \uFFFD and "
                             "will be saved that way. The value as it was stored is kept unchanged in %2")
                  .arg(key, copy);
  }
  return value;
}

QString FileSettingsStore::keepCopy(const QString& key, const QByteArray& bytes) const {
  const QString path = sparePathOf(key, "not-utf8");
  QFile copy(path);
  // As private as the list it keeps (0600).
  if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
      copy.write(bytes) != bytes.size() || !copy.flush())
    fail(QStringLiteral("read"), key,
         QStringLiteral("it holds bytes that are not UTF-8 text, and no copy of them could be kept in %1: %2")
             .arg(path, copy.errorString()));
  return path;
}

QString FileSettingsStore::setAside(const QString& key) {
  const QString path = pathOf(key);
  const QString spare = sparePathOf(key, "unread");
  if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(spare).constData()) == 0) return spare;
  if (errno == ENOENT) return {};
  fail(QStringLiteral("kept aside"), key, systemReason(errno));
}

void FileSettingsStore::writeBytes(int fd, const QByteArray& bytes, const QString& key) {
  const char* data = bytes.constData();
  size_t left = static_cast<size_t>(bytes.size());
  while (left > 0) {
    const ssize_t written = writeCall_(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) fail(QStringLiteral("saved"), key, systemReason(errno));
    if (written == 0) fail(QStringLiteral("saved"), key, systemReason(ENOSPC));
    data += written;
    left -= static_cast<size_t>(written);
  }
}

void FileSettingsStore::write(const QString& key, const QString& value) {
  const QByteArray bytes = value.toUtf8();
  if (bytes.size() > kSettingsValueLimit)
    fail(QStringLiteral("saved"), key,
         QStringLiteral("it is larger than %1, the most that can be read back").arg(platform::sizeInWords(kSettingsValueLimit)));
  const QString folder = sectionFolder();
  if (!QDir().mkpath(folder)) fail(QStringLiteral("saved"), key, QLatin1String("cannot create the folder ") + folder);
  TemporaryFile file(pathOf(key));
  if (file.fd() < 0) fail(QStringLiteral("saved"), key, systemReason(errno));
  writeBytes(file.fd(), bytes, key);
  // The bytes reach the disk before the rename, so a crash can never leave a short value behind
  // the key's name; a full disk shows up here at the latest.
  if (::fsync(file.fd()) != 0) fail(QStringLiteral("saved"), key, systemReason(errno));
  if (!file.closeAndRename(pathOf(key))) fail(QStringLiteral("saved"), key, systemReason(errno));
  syncFolder(folder);
}

}  // namespace app
