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

}  // namespace platform
