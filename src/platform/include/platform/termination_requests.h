#pragma once
// SIGTERM, SIGHUP and SIGINT (a shutdown, a closed terminal, Ctrl+C) turned into a Qt signal on
// the event loop, so that the program can end the way the user closing it would. The signal
// handler only writes the number to a socket; everything else runs in the event loop.
//
// The first signal is a request. A second one, while the program is still on its way out (a
// save that takes long, a box asking for an answer, a step that does not return to the event
// loop), ends the process at once: the handler runs the clean-ups and the process dies by that
// signal, as it would have without us.
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

  // Work that must be done however the program ends, such as removing half-written temporary
  // files. Each runs at most once, in the order added: from runCleanups() on the program's
  // orderly way out, or inside the signal handler when a second signal ends the program at once.
  // So each must be async-signal-safe (unlink, close; no allocation, no locks, no Qt). At most
  // kMaxCleanups; false when there is no room. May be called before any instance exists.
  static constexpr int kMaxCleanups = 8;
  static bool addCleanup(void (*cleanup)());
  static void runCleanups();

 signals:
  void requested(int signalNumber);

 private:
  void readPending();
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform
