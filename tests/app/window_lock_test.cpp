// One window per user: only a live process holding the lock keeps a second window shut. Whatever
// else lies in window.lock (nothing, garbage, another host's or a dead process's record, a file
// nobody may read, a symbolic link) is taken over, so nobody is locked out by a file they
// cannot see. Every taker is a process of its own, as a second start is; run as root, they
// run as nobody, so that file permissions bind them as they bind a user.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/window_lock.h"

namespace {

constexpr uid_t kNobody = 65534;

bool root() { return ::geteuid() == 0; }

bool giveUpRoot() { return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0; }

// Whether the takers run as root, with every file open to them: only where root cannot become
// nobody (a container that maps no other user).
bool takersAreRoot() {
  static const bool asRoot = [] {
    if (!root()) return false;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(giveUpRoot() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }();
  return asRoot;
}

// In a child: gives up root, so that a file's mode means what it means to a user.
void becomeUser() {
  if (root() && !takersAreRoot() && !giveUpRoot()) ::_exit(3);
}

std::string hostName() {
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  return host;
}

// The settings section with its lock file, owned by whoever the takers run as.
struct LockFolder {
  LockFolder() {
    section = dir.filePath(QStringLiteral("Quorvane/Tessaline"));
    QDir().mkpath(section);
    lockPath = QFile::encodeName(section + QStringLiteral("/window.lock")).toStdString();
    if (!root() || takersAreRoot()) return;
    for (const QString& folder : {dir.path(), dir.filePath(QStringLiteral("Quorvane")), section}) {
      EXPECT_EQ(::chown(QFile::encodeName(folder).constData(), kNobody, kNobody), 0);
    }
  }
  void write(const std::string& bytes) const {
    const int fd = ::open(lockPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
    if (root() && !takersAreRoot()) {
      ASSERT_EQ(::chown(lockPath.c_str(), kNobody, kNobody), 0);
    }
  }
  std::string read() const {
    QFile file(QString::fromStdString(lockPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(unreadable)";
  }
  QTemporaryDir dir;
  QString section;
  std::string lockPath;
};

enum class Outcome { Took, Refused, Failed };

// A second start: a process that tries to take the lock and ends at once, without a word (the
// kernel lets its lock go; the file keeps its record).
Outcome takeInChild(const QString& section, pid_t* taker = nullptr) {
  const pid_t child = ::fork();
  if (child == 0) {
    becomeUser();
    app::WindowLock lock(section);
    ::_exit(lock.tryTake() ? 0 : 1);
  }
  if (taker) *taker = child;
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return Outcome::Failed;
  return WEXITSTATUS(status) == 0 ? Outcome::Took : Outcome::Refused;
}

// Starts a program as the window starts a viewer, and returns once it runs: until its exec, the
// forked child shares the window's open files, the lock's among them.
pid_t startProgram() {
  int execed[2];
  if (::pipe2(execed, O_CLOEXEC) != 0) return 0;
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(execed[1]);
  char none = 0;
  [[maybe_unused]] const ssize_t end = ::read(execed[0], &none, 1);  // end of file at its exec
  ::close(execed[0]);
  return child;
}

// A running window: a process that holds the lock until it is killed; it may start a program
// of its own first, as the window starts viewers.
class Holder {
 public:
  explicit Holder(const QString& section, bool startsAProgram = false) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      becomeUser();
      app::WindowLock lock(section);
      pid_t started = 0;
      if (lock.tryTake() && startsAProgram) started = startProgram();
      const int said[2] = {lock.held() ? 1 : 0, started};
      [[maybe_unused]] const ssize_t w = ::write(ready[1], said, sizeof said);
      ::pause();
      ::_exit(0);
    }
    int said[2] = {0, 0};
    EXPECT_EQ(::read(ready[0], said, sizeof said), static_cast<ssize_t>(sizeof said));
    took = said[0] == 1;
    started = said[1];
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~Holder() {
    crash();
    if (started > 0) {
      ::kill(started, SIGKILL);
      ::waitpid(started, nullptr, 0);
    }
  }
  // Ends as a crash or kill -9 ends it: nothing of ours runs.
  void crash() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }
  bool took = false;
  pid_t started = 0;

 private:
  pid_t pid_ = 0;
};

pid_t deadProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

struct StaleFile {
  const char* name;
  std::string (*contents)();
};
void PrintTo(const StaleFile& file, std::ostream* out) { *out << file.name; }

class StaleLock : public ::testing::TestWithParam<StaleFile> {};

TEST_P(StaleLock, IsTakenOverAndThenNamesItsNewOwner) {
  LockFolder folder;
  folder.write(GetParam().contents());
  pid_t taker = 0;
  ASSERT_EQ(takeInChild(folder.section, &taker), Outcome::Took) << folder.read();
  EXPECT_EQ(folder.read(), std::to_string(taker) + "\nTessaline\n" + hostName() + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Each, StaleLock,
    ::testing::Values(
        StaleFile{"Empty", [] { return std::string(); }},
        StaleFile{"Garbage", [] { return std::string("\xFF\xFE not a lock\0\n\n\n", 18); }},
        StaleFile{"AnotherHost", [] { return std::string("4242\nTessaline\nelsewhere.example.org\n"); }},
        StaleFile{"AnotherHostWithOurPid",
                  [] { return std::to_string(::getpid()) + "\nTessaline\nelsewhere.example.org\n"; }},
        StaleFile{"ADeadProcess", [] { return std::to_string(deadProcess()) + "\nTessaline\n" + hostName() + "\n"; }},
        // A live process that holds no lock: a pid used again after a crash.
        StaleFile{"ALiveProcessWithoutTheLock",
                  [] { return std::to_string(::getpid()) + "\nTessaline\n" + hostName() + "\n"; }},
        StaleFile{"AVeryLongRecord", [] { return std::string(1 << 20, '7'); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowLock, HeldByALiveProcessIsRefusedWhateverTheFileSaysAndFreeOnceItDies) {
  LockFolder folder;
  Holder holder(folder.section);
  ASSERT_TRUE(holder.took);
  EXPECT_EQ(takeInChild(folder.section), Outcome::Refused);
  // The record is only for people: rewritten as another host's, or emptied, the lock still holds.
  folder.write("4242\nTessaline\nelsewhere.example.org\n");
  EXPECT_EQ(takeInChild(folder.section), Outcome::Refused);
  folder.write("");
  EXPECT_EQ(takeInChild(folder.section), Outcome::Refused);
  // A crash or kill -9 leaves the file behind, and the next window opens.
  holder.crash();
  EXPECT_EQ(takeInChild(folder.section), Outcome::Took);
}

TEST(WindowLock, ProgramsTheWindowStartedDoNotKeepItsLock) {
  LockFolder folder;
  Holder holder(folder.section, /*startsAProgram=*/true);
  ASSERT_TRUE(holder.took);
  ASSERT_GT(holder.started, 0);
  holder.crash();
  ASSERT_EQ(::kill(holder.started, 0), 0) << "the program it started should still run";
  EXPECT_EQ(takeInChild(folder.section), Outcome::Took);
}

TEST(WindowLock, AFileNobodyMayReadIsTakenOverUnlessALiveWindowHoldsIt) {
  LockFolder folder;
  folder.write("garbage");
  ASSERT_EQ(::chmod(folder.lockPath.c_str(), 0), 0);
  if (takersAreRoot() || (!root() && ::access(folder.lockPath.c_str(), R_OK) == 0))
    GTEST_SKIP() << "the takers read files of mode 000 (root that cannot become another user here)";
  pid_t taker = 0;
  ASSERT_EQ(takeInChild(folder.section, &taker), Outcome::Took);
  EXPECT_EQ(folder.read().substr(0, std::to_string(taker).size() + 1), std::to_string(taker) + "\n");

  Holder holder(folder.section);
  ASSERT_TRUE(holder.took);
  ASSERT_EQ(::chmod(folder.lockPath.c_str(), 0), 0);
  EXPECT_EQ(takeInChild(folder.section), Outcome::Refused);
}

TEST(WindowLock, AFileOfAnotherUserNobodyMayReadIsReplaced) {
  if (!root() || takersAreRoot()) GTEST_SKIP() << "needs root that can also run the taker as another user";
  LockFolder folder;
  const int fd = ::open(folder.lockPath.c_str(), O_WRONLY | O_CREAT, 0);  // root's, mode 000
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(takeInChild(folder.section), Outcome::Took);
  struct stat now {};
  ASSERT_EQ(::stat(folder.lockPath.c_str(), &now), 0);
  EXPECT_EQ(now.st_uid, kNobody);
}

TEST(WindowLock, ASymbolicLinkInItsPlaceIsReplacedAndNeverWrittenThrough) {
  LockFolder folder;
  const std::string target = QFile::encodeName(folder.dir.filePath(QStringLiteral("precious"))).toStdString();
  {
    QFile precious(QString::fromStdString(target));
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.write("keep me");
  }
  ASSERT_EQ(::symlink(target.c_str(), folder.lockPath.c_str()), 0);
  EXPECT_EQ(takeInChild(folder.section), Outcome::Took);
  QFile precious(QString::fromStdString(target));
  ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
  EXPECT_EQ(precious.readAll(), "keep me");
  struct stat now {};
  ASSERT_EQ(::lstat(folder.lockPath.c_str(), &now), 0);
  EXPECT_TRUE(S_ISREG(now.st_mode));
}

TEST(WindowLock, OfManyStartsAtOnceExactlyOneOpens) {
  LockFolder folder;
  folder.write("stale");
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  std::vector<pid_t> starts;
  for (int i = 0; i < 6; ++i) {
    const pid_t child = ::fork();
    if (child == 0) {
      becomeUser();
      ::close(go[1]);
      char start = 0;
      [[maybe_unused]] const ssize_t r = ::read(go[0], &start, 1);  // all wait for the same moment
      app::WindowLock lock(folder.section);
      const bool took = lock.tryTake();
      ::usleep(300000);  // keeps it while the others try
      ::_exit(took ? 0 : 1);
    }
    starts.push_back(child);
  }
  ::close(go[0]);
  ::close(go[1]);  // end of file: every start goes
  int opened = 0, refused = 0;
  for (const pid_t child : starts) {
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    (WEXITSTATUS(status) == 0 ? opened : refused)++;
  }
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(refused, 5);
}

TEST(WindowLock, ReleaseLetsGoAndRemovesTheFile) {
  LockFolder folder;
  {
    app::WindowLock lock(folder.section);
    ASSERT_TRUE(lock.tryTake());
    EXPECT_TRUE(lock.tryTake()) << "taking it again in the same window";
    EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.lockPath)));
    lock.release();
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.lockPath)));
    lock.release();  // again: nothing
    EXPECT_EQ(takeInChild(folder.section), Outcome::Took);
  }
  {
    app::WindowLock lock(folder.section);
    ASSERT_TRUE(lock.tryTake());
  }  // the end of the window's life lets it go too
  EXPECT_EQ(takeInChild(folder.section), Outcome::Took);
}

TEST(WindowLock, AFolderWhereNoLockCanBeMadeDoesNotKeepTheWindowShut) {
  EXPECT_TRUE(app::WindowLock(QStringLiteral("/proc/self/no-such-folder")).tryTake());
}

}  // namespace
