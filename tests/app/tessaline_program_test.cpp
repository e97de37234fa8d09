// The built program as a session ends it: SIGTERM, SIGHUP or SIGINT saves the list and ends it
// within moments, giving the lock back. Each start finds a stale lock file in its folder (left by
// a crash, another host or a broken disk) and opens all the same.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <utility>

#include "app/form1.h"
#include "app/window_lock.h"
#include "platform/clock.h"
#include "support/doubles.h"

namespace {

const QByteArray kSampleRows =
    "x + 100||MySeparator12||0||MySeparator12||20||MySeparator12||.01||MySeparator23||"
    "x*x||MySeparator12||0||MySeparator12||100||MySeparator12||.1||MySeparator23||";

// Whether the program's one-in-a-hundred draw opens the home page at this second of the day:
// with no browser here, the box saying so would stand in the test's way.
bool homePageDrawnAt(int second) {
  testing_support::FixedClock clock;
  clock.seconds = second % 86400;
  platform::StdRandom random;
  testing_support::RecordingLauncher launcher;
  app::MaybeOpenHomePage(clock, random, launcher);
  return !launcher.urls.empty();
}

void waitForSecondsWithoutTheHomePage() {
  platform::SystemClock clock;
  for (int waited = 0; waited < 10; ++waited) {
    const int now = clock.secondsSinceMidnight();
    bool clear = true;
    for (int ahead = 0; ahead < 8 && clear; ++ahead) clear = !homePageDrawnAt(now + ahead);
    if (clear) return;
    QThread::sleep(1);
  }
}

// Whether the process has its handler for the signal in place: its window is up and whole.
bool catches(qint64 pid, int signalNumber) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signalNumber - 1)) & 1;
  return false;
}

ino_t inodeOf(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

struct Ending {
  const char* name;
  int signalNumber;
  const char* staleLock;  // what window.lock holds before the start
};
void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.name; }

class ProgramEnds : public ::testing::TestWithParam<Ending> {};

TEST_P(ProgramEnds, OnASignalWithTheListSavedAndTheLockGivenBack) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const QString section = home.filePath(QStringLiteral("config/Quorvane/Tessaline"));
  ASSERT_TRUE(QDir().mkpath(section));
  ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("run"))));
  QFile::setPermissions(home.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString list = section + QStringLiteral("/Equations.value");
  const QString lock = section + QStringLiteral("/window.lock");
  for (const auto& [path, bytes] : {std::pair{list, kSampleRows}, std::pair{lock, QByteArray(GetParam().staleLock)}}) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  const ino_t listBefore = inodeOf(list);

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), home.path());
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
  environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("TESSALINE_VIEWER"), QStringLiteral("none"));
  waitForSecondsWithoutTheHomePage();
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(TESSALINE_PROGRAM), QStringList{});
  ASSERT_TRUE(program.waitForStarted(10000));

  QElapsedTimer timer;
  timer.start();
  while (program.state() == QProcess::Running && !catches(program.processId(), GetParam().signalNumber) &&
         timer.elapsed() < 30000)
    QThread::msleep(50);
  ASSERT_TRUE(catches(program.processId(), GetParam().signalNumber))
      << "the window did not come up: " << program.readAllStandardError().toStdString();
  EXPECT_NE(inodeOf(lock), 0u);
  EXPECT_FALSE(app::WindowLock(home.filePath(QStringLiteral("config/Quorvane/Tessaline"))).tryTake())
      << "the running window does not hold its lock";

  ::kill(static_cast<pid_t>(program.processId()), GetParam().signalNumber);
  ASSERT_TRUE(program.waitForFinished(5000)) << "still running 5 s after the signal";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  QFile saved(list);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), kSampleRows);
  EXPECT_NE(inodeOf(list), listBefore) << "the list was not written again";
  EXPECT_FALSE(QFile::exists(lock));
}

INSTANTIATE_TEST_SUITE_P(
    Each, ProgramEnds,
    ::testing::Values(Ending{"TermAfterAnEmptyLock", SIGTERM, ""},
                      Ending{"HangUpAfterAnotherHostsLock", SIGHUP, "4242\nTessaline\nelsewhere.example.org\n"},
                      Ending{"InterruptAfterGarbage", SIGINT, "\x01\x02 garbage \xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
