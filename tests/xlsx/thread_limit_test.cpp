// The hand-over under a memory limit that leaves no room for another thread's stack (as
// `ulimit -v` does): the workbook is still written, on the calling thread, by the writer and
// by the hand-over around it. Run in a child process, where the limit cannot hurt the others
// (so it is not part of the ThreadSanitizer build).
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "automation/engine_factory.h"
#include "streaming_zip_reader.h"

namespace {

std::size_t virtualBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Room for the writing itself, not for an 8 MiB thread stack.
bool limitMemoryBelowAThread() {
  const rlim_t limit = virtualBytes() + 6 * 1024 * 1024;
  const rlimit cap{limit, limit};
  if (setrlimit(RLIMIT_AS, &cap) != 0) return false;
  try {
    std::thread([] {}).join();
    return false;  // a thread still starts: the limit proves nothing
  } catch (const std::system_error&) {
    return true;
  }
}

void handOverUnderTheLimit(const QString& book) {
  QTemporaryDir dir;
  automation::EngineOptions options;
  options.workingFolder = dir.filePath("workbooks");
  options.instancesFolder = dir.filePath("instances");
  options.viewerCommand = QString("none");
  options.saveTo = book;
  int waits = 0;
  options.whileWaiting = [&waits] { ++waits; };
  automation::EngineFactory factory(options);
  auto app = factory.create();
  app->workbooks()->add();
  auto data = app->sheets()->item(1);
  for (int row = 1; row <= 2000; ++row) {
    data->setCellNumber(row, 1, row);
    data->setCellText(row, 2, "=SIN(A" + std::to_string(row) + ")");
  }
  if (!limitMemoryBelowAThread()) std::_Exit(3);
  try {
    app->setVisible(true);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    std::_Exit(1);
  }
  std::_Exit(0);
}

// A child of its own (not a fork of this process, whose stacks of finished threads would be
// reused without asking for memory); it writes where this test reads.
TEST(ThreadLimit, TheHandOverWritesOnTheCallingThreadWhenNoThreadStarts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  constexpr const char* kBookVariable = "TESSALINE_THREAD_LIMIT_BOOK";
  const char* given = std::getenv(kBookVariable);
  QTemporaryDir out;
  const QString book = given ? QString::fromLocal8Bit(given) : out.filePath("limited.xlsx");
  if (!given) ::setenv(kBookVariable, book.toLocal8Bit().constData(), 1);
  EXPECT_EXIT(handOverUnderTheLimit(book), ::testing::ExitedWithCode(0), "");
  ::unsetenv(kBookVariable);
  std::ifstream file(book.toStdString(), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const auto entries = xlsx_test::readStreaming(bytes);
  EXPECT_GE(entries.size(), 8u);
}

}  // namespace
