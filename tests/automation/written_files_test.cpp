// The file a hand-over writes does not depend on how the model keeps its columns: a workbook
// written as the graphing run writes it (compact columns) and the same workbook kept as slots
// give the same bytes, for a run of equations with charts and for a mix of formula results.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include "automation/engine_application.h"
#include "automation/engine_factory.h"
#include "core/cell_address.h"
#include "core/workbook_model.h"

namespace {

enum class Columns { Compact, Slots };

// Cells(row, column) writes of one workbook, given the sheet and its model.
using Writes = std::function<void(excel::Application&, excel::Sheet&, core::WorkbookModel&)>;

QByteArray handedOver(const Writes& writes, Columns columns, int usedColumns) {
  QTemporaryDir dir;
  automation::EngineOptions options;
  options.workingFolder = dir.filePath("workbooks");
  options.instancesFolder = dir.filePath("instances");
  options.viewerCommand = QString("none");
  automation::EngineFactory factory(options);
  auto app = factory.createEngine();
  app->workbooks()->add();
  auto data = app->sheets()->item(1);
  auto model = app->activeWorkbook();
  model->setClock([] { return 46000.25; });  // TODAY() and NOW() on a fixed day
  // A cleared first row is no content, but it makes every column take the slots from the start.
  if (columns == Columns::Slots)
    for (int column = 1; column <= usedColumns; ++column) model->setValue(*model->at(1), 1, column, calc::Value());
  writes(*app, *data, *model);
  app->setVisible(true);
  QFile file(dir.filePath("workbooks/Book1.xlsx"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The file's properties carry the time it was written to the second: a pair written across a
// second's turn differs there alone, so a pair that differs is written again, twice at most.
void expectSameFile(const Writes& writes, int usedColumns) {
  bool same = false;
  for (int attempt = 0; attempt < 3 && !same; ++attempt) {
    const QByteArray compact = handedOver(writes, Columns::Compact, usedColumns);
    ASSERT_FALSE(compact.isEmpty());
    same = compact == handedOver(writes, Columns::Slots, usedColumns);
  }
  EXPECT_TRUE(same);
}

TEST(WrittenFiles, ARunOfEquationsWithCharts) {
  expectSameFile(
      [](excel::Application& app, excel::Sheet& data, core::WorkbookModel&) {
        for (int e = 0; e < 3; ++e) {
          const std::string x = core::columnLetters(2 * e + 1);
          for (int row = 1; row <= 500; ++row) {
            data.setCellNumber(row, 2 * e + 1, (row - 1) * 0.25 - 20);
            data.setCellText(row, 2 * e + 2, "=SIN(" + x + std::to_string(row) + ")+" + x + std::to_string(row));
          }
          auto chart = app.charts()->add();
          chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
          chart->setSourceData(*data.range(x + "1:" + core::columnLetters(2 * e + 2) + "500"), excel::xlColumns);
        }
      },
      6);
}

TEST(WrittenFiles, AMixOfFormulaResults) {
  expectSameFile(
      [](excel::Application&, excel::Sheet& data, core::WorkbookModel&) {
        for (int row = 1; row <= 40; ++row) {
          const auto at = [row](std::string text) {  // '#' stands for the row
            for (auto hash = text.find('#'); hash != std::string::npos; hash = text.find('#'))
              text.replace(hash, 1, std::to_string(row));
            return text;
          };
          data.setCellNumber(row, 1, row);
          data.setCellText(row, 2, at("=IF(A#>20,\"big \"&A#,A#/7)"));
          data.setCellText(row, 3, at("=1/(A#-3)"));
          data.setCellText(row, 4, at("=TODAY()+A#"));
          data.setCellText(row, 5, "=NOW()");
          data.setCellText(row, 6, at("=A#>30"));
          data.setCellText(row, 7, at("=SQRT(A#-10)"));
          data.setCellText(row, 8, at("=SUM(A$1:A#)"));
          data.setCellText(row, 9, at(row % 5 ? "text #" : "=B#"));
        }
        data.setCellText(12, 2, "=A12*A12");  // one cell of a filled-down column written apart
        data.setCellNumber(41, 1, 1e300);
      },
      9);
}

}  // namespace
