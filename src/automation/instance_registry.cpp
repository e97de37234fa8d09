#include "automation/instance_registry.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <cerrno>

#include "core/workbook_error.h"

namespace automation {
namespace {

constexpr const char* kSuffix = ".instance";

QString entryName(qint64 pid, std::uint64_t id) {
  return QString("%1-%2%3").arg(pid).arg(id, 16, 16, QChar('0')).arg(kSuffix);
}

std::optional<InstanceEntry> parseEntryName(const QFileInfo& file) {
  const QStringList parts = file.completeBaseName().split('-');
  if (parts.size() != 2) return std::nullopt;
  bool pidOk = false, idOk = false;
  InstanceEntry entry{parts[0].toLongLong(&pidOk), parts[1].toULongLong(&idOk, 16), file.absoluteFilePath()};
  if (!pidOk || !idOk) return std::nullopt;
  return entry;
}

enum class LockState { Held, Free, Gone };

// Tries the entry's lock. Free means its owner is gone; the caller then holds it (fd >= 0).
LockState probe(const QString& path, int& fd) {
  fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LockState::Gone;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockState::Free;
  ::close(fd);
  fd = -1;
  return LockState::Held;
}

}  // namespace

InstanceRegistration::InstanceRegistration(int fd, QString path, InstanceEntry entry)
    : fd_(fd), entry_(std::move(entry)) {
  entry_.path = std::move(path);
}

InstanceRegistration::~InstanceRegistration() {
  ::unlink(QFile::encodeName(entry_.path).constData());
  ::close(fd_);
}

std::unique_ptr<InstanceRegistration> InstanceRegistry::add(std::uint64_t id) const {
  if (!QDir().mkpath(folder_))
    throw core::WorkbookError("The table of running instances \"" + folder_.toStdString() + "\" could not be created.");
  const qint64 pid = ::getpid();
  const QString finalPath = QDir(folder_).filePath(entryName(pid, id));
  // Locked under a temporary name first, so no reader ever sees the entry unlocked. An entry is
  // a lock, not contents: it stays empty, its name and its flock() are all it says, and it lives
  // exactly as long as the descriptor that holds the lock. So it is made here, not through the
  // output path, which writes contents and lets go of the file once it is complete.
  const QString temporaryPath = finalPath + ".new";
  const int fd = ::open(QFile::encodeName(temporaryPath).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
      ::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(finalPath).constData()) != 0) {
    if (fd >= 0) ::close(fd);
    ::unlink(QFile::encodeName(temporaryPath).constData());
    throw core::WorkbookError("The table of running instances \"" + folder_.toStdString() + "\" is not writable.");
  }
  return std::make_unique<InstanceRegistration>(fd, finalPath, InstanceEntry{pid, id, finalPath});
}

std::vector<InstanceEntry> InstanceRegistry::live() const {
  std::vector<InstanceEntry> entries;
  const QFileInfoList files =
      QDir(folder_).entryInfoList(QStringList{QString("*") + kSuffix}, QDir::Files, QDir::Time | QDir::Reversed);
  for (const QFileInfo& file : files) {
    auto entry = parseEntryName(file);
    if (!entry) continue;
    int fd = -1;
    switch (probe(entry->path, fd)) {
      case LockState::Held: entries.push_back(*entry); break;
      case LockState::Free:  // a crashed instance: clean up its entry while holding its lock
        ::unlink(QFile::encodeName(entry->path).constData());
        ::close(fd);
        break;
      case LockState::Gone: break;
    }
  }
  return entries;
}

QString defaultInstancesFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (base.isEmpty()) base = QDir::tempPath() + "/tessaline-" + QString::number(getuid());
  return base + "/tessaline-instances";
}

bool InstanceRegistry::isLive(const QString& path) {
  int fd = -1;
  const LockState state = probe(path, fd);
  if (fd >= 0) ::close(fd);
  return state == LockState::Held;
}

}  // namespace automation
