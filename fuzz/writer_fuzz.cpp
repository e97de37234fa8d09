// The .xlsx writer where the system fails it: a small workbook from the input (numbers, texts
// and formulas in two columns, charted), written through write(2) that comes back short, is
// interrupted, or fails at a byte the input picks (a full disk, an I/O error, a write of
// nothing), while compression threads may not start. Every run must end either in a
// well-formed workbook or in a std::runtime_error that says why; a crash, a sanitizer report,
// a leak, any other exception or an unclear message is a finding. The half-written file is the
// caller's to remove, and is removed here.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "core/chart_types.h"
#include "core/workbook_error.h"
#include "core/workbook_model.h"
#include "workbook_parts.h"
#include "xlsx/workbook_writer.h"

namespace {

constexpr int kMaxRows = 200;

// The first bytes of the input say how the system fails; the rest is the workbook.
struct FailurePlan {
  unsigned workers = 1;            // 1 to 4
  int threadsThatStart = 0;        // then every start fails; 4: all start
  std::size_t failAt = 0;          // the byte where writing fails
  int failure = 0;                 // 0 ENOSPC, 1 EIO, 2 a write of nothing, 3 never fails
  std::size_t shortest = 1;        // writes take at most this many bytes
  int interruptEvery = 0;          // every nth write (n >= 2) is interrupted (EINTR); 0: none
};

FailurePlan planFrom(const std::uint8_t* data) {
  FailurePlan plan;
  plan.workers = 1 + (data[0] & 3);
  plan.threadsThatStart = (data[0] >> 2) % 5;
  plan.failure = (data[0] >> 5) & 3;
  plan.failAt = (std::size_t{data[1]} << 10 | std::size_t{data[2]} << 2) % 60000;
  plan.shortest = 1 + std::size_t{data[3]} * 64;
  plan.interruptEvery = data[4] % 8 < 2 ? 0 : data[4] % 8;  // a write(2) always interrupted is no system
  return plan;
}

void fillWorkbook(core::WorkbookModel& model, std::string_view text) {
  core::SheetNode& data = *model.at(1);
  int row = 0;
  while (!text.empty() && row < kMaxRows) {
    const std::size_t end = text.find('\n');
    const std::string line(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++row;
    model.setNumber(data, row, 1, row * 0.5);
    try {
      model.setText(data, row, 2, line);  // a formula the engine refuses is left out
    } catch (const core::WorkbookError&) {
    }
  }
  auto chart = model.addChartBeforeActive();
  chart->chart->type = core::ChartType::XYScatterSmoothNoMarkers;
  const auto sheet = model.at(model.position(data));
  chart->chart->series.push_back(std::make_shared<core::SeriesData>(core::SeriesData{
      std::string("f"), core::SeriesReference{sheet, {1, 1, row + 1, 1}}, core::SeriesReference{sheet, {1, 2, row + 1, 2}}}));
}

xlsx::WriterOptions failingSystem(const FailurePlan& plan, std::size_t& written, int& calls) {
  xlsx::WriterOptions options;
  options.workers = plan.workers;
  options.startThread = [&plan, started = 0](std::function<void()> body) mutable {
    if (plan.threadsThatStart < 4 && started == plan.threadsThatStart)
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again), "thread");
    ++started;
    return std::thread(std::move(body));
  };
  options.writeCall = [&plan, &written, &calls](int fd, const void* bytes, std::size_t size) -> ssize_t {
    if (plan.interruptEvery && ++calls % plan.interruptEvery == 0) {
      errno = EINTR;
      return -1;
    }
    if (plan.failure != 3 && written >= plan.failAt) {
      if (plan.failure == 2) return 0;
      errno = plan.failure == 0 ? ENOSPC : EIO;
      return -1;
    }
    std::size_t allowed = std::min(size, plan.shortest);
    if (plan.failure != 3) allowed = std::min(allowed, plan.failAt - written);
    const ssize_t done = ::write(fd, bytes, allowed);
    if (done > 0) written += static_cast<std::size_t>(done);
    return done;
  };
  return options;
}

bool clearReason(const std::string& message) {
  return message.find("the file could not be written (") != std::string::npos ||
         message.rfind("could not start a worker thread: ", 0) == 0;
}

[[noreturn]] void finding(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const FailurePlan plan = planFrom(data);
  core::WorkbookModel model(1, core::RandomSource([] { return 0.5; }));
  fillWorkbook(model, std::string_view(reinterpret_cast<const char*>(data + 5), size - 5));
  static const std::string path = "/tmp/writer_fuzz_" + std::to_string(::getpid()) + ".xlsx";
  std::size_t written = 0;
  int calls = 0;
  bool failed = false;
  try {
    xlsx::writeWorkbook(model, path, failingSystem(plan, written, calls));
  } catch (const std::runtime_error& error) {
    if (!clearReason(error.what())) finding("an unclear message", error.what());
    failed = true;
  } catch (const std::exception& error) {
    finding("an exception that is no runtime_error", error.what());
  }
  if (!failed) {
    if (::access(path.c_str(), F_OK) != 0) finding("no file after success", path);
    FILE* file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    const long onDisk = std::ftell(file);
    std::fclose(file);
    if (plan.failure != 3 && static_cast<std::size_t>(onDisk) != written) finding("a short file reported as success", path);
    const std::string problem = fuzz_support::workbookProblem(path);
    if (!problem.empty()) finding("an ill-formed workbook", problem);
  }
  std::remove(path.c_str());
  return 0;
}
