#include "platform_qt/qt_launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace platform {

bool QtLauncher::openUrl(const QString& url) {
  const QUrl parsed = QUrl::fromUserInput(url);
  return parsed.isValid() && QDesktopServices::openUrl(parsed);
}

bool QtLauncher::startDetached(const QString& program, const QStringList& arguments) {
  return QProcess::startDetached(program, arguments);
}

}  // namespace platform
