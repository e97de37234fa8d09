// The writer where the system says no: threads that do not start (a process or memory limit),
// writes that come back short, interrupted, or with a full disk. A workbook that can be
// written is written, the same bytes as ever; one that cannot is a clear error, and no
// half-written file stays behind.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <regex>
#include <system_error>
#include <unistd.h>

#include "streaming_zip_reader.h"
#include "core/chart_types.h"
#include "core/workbook_model.h"
#include "xlsx/compression_pool.h"
#include "xlsx/workbook_writer.h"

namespace {


bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// Starts `allowed` threads, then fails as pthread_create does at a process limit.
xlsx::ThreadStarter failingAfter(int allowed, int* attempts = nullptr) {
  return [allowed, attempts, started = 0](std::function<void()> body) mutable {
    if (attempts) ++*attempts;
    if (started == allowed)
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again), "thread");
    ++started;
    return std::thread(std::move(body));
  };
}

// Enough rows for several chunks of the sheet, and a chart with its caches.
void fill(core::WorkbookModel& model) {
  core::SheetNode& data = *model.at(1);
  model.rename(data, "Data");
  for (int row = 1; row <= 12000; ++row) {
    model.setNumber(data, row, 1, row * 0.01);
    model.setText(data, row, 2, "=SIN(A" + std::to_string(row) + ")+A" + std::to_string(row));
  }
  auto chart = model.addChartBeforeActive();
  chart->chart->type = core::ChartType::XYScatterSmoothNoMarkers;
  const auto sheet = model.at(model.position(data));
  chart->chart->series.push_back(std::make_shared<core::SeriesData>(core::SeriesData{
      std::string("y"), core::SeriesReference{sheet, {1, 1, 12000, 1}}, core::SeriesReference{sheet, {1, 2, 12000, 2}}}));
}


xlsx::WriterOptions withSeams(unsigned workers, xlsx::ThreadStarter start, xlsx::WriteCall write = {}) {
  xlsx::WriterOptions options;
  options.workers = workers;
  options.startThread = std::move(start);
  options.writeCall = std::move(write);
  return options;
}

class WriterFailures : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
  QTemporaryDir dir;
};

TEST(CompressionPoolStart, WithoutAnyThreadTheCallingThreadDeflatesTheSameBytes) {
  int attempts = 0;
  xlsx::CompressionPool pool(4, xlsx::kDefaultLevel, failingAfter(0, &attempts));
  EXPECT_EQ(pool.workers(), 0u);
  EXPECT_EQ(attempts, 1) << "after the first refusal no further thread is tried";
  const std::string input(100000, 'x');
  auto future = pool.submit(input, "dictionary", true);
  ASSERT_EQ(future.wait_for(std::chrono::seconds(0)), std::future_status::ready) << "done on the calling thread";
  xlsx::ChunkDeflater deflater;
  EXPECT_EQ(future.get().bytes, deflater.deflate(input, "dictionary", true).bytes);
}

TEST(CompressionPoolStart, ThreadsThatStartedAreKeptAndJoined) {
  xlsx::CompressionPool pool(4, xlsx::kDefaultLevel, failingAfter(2));
  EXPECT_EQ(pool.workers(), 2u);
  auto a = pool.submit(std::string(5000, 'a'), {}, false);
  auto b = pool.submit(std::string(5000, 'b'), {}, true);
  EXPECT_EQ(a.get().inputSize, 5000u);
  EXPECT_EQ(b.get().inputSize, 5000u);
}

// With no thread and no compressor on the calling thread either (here: a level the deflater refuses),
// the reason names the thread.
TEST(CompressionPoolStart, NoThreadAndNoCompressorIsAClearError) {
  try {
    xlsx::CompressionPool pool(2, 99, failingAfter(0));
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()).rfind("could not start a worker thread: ", 0), 0u) << error.what();
    EXPECT_NE(std::string(error.what()).find("Resource temporarily unavailable"), std::string::npos) << error.what();
  }
}

TEST_F(WriterFailures, AWorkbookIsWrittenTheSameWhenNoOrFewThreadsStart) {
  core::WorkbookModel model(1);
  fill(model);
  xlsx::writeWorkbook(model, path("threads.xlsx"), withSeams(2, {}));
  const auto expected = xlsx_test::contentsOf(path("threads.xlsx"));
  ASSERT_GE(expected.size(), 10u);
  for (int allowed : {0, 1}) {
    const std::string name = "fewer" + std::to_string(allowed) + ".xlsx";
    xlsx::writeWorkbook(model, path(name.c_str()), withSeams(2, failingAfter(allowed)));
    EXPECT_EQ(xlsx_test::contentsOf(path(name.c_str())), expected) << allowed << " threads";
  }
}

// write(2) that takes at most 7 bytes at a time and is interrupted now and then.
TEST_F(WriterFailures, ShortAndInterruptedWritesAreContinued) {
  core::WorkbookModel model(1);
  fill(model);
  xlsx::writeWorkbook(model, path("plain.xlsx"));
  int calls = 0;
  xlsx::WriteCall stingy = [&calls](int fd, const void* data, std::size_t size) -> ssize_t {
    if (++calls % 5 == 0) {
      errno = EINTR;
      return -1;
    }
    return ::write(fd, data, std::min<std::size_t>(size, 7));
  };
  xlsx::writeWorkbook(model, path("stingy.xlsx"), withSeams(0, {}, stingy));
  EXPECT_EQ(xlsx_test::contentsOf(path("stingy.xlsx")), xlsx_test::contentsOf(path("plain.xlsx")));
  EXPECT_GT(calls, 1000);
}

// A disk that fills at a given byte, and a write(2) that writes nothing without an error: each
// ends in an error that says why, and the half-written file is gone.
TEST_F(WriterFailures, AFullDiskOrAStuckWriteIsAClearErrorAndLeavesNoFile) {
  core::WorkbookModel model(1);
  fill(model);
  struct Case {
    const char* name;
    int error;  // errno of the failing write; 0: it returns 0
    const char* reason;
  };
  for (const Case& c : {Case{"full", ENOSPC, "No space left on device"}, Case{"stuck", 0, "Input/output error"}}) {
    for (std::size_t failAt : {std::size_t{0}, std::size_t{40000}, std::size_t{200000}}) {
      std::size_t written = 0;
      xlsx::WriteCall failing = [&](int fd, const void* data, std::size_t size) -> ssize_t {
        if (written >= failAt) {
          errno = c.error;
          return c.error ? -1 : 0;
        }
        const ssize_t done = ::write(fd, data, std::min(size, failAt - written));  // short before failing
        if (done > 0) written += static_cast<std::size_t>(done);
        return done;
      };
      const std::string file = path(c.name);
      try {
        xlsx::writeWorkbook(model, file, withSeams(0, {}, failing));
        ADD_FAILURE() << c.name << " at " << failAt << ": no error";
      } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("the file could not be written"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
      }
      EXPECT_FALSE(exists(file)) << c.name << " at " << failAt;
    }
  }
}

}  // namespace
