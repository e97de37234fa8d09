#include "platform/termination_requests.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kCaught[] = {SIGTERM, SIGHUP, SIGINT};
int sockets[2] = {-1, -1};  // [0] written by the handler, [1] read by the event loop

void onSignal(int signalNumber) {
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

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
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
