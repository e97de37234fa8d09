#include "platform/whole_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::readWholeFile;
using platform::WholeFile;
using platform::WholeFileOutcome;

class WholeFileTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QString write(const char* name, const QByteArray& bytes) const {
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  }
  QTemporaryDir dir;
};

TEST_F(WholeFileTest, ReadsAFileUpToTheLimitAndSaysWhenThereIsNone) {
  const WholeFile exact = readWholeFile(write("ten", "0123456789"), 10);
  EXPECT_EQ(exact.outcome, WholeFileOutcome::Read);
  EXPECT_EQ(exact.bytes, QByteArray("0123456789"));
  EXPECT_EQ(readWholeFile(write("empty", ""), 10).outcome, WholeFileOutcome::Read);
  EXPECT_EQ(readWholeFile(path("missing"), 10).outcome, WholeFileOutcome::Missing);
  EXPECT_EQ(readWholeFile(path("missing/below"), 10).outcome, WholeFileOutcome::Missing);
}

TEST_F(WholeFileTest, AFileOverTheLimitIsRefusedByItsSizeBeforeReading) {
  const WholeFile eleven = readWholeFile(write("eleven", "0123456789A"), 10);
  EXPECT_EQ(eleven.outcome, WholeFileOutcome::TooLarge);
  EXPECT_EQ(eleven.why, QStringLiteral("it is larger than 10 bytes"));
  // A 2 GB sparse file, one line without an end: refused at once, nothing read.
  QFile sparse(path("sparse"));
  ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
  ASSERT_TRUE(sparse.resize(qint64(2) * 1024 * 1024 * 1024));
  sparse.close();
  const auto started = std::chrono::steady_clock::now();
  const WholeFile huge = readWholeFile(sparse.fileName(), 64 * 1024 * 1024);
  EXPECT_EQ(huge.outcome, WholeFileOutcome::TooLarge);
  EXPECT_EQ(huge.why, QStringLiteral("it is larger than 64 MB"));
  EXPECT_TRUE(huge.bytes.isEmpty());
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(WholeFileTest, PipesDevicesSocketsAndFoldersAreRefusedWithoutBlocking) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray sockName = QFile::encodeName(path("sock"));
  ASSERT_LT(static_cast<size_t>(sockName.size()), sizeof address.sun_path);
  std::memcpy(address.sun_path, sockName.constData(), static_cast<size_t>(sockName.size()));
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const struct {
    QString path;
    const char* why;
  } cases[] = {{path("fifo"), "it is a named pipe, not a file"},
               {QStringLiteral("/dev/zero"), "it is a device, not a file"},
               {QStringLiteral("/dev/null"), "it is a device, not a file"},
               {path("sock"), "it is a socket, not a file"},
               {dir.path(), "it is a folder"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const WholeFile refused = readWholeFile(c.path, 1024);
    EXPECT_EQ(refused.outcome, WholeFileOutcome::NotRegular);
    EXPECT_EQ(refused.why, QString::fromLatin1(c.why));
  }
  ::close(sock);
}

TEST_F(WholeFileTest, AFileThatGrowsWhileReadStopsAtTheLimitPlusOne) {
  // /proc files report a size of 0 and then give more: the size check alone would let them through.
  const WholeFile grown = readWholeFile(QStringLiteral("/proc/self/maps"), 16);
  EXPECT_EQ(grown.outcome, WholeFileOutcome::TooLarge);
  const WholeFile whole = readWholeFile(QStringLiteral("/proc/self/maps"), 64 * 1024 * 1024);
  EXPECT_EQ(whole.outcome, WholeFileOutcome::Read);
  EXPECT_GT(whole.bytes.size(), 16);
}

TEST_F(WholeFileTest, AnUnreadableFileSaysWhy) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const QString locked = write("locked", "x");
  ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
  const WholeFile refused = readWholeFile(locked, 10);
  EXPECT_EQ(refused.outcome, WholeFileOutcome::Failed);
  EXPECT_EQ(refused.why, QStringLiteral("Permission denied"));
}

}  // namespace
