#include "platform/dialogs.h"

namespace platform {
namespace {
QString& titleStore() {
  static QString title;
  return title;
}
}  // namespace

void setApplicationTitle(const QString& title) { titleStore() = title; }
QString applicationTitle() { return titleStore(); }

QString toDisplayText(const QString& text) {
  QString out = text;
  out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

}  // namespace platform
