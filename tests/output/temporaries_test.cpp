// Temporaries: removed by a signal that ends the program while they are written, and, when a
// process was killed outright, by the next write into their folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/workbook_error.h"
#include "output/output_file.h"
#include "output/temporaries.h"

namespace {

QStringList entriesOf(const QTemporaryDir& folder) {
  return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
}

void touch(const QString& path, int ageSeconds = 0) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.close();
  const timeval then[2] = {{time(nullptr) - ageSeconds, 0}, {time(nullptr) - ageSeconds, 0}};
  ::utimes(QFile::encodeName(path).constData(), then);
}

pid_t endedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(StaleTemporaries, OnlyOurOwnNamesOfEndedOrDayOldWritersAreRemoved) {
  QTemporaryDir folder;
  auto name = [&](pid_t pid, const char* random = "a8Zk3q") {
    return folder.filePath(QStringLiteral(".book.xlsx.tessaline-%1-%2").arg(pid).arg(QLatin1String(random)));
  };
  const pid_t ended = endedProcess(), running = ::getppid();
  touch(name(ended));                       // killed outright: removed
  touch(name(running, "Q1w2E3"), 2 * 86400);  // a day old: removed whoever holds the number now
  touch(name(running));                     // being written by a process that runs: kept
  touch(name(::getpid()));                  // our own: kept
  touch(name(ended, "abc"));                // not our pattern: kept
  touch(folder.filePath(QStringLiteral(".book.xlsx.tessaline-x1-a8Zk3q")));
  touch(folder.filePath(QStringLiteral("book.xlsx.tessaline-%1-a8Zk3q").arg(ended)));
  ASSERT_EQ(::symlink("/nonexistent", QFile::encodeName(name(ended, "LINK00")).constData()), 0);  // not a file: kept
  const QStringList before = entriesOf(folder);

  output::OutputFile file(folder.filePath(QStringLiteral("new.csv")), "the CSV file");
  file.write("1,2\r\n");
  file.commit();
  QStringList expected = before;
  expected.removeOne(QFileInfo(name(ended)).fileName());
  expected.removeOne(QFileInfo(name(running, "Q1w2E3")).fileName());
  expected << QStringLiteral("new.csv");
  expected.sort();
  QStringList after = entriesOf(folder);
  after.sort();
  EXPECT_EQ(after.join(' ').toStdString(), expected.join(' ').toStdString());
}

TEST(StaleTemporaries, TheTemporaryIsNamedAfterItsTargetAndWriterAndFitsAName) {
  const std::string name = output::temporaryNameFor("/data/book.xlsx", "a8Zk3q");
  EXPECT_EQ(name, "/data/.book.xlsx.tessaline-" + std::to_string(::getpid()) + "-a8Zk3q");
  const std::string longName = output::temporaryNameFor("/d/" + std::string(255, 'n'), "a8Zk3q");
  EXPECT_LE(longName.size() - 3, 255u) << "a file name holds at most 255 bytes";
  EXPECT_EQ(output::temporaryNameFor("/top.csv", "a8Zk3q").rfind("/.top.csv.tessaline-", 0), 0u);
}

int hangupsSeen = 0;
void countHangup(int) { ++hangupsSeen; }

struct RestoreSignals {
  ~RestoreSignals() {
    std::signal(SIGHUP, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
  }
};

TEST(SignalDuringAWrite, RemovesTheTemporaryPassesTheSignalOnAndTheWriteEndsInAMessage) {
  RestoreSignals restore;
  QTemporaryDir folder;
  const QString target = folder.filePath(QStringLiteral("keep.csv"));
  QFile kept(target);
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
  kept.write("old");
  kept.close();
  std::signal(SIGHUP, countHangup);  // the program's own handler, as the window has one
  std::signal(SIGINT, SIG_IGN);      // run under nohup or in the background: does not end us
  output::removeTemporariesOnSignal();
  output::removeTemporariesOnSignal();  // a second call changes nothing

  output::OutputFile file(target, "the CSV file");
  file.write("1,2\r\n");
  ASSERT_EQ(entriesOf(folder).size(), 2);
  ::raise(SIGINT);
  EXPECT_EQ(entriesOf(folder).size(), 2) << "an ignored signal ends nothing, so it removes nothing";
  ::raise(SIGHUP);
  EXPECT_EQ(hangupsSeen, 1) << "the handler installed before still runs";
  EXPECT_EQ(entriesOf(folder), QStringList{"keep.csv"});
  try {
    file.commit();
    ADD_FAILURE() << "a write whose temporary is gone was reported as done";
  } catch (const core::WorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find("removed while it was being written"), std::string::npos) << e.what();
  }
  EXPECT_EQ(QFileInfo(target).size(), 3) << "the target is left as it was";

  output::OutputFile next(target, "the CSV file");  // later writes are not affected
  next.write("3,4\r\n");
  next.commit();
  EXPECT_EQ(QFileInfo(target).size(), 5);
}

}  // namespace
