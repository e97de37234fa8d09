#pragma once
// SIGTERM, SIGHUP and SIGINT (a shutdown, a closed terminal, Ctrl+C) turned into a Qt signal on
// the event loop, so that the program can close the way the user closing it would. The signal
// handler only writes the number to a socket; everything else runs in the event loop.
#include <QObject>

class QSocketNotifier;

namespace platform {

class TerminationRequests : public QObject {
  Q_OBJECT
 public:
  // Catches the three signals from now on. One at a time per process.
  explicit TerminationRequests(QObject* parent = nullptr);
  // Gives the three signals back their default action.
  ~TerminationRequests() override;

 signals:
  void requested(int signalNumber);

 private:
  void readPending();
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform
