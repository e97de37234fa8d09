// Writes that fail half-way, through the system calls the output path uses: the old file stays
// as it was, no temporary is left, and the message names the target in plain words.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include "core/workbook_error.h"
#include "output/output_file.h"
#include "output/system_calls.h"

namespace {

class OutputFailures : public ::testing::Test {
 protected:
  OutputFailures() {
    QFile old(target());
    EXPECT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the old contents");
  }
  QString target() const { return folder.filePath(QStringLiteral("data.csv")); }
  QByteArray contents() const {
    QFile file(target());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
  }
  QStringList entries() const {
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
  }
  // Writes `size` bytes through the output path; the failure's message, or empty.
  std::string writeFails(std::size_t size) {
    try {
      output::OutputFile file(target(), "the CSV file");
      file.write(std::string(size, 'x'));
      file.commit();
    } catch (const core::WorkbookError& e) {
      return e.what();
    }
    return {};
  }

  QTemporaryDir folder;
};

// A write call that takes at most `chunk` bytes at a time and fails with `error` once `limit`
// bytes are on disk.
output::SystemCalls failingAfter(std::size_t limit, int error, std::size_t chunk = 1 << 20) {
  auto taken = std::make_shared<std::size_t>(0);
  return {[=](int fd, const void* data, std::size_t size) -> ssize_t {
            if (*taken >= limit) {
              errno = error;
              return -1;
            }
            const std::size_t n = std::min({size, limit - *taken, chunk});
            *taken += n;
            return ::write(fd, data, n);
          },
          {}};
}

TEST_F(OutputFailures, AWriteThatStopsHalfWayLeavesTheOldFileAndNoTemporary) {
  const std::pair<int, const char*> cases[] = {
      {ENOSPC, "the disk is full."},
      {EDQUOT, "your disk quota is used up."},
      {EFBIG, "the file size limit, ulimit -f"},
      {EIO, "Input/output error"},
  };
  for (const auto& [error, reason] : cases) {
    SCOPED_TRACE(reason);
    output::ScopedSystemCalls calls(failingAfter(5000, error));
    const std::string message = writeFails(100000);
    EXPECT_EQ(message.find("Could not write the CSV file \"" + target().toStdString() + "\": "), 0u) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
    EXPECT_EQ(contents(), "the old contents");
    EXPECT_EQ(entries(), QStringList{"data.csv"});
  }
}

TEST_F(OutputFailures, ShortAndInterruptedWritesStillWriteEveryByte) {
  auto interrupted = std::make_shared<bool>(false);
  output::SystemCalls calls = failingAfter(1 << 30, ENOSPC, 777);  // never full, 777 bytes a call
  auto shortWrites = calls.write;
  calls.write = [=](int fd, const void* data, std::size_t size) -> ssize_t {
    if ((*interrupted = !*interrupted)) {
      errno = EINTR;
      return -1;
    }
    return shortWrites(fd, data, size);
  };
  output::ScopedSystemCalls scope(calls);
  EXPECT_EQ(writeFails(100000), "");
  EXPECT_EQ(contents(), QByteArray(100000, 'x'));
  EXPECT_EQ(entries(), QStringList{"data.csv"});
}

TEST_F(OutputFailures, AWriteThatMakesNoProgressOrAFailedFlushIsNoSuccess) {
  {
    output::ScopedSystemCalls calls({[](int, const void*, std::size_t) -> ssize_t { return 0; }, {}});
    EXPECT_NE(writeFails(10).find("the disk is full"), std::string::npos);
  }
  {
    // A network file system or a failing disk says so only when the data is flushed.
    output::ScopedSystemCalls calls({{}, [](int) {
                                       errno = EIO;
                                       return -1;
                                     }});
    EXPECT_NE(writeFails(10).find("Input/output error"), std::string::npos);
  }
  EXPECT_EQ(contents(), "the old contents");
  EXPECT_EQ(entries(), QStringList{"data.csv"});
  EXPECT_EQ(writeFails(3), "") << "the real calls are back";
  EXPECT_EQ(contents(), "xxx");
}

}  // namespace
