#include "app/window_lock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {
namespace {

constexpr int kOpenFlags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW;  // never inherited by programs we start
constexpr mode_t kMode = 0644;
// Another start may remove or replace the file between our open and our lock; each time that
// happens we look again, a few times at most.
constexpr int kAttempts = 5;

// The lock file, opened for writing and made if missing. One we may not open (its permissions
// taken away, or a symbolic link in its place, which we never write through) can hold no lock
// we could see, so it is made usable again: its mode given back when it is ours, or else
// replaced by a fresh file. -1 when no file can be had.
int openLockFile(const char* path) {
  const int fd = ::open(path, kOpenFlags, kMode);
  if (fd >= 0) return fd;
  const int error = errno;
  if (error != EACCES && error != EPERM && error != ELOOP) return -1;
  if (error != ELOOP && ::chmod(path, kMode) == 0) {
    const int again = ::open(path, kOpenFlags, kMode);
    if (again >= 0) return again;
  }
  if (::unlink(path) != 0) return -1;
  return ::open(path, kOpenFlags, kMode);
}

// Whether the name still leads to the file we hold: a start that found the file unusable may
// have replaced it after we opened it.
bool stillAtPath(int fd, const char* path) {
  struct stat held {}, named {};
  return ::fstat(fd, &held) == 0 && ::lstat(path, &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// Who holds the lock, for a person who looks: "pid\nTessaline\nhost\n".
void writeOwner(int fd) {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  const std::string owner = std::to_string(::getpid()) + "\nTessaline\n" + host + "\n";
  if (::ftruncate(fd, 0) != 0) return;
  [[maybe_unused]] const ssize_t written = ::pwrite(fd, owner.data(), owner.size(), 0);
}

}  // namespace

WindowLock::WindowLock(const QString& folder) : path_(folder + QStringLiteral("/window.lock")) { QDir().mkpath(folder); }

WindowLock::~WindowLock() { release(); }

bool WindowLock::tryTake() {
  if (held()) return true;
  const QByteArray path = QFile::encodeName(path_);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int fd = openLockFile(path.constData());
    if (fd < 0) return true;  // nowhere to keep a lock: the window opens all the same
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      // Held: a live process has the file open and locked, whatever host it runs on. Any other
      // failure is a file system without locks, which must not keep the window shut.
      return error != EWOULDBLOCK;
    }
    if (stillAtPath(fd, path.constData())) {
      fd_ = fd;
      writeOwner(fd_);
      return true;
    }
    ::close(fd);
  }
  return true;
}

void WindowLock::release() {
  if (!held()) return;
  const QByteArray path = QFile::encodeName(path_);
  // Removed while still locked: a start that opened the file just before sees it gone once it
  // has the lock, and looks again.
  if (stillAtPath(fd_, path.constData())) ::unlink(path.constData());
  ::close(fd_);
  fd_ = -1;
}

}  // namespace app
