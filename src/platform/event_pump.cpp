#include "platform/event_pump.h"

#include <QCoreApplication>

namespace platform {

QtEventPump::QtEventPump(int minimumIntervalMs) : minimumIntervalMs_(minimumIntervalMs) {
  sinceLast_.start();
}

void QtEventPump::yield() {
  if (sinceLast_.elapsed() < minimumIntervalMs_) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  sinceLast_.restart();
}

}  // namespace platform
