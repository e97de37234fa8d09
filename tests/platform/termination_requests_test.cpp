// Termination signals: the first is a request on the event loop; a second one while the program
// is on its way out ends it at once, by that signal, once the clean-ups have run. Whatever
// touches the clean-ups or ends a process runs in a child process of its own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/termination_requests.h"

namespace {

int markerFd = -1;  // where the clean-ups say that they ran
void cleanUpFirst() { [[maybe_unused]] const ssize_t w = ::write(markerFd, "1", 1); }
void cleanUpSecond() { [[maybe_unused]] const ssize_t w = ::write(markerFd, "2", 1); }

struct ChildEnd {
  int status = 0;
  std::string marks;  // what the clean-ups wrote, in order
};

// Runs `body` in a child process and reports how it ended and what its clean-ups wrote.
template <class Body>
ChildEnd inChild(Body body) {
  int marks[2];
  EXPECT_EQ(::pipe(marks), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(marks[0]);
    markerFd = marks[1];
    body();
    ::_exit(0);
  }
  ::close(marks[1]);
  ChildEnd end;
  char mark = 0;
  while (::read(marks[0], &mark, 1) == 1) end.marks += mark;
  ::close(marks[0]);
  ::waitpid(child, &end.status, 0);
  return end;
}

bool diedBy(int status, int signalNumber) { return WIFSIGNALED(status) && WTERMSIG(status) == signalNumber; }

TEST(TerminationRequests, TheFirstSignalIsARequestOnTheEventLoop) {
  std::vector<int> requests;
  platform::TerminationRequests termination;
  QObject::connect(&termination, &platform::TerminationRequests::requested, [&](int number) { requests.push_back(number); });
  ASSERT_EQ(::raise(SIGHUP), 0);
  QElapsedTimer timer;
  timer.start();
  while (requests.empty() && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(requests, std::vector<int>{SIGHUP});
}

class SecondSignal : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SecondSignal, EndsTheProcessAtOnceByThatSignalAfterTheCleanUps) {
  const auto [first, second] = GetParam();
  const ChildEnd end = inChild([first = first, second = second] {
    platform::TerminationRequests::addCleanup(cleanUpFirst);
    platform::TerminationRequests::addCleanup(cleanUpSecond);
    platform::TerminationRequests termination;
    ::raise(first);   // a request, not yet answered: the program is busy on its way out
    ::raise(second);  // ends it here
    ::_exit(0);
  });
  EXPECT_TRUE(diedBy(end.status, second)) << "status " << end.status;
  EXPECT_EQ(end.marks, "12");
}

INSTANTIATE_TEST_SUITE_P(Pairs, SecondSignal,
                         ::testing::Values(std::pair{SIGTERM, SIGTERM}, std::pair{SIGTERM, SIGINT},
                                           std::pair{SIGINT, SIGHUP}, std::pair{SIGHUP, SIGTERM}));

TEST(TerminationRequests, EachCleanUpRunsOnceInTheOrderAdded) {
  const ChildEnd end = inChild([] {
    if (!platform::TerminationRequests::addCleanup(cleanUpSecond)) ::_exit(2);
    if (!platform::TerminationRequests::addCleanup(cleanUpFirst)) ::_exit(2);
    platform::TerminationRequests::runCleanups();
    platform::TerminationRequests::runCleanups();
    // The way out has done them; a second signal during the rest of it does not do them again.
    platform::TerminationRequests termination;
    ::raise(SIGTERM);
    ::raise(SIGTERM);
  });
  EXPECT_TRUE(diedBy(end.status, SIGTERM)) << "status " << end.status;
  EXPECT_EQ(end.marks, "21");
}

TEST(TerminationRequests, TakesAtMostItsRoomOfCleanUps) {
  const ChildEnd end = inChild([] {
    if (platform::TerminationRequests::addCleanup(nullptr)) ::_exit(2);
    for (int i = 0; i < platform::TerminationRequests::kMaxCleanups; ++i)
      if (!platform::TerminationRequests::addCleanup(cleanUpFirst)) ::_exit(3);
    if (platform::TerminationRequests::addCleanup(cleanUpSecond)) ::_exit(4);
    platform::TerminationRequests::runCleanups();
  });
  ASSERT_TRUE(WIFEXITED(end.status));
  EXPECT_EQ(WEXITSTATUS(end.status), 0);
  EXPECT_EQ(end.marks, std::string(platform::TerminationRequests::kMaxCleanups, '1'));
}

TEST(TerminationRequests, GiveTheSignalsTheirDefaultActionBack) {
  // Once the watcher is gone, SIGTERM ends the process as before, without a clean-up.
  const ChildEnd end = inChild([] {
    { platform::TerminationRequests termination; }
    ::raise(SIGTERM);
  });
  EXPECT_TRUE(diedBy(end.status, SIGTERM));
  EXPECT_EQ(end.marks, "");
}

}  // namespace
