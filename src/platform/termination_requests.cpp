#include "platform/termination_requests.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kCaught[] = {SIGTERM, SIGHUP, SIGINT};
int sockets[2] = {-1, -1};  // [0] written by the handler, [1] read by the event loop
std::atomic<int> signalsReceived{0};

// Filled from the main thread before the way out; read by whichever runs the clean-ups.
void (*cleanups[TerminationRequests::kMaxCleanups])() = {};
std::atomic<int> cleanupsAdded{0};
std::atomic<int> nextCleanup{0};  // each index is claimed once, by the way out or the handler
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free atomics");

void runEachCleanupOnce() {
  int next = nextCleanup.load();
  while (next < cleanupsAdded.load()) {
    // Claimed before it runs, so a handler that interrupts it goes on with the next one.
    if (nextCleanup.compare_exchange_weak(next, next + 1)) cleanups[next++]();
  }
}

// The signal's own default action, so that whoever started us sees how we ended.
[[noreturn]] void endAtOnce(int signalNumber) {
  runEachCleanupOnce();
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signalNumber, &action, nullptr);
  sigset_t unblocked;
  sigemptyset(&unblocked);
  sigaddset(&unblocked, signalNumber);
  ::sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);  // blocked while its handler runs
  ::raise(signalNumber);
  ::_exit(128 + signalNumber);
}

void onSignal(int signalNumber) {
  if (signalsReceived.fetch_add(1) > 0) endAtOnce(signalNumber);
  const int savedErrno = errno;
  const unsigned char number = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] const ssize_t written = ::write(sockets[0], &number, 1);
  errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : kCaught) ::sigaction(number, &action, nullptr);
}

}  // namespace

bool TerminationRequests::addCleanup(void (*cleanup)()) {
  const int count = cleanupsAdded.load();
  if (!cleanup || count >= kMaxCleanups) return false;
  cleanups[count] = cleanup;
  cleanupsAdded.store(count + 1);  // published only once the entry is whole
  return true;
}

void TerminationRequests::runCleanups() { runEachCleanupOnce(); }

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
  signalsReceived = 0;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, sockets) != 0) return;
  notifier_ = new QSocketNotifier(sockets[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationRequests::readPending);
  setHandler(onSignal);
}

TerminationRequests::~TerminationRequests() {
  setHandler(SIG_DFL);
  delete notifier_;
  for (int& fd : sockets) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void TerminationRequests::readPending() {
  unsigned char number = 0;
  while (::read(sockets[1], &number, 1) == 1) emit requested(number);
}

}  // namespace platform
