#pragma once
// One Tessaline window per user. Both windows would restore the same saved list and the one
// closed last would overwrite the rows the other added; a merge cannot tell a row the other
// window removed from one it never had. So a second start is refused with a word.
//
// The lock is an advisory lock (flock) held on the open file window.lock for the life of the
// process: the kernel lets it go when the process ends in any way, so it cannot go stale. What
// the file holds (the owner's process id and host name) is for people to read; only a lock
// held on it keeps a window shut. A file nobody holds a lock on, whatever it contains (nothing,
// garbage, another host's record, a dead process's), is taken over, and one that cannot be
// opened is made usable again.
#include <QString>

namespace app {

inline constexpr char kAlreadyOpenText[] =
    "Tessaline is already open. Its window keeps your list and saves it when it closes, so please "
    "use that window.";

class WindowLock {
 public:
  // The lock lives in folder (the saved list's own folder), made if missing.
  explicit WindowLock(const QString& folder);
  ~WindowLock();
  WindowLock(const WindowLock&) = delete;
  WindowLock& operator=(const WindowLock&) = delete;

  // False only when another live process holds the lock. A folder or file system where no lock
  // can be made lets the window open all the same.
  bool tryTake();
  // Lets the lock go and removes its file; nothing when it is not held.
  void release();
  bool held() const { return fd_ >= 0; }
  const QString& path() const { return path_; }

 private:
  QString path_;
  int fd_ = -1;  // the open lock file while the lock is held
};

}  // namespace app
