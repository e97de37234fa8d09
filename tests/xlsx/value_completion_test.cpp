// The values a file caches are computed on a thread of their own while the parts are written.
// They come out as on one thread: RAND() draws the same numbers in the same cells, the same
// circles are found, texts and whole-column calls are the same, whichever thread computes and
// however it is timed against the writing.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <system_error>

#include "streaming_zip_reader.h"
#include "core/chart_types.h"
#include "core/workbook_model.h"
#include "xlsx/workbook_writer.h"

namespace {

constexpr int kRows = 3000;

std::string at(std::string text, int row) {  // '#' stands for the row
  for (auto hash = text.find('#'); hash != std::string::npos; hash = text.find('#')) text.replace(hash, 1, std::to_string(row));
  return text;
}

void addChart(core::WorkbookModel& model, core::SheetNode& data, std::int32_t xColumn, std::int32_t yColumn) {
  auto chart = model.addChartBeforeActive();
  chart->chart->type = core::ChartType::XYScatterSmoothNoMarkers;
  const auto sheet = model.at(model.position(data));
  chart->chart->series.push_back(std::make_shared<core::SeriesData>(
      core::SeriesData{"y", core::SeriesReference{sheet, {1, xColumn, kRows, xColumn}},
                       core::SeriesReference{sheet, {1, yColumn, kRows, yColumn}}}));
}

// Formulas whose values depend on the order they are computed in (RAND(), and a column that
// reads it), circles, texts and a whole-column call; charted out of column order, so that the
// charts' caches are computed before the columns they come before on the sheet.
std::unique_ptr<core::WorkbookModel> workbook() {
  auto model = std::make_unique<core::WorkbookModel>(1, core::seededRandomSource(20261207));
  model->setClock([] { return 46000.5; });
  core::SheetNode& data = *model->at(1);
  model->rename(data, "Data");
  for (int row = 1; row <= kRows; ++row) {
    model->setNumber(data, row, 1, row * 0.5);
    model->setText(data, row, 2, at("=RAND()*A#", row));
    model->setText(data, row, 3, at("=B#+SUM(A:A)", row));
    model->setText(data, row, 4, at("=IF(MOD(A#,2)=0,\"even \"&A#,A#)", row));
    model->setText(data, row, 5, row % 100 == 0 ? at("=E#+1", row) : at("=A#*2", row));
    model->setText(data, row, 6, at("=NOW()+RAND()", row));
  }
  addChart(*model, data, 1, 6);
  addChart(*model, data, 1, 3);
  addChart(*model, data, 1, 5);
  return model;
}



xlsx::ThreadStarter noThreads() {
  return [](std::function<void()>) -> std::thread {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again), "thread");
  };
}

struct Written {
  std::vector<std::pair<std::string, std::string>> contents;
  std::vector<std::pair<std::int32_t, std::int32_t>> circles;
};

Written write(const std::string& path, const xlsx::WriterOptions& options) {
  auto model = workbook();
  xlsx::writeWorkbook(*model, path, options);
  Written written{xlsx_test::contentsOf(path), {}};
  for (const auto& cell : model->circularCells()) written.circles.emplace_back(cell.row, cell.column);
  return written;
}

TEST(ValueCompletion, AFileComesOutAsWrittenOnOneThread) {
  QTemporaryDir dir;
  xlsx::WriterOptions alone;
  alone.startThread = noThreads();  // no thread starts: every value computed on the writing thread
  const Written single = write(dir.filePath("alone.xlsx").toStdString(), alone);
  ASSERT_EQ(single.contents.size(), 24u);
  const std::string sheet = single.contents.back().second;
  EXPECT_NE(sheet.find("<c r=\"D4\" t=\"str\">"), std::string::npos);
  EXPECT_EQ(single.circles.size(), kRows / 100u);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const Written threaded = write(dir.filePath("threads.xlsx").toStdString(), {});
    EXPECT_TRUE(threaded.contents == single.contents) << "attempt " << attempt;
    EXPECT_EQ(threaded.circles, single.circles) << "attempt " << attempt;
  }
}

// A writer that fails half way stops the thread computing for it: the call ends with the
// failure, no thread left behind reading the workbook.
TEST(ValueCompletion, AFailedWriteStopsTheComputing) {
  QTemporaryDir dir;
  auto model = workbook();
  xlsx::WriterOptions options;
  int writes = 0;
  options.writeCall = [&writes](int, const void*, std::size_t size) -> ssize_t {
    if (++writes > 3) {
      errno = ENOSPC;
      return -1;
    }
    return static_cast<ssize_t>(size);
  };
  EXPECT_THROW(xlsx::writeWorkbook(*model, dir.filePath("full.xlsx").toStdString(), options), std::exception);
  // The workbook is the caller's again: its values compute as ever.
  EXPECT_TRUE(model->value(*model->find("Data"), kRows, 3).isNumber());
}

}  // namespace
