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
#include <sys/resource.h>
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

// The program started in a home folder of its own, its list and lock file laid out beforehand.
class ProgramInItsHome {
 public:
  explicit ProgramInItsHome(const QByteArray& staleLock) {
    EXPECT_TRUE(home.isValid());
    EXPECT_TRUE(QDir().mkpath(section()));
    EXPECT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("run"))));
    QFile::setPermissions(home.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const auto& [path, bytes] : {std::pair{list(), kSampleRows}, std::pair{lock(), staleLock}}) {
      QFile file(path);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(bytes);
    }
    listBefore = inodeOf(list());
  }
  ~ProgramInItsHome() {
    if (program.state() == QProcess::NotRunning) return;
    program.kill();
    program.waitForFinished(5000);
  }

  QString section() const { return home.filePath(QStringLiteral("config/Quorvane/Tessaline")); }
  QString list() const { return section() + QStringLiteral("/Equations.value"); }
  QString lock() const { return section() + QStringLiteral("/window.lock"); }

  // Starts it and waits until its window is up and whole, which is when it catches `signalNumber`.
  bool startAndWaitUntilUp(int signalNumber) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TESSALINE_VIEWER"), QStringLiteral("none"));
    waitForSecondsWithoutTheHomePage();
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TESSALINE_PROGRAM), QStringList{});
    if (!program.waitForStarted(10000)) return false;
    QElapsedTimer timer;
    timer.start();
    while (program.state() == QProcess::Running && !catches(program.processId(), signalNumber) &&
           timer.elapsed() < 30000)
      QThread::msleep(50);
    return catches(program.processId(), signalNumber);
  }
  void send(int signalNumber) { ::kill(static_cast<pid_t>(program.processId()), signalNumber); }
  QByteArray savedList() const {
    QFile saved(list());
    return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray("(unreadable)");
  }

  QTemporaryDir home;
  QProcess program;
  ino_t listBefore = 0;
};

struct Ending {
  const char* name;
  int signalNumber;
  const char* staleLock;  // what window.lock holds before the start
};
void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.name; }

class ProgramEnds : public ::testing::TestWithParam<Ending> {};

TEST_P(ProgramEnds, OnASignalWithTheListSavedAndTheLockGivenBack) {
  ProgramInItsHome tessaline{QByteArray(GetParam().staleLock)};
  ASSERT_TRUE(tessaline.startAndWaitUntilUp(GetParam().signalNumber))
      << "the window did not come up: " << tessaline.program.readAllStandardError().toStdString();
  EXPECT_NE(inodeOf(tessaline.lock()), 0u);
  EXPECT_FALSE(app::WindowLock(tessaline.section()).tryTake()) << "the running window does not hold its lock";

  tessaline.send(GetParam().signalNumber);
  ASSERT_TRUE(tessaline.program.waitForFinished(5000)) << "still running 5 s after the signal";
  EXPECT_EQ(tessaline.program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(tessaline.program.exitCode(), 0);
  EXPECT_EQ(tessaline.savedList(), kSampleRows);
  EXPECT_NE(inodeOf(tessaline.list()), tessaline.listBefore) << "the list was not written again";
  EXPECT_FALSE(QFile::exists(tessaline.lock()));
}

INSTANTIATE_TEST_SUITE_P(
    Each, ProgramEnds,
    ::testing::Values(Ending{"TermAfterAnEmptyLock", SIGTERM, ""},
                      Ending{"HangUpAfterAnotherHostsLock", SIGHUP, "4242\nTessaline\nelsewhere.example.org\n"},
                      Ending{"InterruptAfterGarbage", SIGINT, "\x01\x02 garbage \xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

// A save that cannot be written (the process may write no file past 64 bytes; the list is
// longer) reports so in a box that waits for an answer; a second signal ends the program there
// and then, by that signal, with the list on disk as it was and the lock let go.
TEST(ProgramEndsAtOnce, OnASecondSignalWhileItsSaveWaitsForAnAnswer) {
  ProgramInItsHome tessaline{QByteArray()};
  tessaline.program.setChildProcessModifier([] {
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
    const rlimit limit{64, 64};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  });
  ASSERT_TRUE(tessaline.startAndWaitUntilUp(SIGTERM))
      << "the window did not come up: " << tessaline.program.readAllStandardError().toStdString();
  tessaline.send(SIGTERM);
  EXPECT_FALSE(tessaline.program.waitForFinished(1500)) << "the failed save did not wait for an answer";
  ASSERT_EQ(tessaline.program.state(), QProcess::Running);
  tessaline.send(SIGTERM);
  ASSERT_TRUE(tessaline.program.waitForFinished(5000)) << "still running 5 s after the second signal";
  EXPECT_EQ(tessaline.program.exitStatus(), QProcess::CrashExit);
  EXPECT_EQ(tessaline.program.exitCode(), SIGTERM);
  EXPECT_EQ(tessaline.savedList(), kSampleRows);
  EXPECT_EQ(inodeOf(tessaline.list()), tessaline.listBefore);
  EXPECT_TRUE(app::WindowLock(tessaline.section()).tryTake());
}

}  // namespace
