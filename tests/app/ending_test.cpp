// The ways the window's life ends besides its close button, and the one-window rule.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "app/window_lock.h"
#include "platform/termination_requests.h"
#include "support/form_fixture.h"

using testing_support::FormFixture;

namespace {

const QString kKey = QStringLiteral("Equations");
const QString kSampleRows = QStringLiteral(
    "x + 100||MySeparator12||0||MySeparator12||20||MySeparator12||.01||MySeparator23||"
    "x*x||MySeparator12||0||MySeparator12||100||MySeparator12||.1||MySeparator23||");

bool waitFor(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

class TerminationSignals : public ::testing::TestWithParam<int> {};

// Wired as the program wires it: a signal closes the window, which saves the list and ends.
TEST_P(TerminationSignals, SaveTheListAsTheClosingDoes) {
  FormFixture f;
  f.form->Form_Load();
  f.form->PushButton6_Click();
  platform::TerminationRequests termination;
  QObject::connect(&termination, &platform::TerminationRequests::requested, f.form.get(), &QWidget::close);
  ASSERT_EQ(::raise(GetParam()), 0);
  ASSERT_TRUE(waitFor([&] { return f.programEnds > 0; })) << "the signal did not close the window";
  EXPECT_EQ(f.programEnds, 1);
  ASSERT_EQ(f.settings.values.count(kKey), 1u);
  EXPECT_EQ(f.settings.values[kKey], kSampleRows);
}

INSTANTIATE_TEST_SUITE_P(Each, TerminationSignals, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

TEST(TerminationRequests, GiveTheSignalsTheirDefaultActionBack) {
  // In a child: once the watcher is gone, SIGTERM ends the process as before.
  const pid_t child = fork();
  if (child == 0) {
    { platform::TerminationRequests termination; }
    ::raise(SIGTERM);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
}

TEST(WindowLock, OneWindowPerUserAndALockLeftByADeadProcessIsTakenOver) {
  QTemporaryDir folder;
  const QString section = folder.filePath(QStringLiteral("Quorvane/Tessaline"));
  // Held by a live process: refused.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    app::WindowLock lock(section);
    const char taken = lock.tryTake() ? 'y' : 'n';
    [[maybe_unused]] auto w = write(ready[1], &taken, 1);
    pause();
    _exit(0);
  }
  char taken = 0;
  ASSERT_EQ(read(ready[0], &taken, 1), 1);
  EXPECT_EQ(taken, 'y');
  EXPECT_FALSE(app::WindowLock(section).tryTake());
  // The holder dies without cleaning up (a crash, a kill -9): the next window opens.
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  app::WindowLock after(section);
  EXPECT_TRUE(after.tryTake());
  close(ready[0]);
  close(ready[1]);
}

TEST(WindowLock, AFolderWhereNoLockCanBeMadeDoesNotKeepTheWindowShut) {
  EXPECT_TRUE(app::WindowLock(QStringLiteral("/proc/self/no-such-folder")).tryTake());
}

}  // namespace
