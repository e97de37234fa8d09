// Saving a workbook when the system says no: a full disk, a quota, the file size limit, a failing
// disk or memory running out. The message names the workbook in the same plain words as any other
// file, the old file stays as it was, and no temporary is left beside it.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <new>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/workbook_error.h"
#include "core/workbook_model.h"
#include "output/output_file.h"
#include "output/system_calls.h"
#include "workbook_file/xlsx_export.h"

namespace {

// Enough cells for a file of several hundred kilobytes, written in many pieces.
void fill(core::WorkbookModel& model) {
  core::SheetNode& data = *model.at(1);
  for (int row = 1; row <= 20000; ++row) {
    model.setNumber(data, row, 1, row * 0.37);
    model.setText(data, row, 2, "=SIN(A" + std::to_string(row) + ")*" + std::to_string(row));
  }
}

// A write call that fails with `error` once `limit` bytes are on disk (short before it).
output::SystemCalls failingAfter(std::size_t limit, int error) {
  auto taken = std::make_shared<std::size_t>(0);
  return {[=](int fd, const void* data, std::size_t size) -> ssize_t {
            if (*taken >= limit) {
              errno = error;
              return -1;
            }
            const ssize_t n = ::write(fd, data, std::min(size, limit - *taken));
            if (n > 0) *taken += static_cast<std::size_t>(n);
            return n;
          },
          {}};
}

class ExportFailures : public ::testing::Test {
 protected:
  ExportFailures() : model(1) {
    fill(model);
    QFile old(target());
    EXPECT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the old workbook");
  }
  QString target() const { return folder.filePath(QStringLiteral("book.xlsx")); }
  QByteArray contents() const {
    QFile file(target());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
  }
  QStringList entries() const {
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
  }
  // The failure's message, or empty when the workbook was written.
  std::string exportFails() {
    try {
      workbook_file::exportXlsx(model, target().toStdString());
    } catch (const core::WorkbookError& error) {
      return error.what();
    }
    return {};
  }
  std::string expected(const std::string& reason) const {
    return "Could not write the workbook \"" + target().toStdString() + "\": " + reason;
  }

  QTemporaryDir folder;
  core::WorkbookModel model;
};

TEST_F(ExportFailures, AFailedWriteIsToldInTheWordsOfEveryOtherFile) {
  for (const int error : {ENOSPC, EDQUOT, EFBIG, EIO}) {
    for (const std::size_t limit : {std::size_t{0}, std::size_t{30}, std::size_t{100000}}) {
      SCOPED_TRACE(std::to_string(error) + " after " + std::to_string(limit) + " bytes");
      output::ScopedSystemCalls calls(failingAfter(limit, error));
      EXPECT_EQ(exportFails(), expected(output::writeFailureReason(error)));
      EXPECT_EQ(contents(), "the old workbook");
      EXPECT_EQ(entries(), QStringList{"book.xlsx"});
    }
  }
  EXPECT_EQ(expected(output::writeFailureReason(ENOSPC)), expected("the disk is full."));
  EXPECT_EQ(exportFails(), "") << "the system's own calls are back";
  EXPECT_GT(QFileInfo(target()).size(), 100000);
}

TEST_F(ExportFailures, RunningOutOfMemoryWhileWritingIsSaidInPlainWords) {
  for (const std::size_t after : {std::size_t{0}, std::size_t{3}}) {
    SCOPED_TRACE(after);
    auto calls = std::make_shared<std::size_t>(0);
    output::ScopedSystemCalls noMemory({[=](int fd, const void* data, std::size_t size) -> ssize_t {
                                          if ((*calls)++ >= after) throw std::bad_alloc();
                                          return ::write(fd, data, size);
                                        },
                                        {}});
    EXPECT_EQ(exportFails(), expected("there is not enough memory to write it."));
    EXPECT_EQ(contents(), "the old workbook");
    EXPECT_EQ(entries(), QStringList{"book.xlsx"});
  }
}

// The real limit, not a stand-in: in a child whose files may not pass 64 KiB.
TEST_F(ExportFailures, TheFileSizeLimitIsNamedAndTheOldFileStays) {
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string message = exportFails();
    ::_exit(message == expected("the file would be larger than this program may write (the file size limit, ulimit -f).")
                ? 3 : 4);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 3) << "the message was not the plain one";
  EXPECT_EQ(contents(), "the old workbook");
  EXPECT_EQ(entries(), QStringList{"book.xlsx"});
}

}  // namespace
