#include "platform/whole_file.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Why a file of this type is not read, in words, or empty for a regular file.
QString notRegularReason(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return QStringLiteral("it is a folder");
  if (S_ISFIFO(mode)) return QStringLiteral("it is a named pipe, not a file");
  if (S_ISSOCK(mode)) return QStringLiteral("it is a socket, not a file");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("it is a device, not a file");
  return QStringLiteral("it is not a regular file");
}

WholeFile refused(WholeFileOutcome outcome, QString why) { return {outcome, {}, std::move(why)}; }

WholeFile tooLarge(qint64 limit) {
  return refused(WholeFileOutcome::TooLarge, QStringLiteral("it is larger than %1").arg(sizeInWords(limit)));
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

QString sizeInWords(qint64 bytes) {
  constexpr qint64 kMegabyte = 1024 * 1024;
  if (bytes >= kMegabyte && bytes % kMegabyte == 0) return QStringLiteral("%1 MB").arg(bytes / kMegabyte);
  return QStringLiteral("%1 bytes").arg(bytes);
}

WholeFile readWholeFile(const QString& path, qint64 limit) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  // The type is looked at before opening: opening a pipe waits for a writer, a device may act.
  if (::stat(name.constData(), &info) != 0)
    return refused(errno == ENOENT || errno == ENOTDIR ? WholeFileOutcome::Missing : WholeFileOutcome::Failed,
                   systemReason(errno));
  if (QString why = notRegularReason(info.st_mode); !why.isEmpty()) return refused(WholeFileOutcome::NotRegular, why);
  if (info.st_size > limit) return tooLarge(limit);

  // Non-blocking, in case the name was replaced by a pipe since the look above.
  const Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) return refused(WholeFileOutcome::Failed, systemReason(errno));
  if (::fstat(file.get(), &info) != 0) return refused(WholeFileOutcome::Failed, systemReason(errno));
  if (QString why = notRegularReason(info.st_mode); !why.isEmpty()) return refused(WholeFileOutcome::NotRegular, why);

  QByteArray bytes;
  bytes.resize(static_cast<qsizetype>(std::min<qint64>(info.st_size, limit) + 1));
  qint64 total = 0;
  for (;;) {
    if (total == bytes.size()) {
      if (total > limit) return tooLarge(limit);  // it grew while read
      bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit + 1, std::max<qint64>(total * 2, 4096))));
    }
    const ssize_t got = ::read(file.get(), bytes.data() + total, static_cast<size_t>(bytes.size() - total));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return refused(WholeFileOutcome::Failed, systemReason(errno));
    if (got == 0) break;
    total += got;
  }
  if (total > limit) return tooLarge(limit);
  bytes.resize(static_cast<qsizetype>(total));
  return {WholeFileOutcome::Read, std::move(bytes), {}};
}

}  // namespace platform
