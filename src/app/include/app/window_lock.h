#pragma once
// One Tessaline window per user. Both windows would restore the same saved list and the one
// closed last would overwrite the rows the other added; a merge cannot tell a row the other
// window removed from one it never had. So a second start is refused with a word.
#include <QLockFile>
#include <QString>

namespace app {

inline constexpr char kAlreadyOpenText[] =
    "Tessaline is already open. Its window keeps your list and saves it when it closes, so please "
    "use that window.";

class WindowLock {
 public:
  // The lock lives in folder (the saved list's own folder), made if missing.
  explicit WindowLock(const QString& folder);
  // False only when another live process holds the lock. A lock left by a process that ended
  // is taken over; a folder where no lock can be made lets the window open all the same.
  bool tryTake();

 private:
  QLockFile lock_;
};

}  // namespace app
