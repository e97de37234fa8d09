// How far a hand-over's file is written: told on the caller's thread, rising, a few hundred
// times at most, and 1 when the file is complete.
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include "automation/engine_factory.h"
#include "core/cell_address.h"

namespace {

struct Told {
  std::vector<double> fractions;
  bool elsewhere = false;  // told on another thread than the caller's
};

// A hand-over of a workbook with `equations` columns of formulas and one chart each.
Told handOver(bool whileWaiting, int equations = 12, int rows = 4000) {
  QTemporaryDir dir;
  automation::EngineOptions options;
  options.workingFolder = dir.filePath("workbooks");
  options.instancesFolder = dir.filePath("instances");
  options.viewerCommand = QString("none");
  Told told;
  const auto caller = std::this_thread::get_id();
  options.writingProgress = [&](double fraction) {
    told.fractions.push_back(fraction);
    told.elsewhere |= std::this_thread::get_id() != caller;
  };
  if (whileWaiting) options.whileWaiting = [] {};
  automation::EngineFactory factory(options);
  auto app = factory.create();
  app->workbooks()->add();
  auto data = app->sheets()->item(1);
  for (int e = 0; e < equations; ++e) {
    const std::string x = core::columnLetters(2 * e + 1);
    for (int row = 1; row <= rows; ++row) {
      data->setCellNumber(row, 2 * e + 1, row);
      data->setCellText(row, 2 * e + 2, "=SIN(" + x + std::to_string(row) + ")*" + std::to_string(e));
    }
    auto chart = app->charts()->add();
    chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
    chart->setSourceData(*data->range(x + "1:" + core::columnLetters(2 * e + 2) + std::to_string(rows)), excel::xlColumns);
  }
  app->setVisible(true);
  EXPECT_GT(QFileInfo(dir.filePath("workbooks/Book1.xlsx")).size(), 0);
  return told;
}

void expectRisingToOne(const Told& told) {
  ASSERT_FALSE(told.fractions.empty());
  EXPECT_FALSE(told.elsewhere);
  EXPECT_LE(told.fractions.size(), 201u);
  EXPECT_GE(told.fractions.size(), 10u);  // the bar moves along the way, not only at the end
  for (std::size_t i = 1; i < told.fractions.size(); ++i)
    EXPECT_GT(told.fractions[i], told.fractions[i - 1]) << "at " << i;
  EXPECT_GE(told.fractions.front(), 0.0);
  EXPECT_EQ(told.fractions.back(), 1.0);
}

TEST(WritingProgress, RisesToOneOnTheCallingThread) { expectRisingToOne(handOver(false)); }

TEST(WritingProgress, WhileTheFileIsWrittenOnAThreadOfItsOwnTheCallerHearsIt) {
  const Told told = handOver(true, 24, 20000);
  ASSERT_FALSE(told.fractions.empty());
  EXPECT_FALSE(told.elsewhere);
  EXPECT_EQ(told.fractions.back(), 1.0);
  for (std::size_t i = 1; i < told.fractions.size(); ++i) EXPECT_GT(told.fractions[i], told.fractions[i - 1]);
}

TEST(WritingProgress, AnEmptyWorkbookStillEndsAtOne) {
  const Told told = handOver(false, 0);
  ASSERT_FALSE(told.fractions.empty());
  EXPECT_EQ(told.fractions.back(), 1.0);
}

}  // namespace
