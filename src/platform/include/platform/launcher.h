#pragma once
// Starting other programs without waiting for them: the web browser, the spreadsheet viewer.
#include <QString>
#include <QStringList>

namespace platform {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Opens an address or a file with the desktop's default application. False on failure.
  virtual bool openUrl(const QString& url) = 0;
  // Starts a program detached, so it outlives us. False when it could not be started.
  virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

}  // namespace platform
