#include "app/window_lock.h"

#include <QDir>

namespace app {

WindowLock::WindowLock(const QString& folder) : lock_((QDir().mkpath(folder), folder + QStringLiteral("/window.lock"))) {
  lock_.setStaleLockTime(0);  // only a dead owner makes the lock stale, never its age
}

bool WindowLock::tryTake() {
  if (lock_.tryLock(0)) return true;
  return lock_.error() != QLockFile::LockFailedError;
}

}  // namespace app
