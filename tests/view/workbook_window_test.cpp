// The workbook window against the workbook a run made: tabs, their order, the hidden Data
// sheet, the sheet in front, chart titles and legend texts.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTabWidget>

#include "render/chart_extraction.h"
#include "view/chart_view.h"
#include "view/data_sheet_view.h"
#include "view/data_table_model.h"
#include "view/workbook_window.h"
#include "view_test_support.h"

using view::WorkbookWindow;
using view_testing::runOf;

namespace {

std::unique_ptr<WorkbookWindow> windowOf(testing_support::RunFixture& run, const QString& file = "/tmp/Book7.xlsx") {
  auto window = std::make_unique<WorkbookWindow>(run.engine.lastWorkbook(), file, view::WorkbookWindowActions{});
  window->setAttribute(Qt::WA_DeleteOnClose, false);  // the test owns it
  return window;
}

}  // namespace

TEST(WorkbookWindow, TitledAfterTheBookFile) {
  EXPECT_EQ(WorkbookWindow::titleFor("/home/u/.local/share/Quorvane/Tessaline/workbooks/Book12.xlsx"),
            "Book12 - Tessaline");
  auto run = runOf({{"x*x", "0", "10", "1"}});
  EXPECT_EQ(windowOf(*run)->windowTitle(), "Book7 - Tessaline");
}

TEST(WorkbookWindow, SeparateChartsInWorkbookOrderFirstInFrontDataHidden) {
  auto run = runOf({{"x + 100", "0", "20", "1"}, {"x*x", "0", "10", "1"}, {"sin(x) + x", "0", "10", "0.5"}});
  auto window = windowOf(*run);
  EXPECT_EQ(window->tabTitles(), (QStringList{"Chart1", "Chart2", "Chart3"}));
  EXPECT_EQ(window->currentSheetName(), "Chart1");
  ASSERT_NE(window->chartView("Chart2"), nullptr);
  EXPECT_EQ(window->chartView("Chart2")->chart().title, "F(x) = x*x");
  EXPECT_EQ(window->chartView("Chart3")->chart().title, "F(x) = sin(x) + x");
  // One series per chart, as the spreadsheet names a series made from a block.
  ASSERT_EQ(window->chartView("Chart2")->chart().series.size(), 1u);
  EXPECT_EQ(window->chartView("Chart2")->chart().series[0].x.size(), 12u);  // the block runs one row past the data

  window->setShowHiddenSheets(true);
  EXPECT_EQ(window->tabTitles(), (QStringList{"Chart1", "Chart2", "Chart3", "Data"}));
  EXPECT_EQ(window->currentSheetName(), "Data");  // shown, as unhiding shows it
  window->setShowHiddenSheets(false);
  EXPECT_EQ(window->tabTitles(), (QStringList{"Chart1", "Chart2", "Chart3"}));
  EXPECT_EQ(window->currentSheetName(), "Chart1");
  window->showSheet("Chart3");
  window->showSheet("Data");
  EXPECT_TRUE(window->showsHiddenSheets());
  EXPECT_EQ(window->currentSheetName(), "Data");
}

TEST(WorkbookWindow, OneChartHasNoTitleAndALegendEntryPerEquation) {
  auto run = runOf({{"x + 100", "0", "20", "1"}, {"x*x", "0", "10", "1"}, {"-x", "0", "4", "1"}}, false);
  auto window = windowOf(*run);
  EXPECT_EQ(window->tabTitles(), (QStringList{"Chart"}));
  const auto& chart = window->chartView("Chart")->chart();
  EXPECT_TRUE(chart.title.isEmpty());
  EXPECT_TRUE(chart.showLegend);
  QStringList legend;
  for (const auto& series : chart.series) legend << series.name;
  EXPECT_EQ(legend, (QStringList{"F(x) = x + 100", "F(x) = x*x", "F(x) = -x"}));
  EXPECT_EQ(chart.series[2].y.size(), 5u);  // each series over its own equation's rows
  EXPECT_EQ(chart.series[2].y[4], -4);
  EXPECT_FALSE(chart.xGridlines.major);
  EXPECT_TRUE(chart.yGridlines.major);
}

TEST(WorkbookWindow, ErrorCellsAreGapsAndTextualErrorsShowInTheTable) {
  auto run = runOf({{"1/(x-2)", "0", "4", "1"}});
  auto window = windowOf(*run);
  const auto& series = window->chartView("Chart1")->chart().series.at(0);
  EXPECT_DOUBLE_EQ(series.y[1], 1.0 / (1 - 2));
  EXPECT_TRUE(std::isnan(series.y[2]));  // #DIV/0! at x = 2
  EXPECT_TRUE(std::isnan(series.y[5]));  // the empty row below the data
  window->showSheet("Data");
  auto* data = window->dataSheetView("Data");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->model()->index(2, 1).data().toString(), "#DIV/0!");
}

TEST(WorkbookWindow, TheStatusBarTellsOfValuesNotComputedHereAndOfCircles) {
  auto run = runOf({{"x*x", "0", "3", "1"}, {"webservice(x)", "0", "3", "1"}, {"sum(f:f)+x", "0", "3", "1"}});
  auto window = windowOf(*run);
  QLabel* notes = window->computationNotes();
  ASSERT_NE(notes, nullptr);
  EXPECT_FALSE(notes->isHidden());
  const QString uncomputed =
      "4 values of equation 2 (F(x) = webservice(x)) could not be computed here: they need a function that "
      "Tessaline leaves to your spreadsheet application, which computes them when it opens the workbook.";
  const QString circular = "Equation 3 (F(x) = sum(f:f)+x) reads its own cell F1 (a circular reference)";
  EXPECT_TRUE(notes->text().startsWith(uncomputed + "  " + circular)) << notes->text().toStdString();
  EXPECT_EQ(notes->toolTip(), notes->text().replace(".  E", ".\nE"));
  // A hovered point's text covers the note only while the pointer is on the point.
  window->show();
  auto* chart = window->chartView("Chart1");
  chart->grab();
  QTest::mouseMove(chart, chart->geometry().toPixel(2, 4).toPoint());
  EXPECT_EQ(window->statusBar()->currentMessage(), "Series1:  x = 2, f(x) = 4");
  EXPECT_TRUE(notes->isHidden());
  QTest::mouseMove(chart, chart->geometry().plotArea.topLeft().toPoint() + QPoint(2, 2));
  EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
  EXPECT_FALSE(notes->isHidden());
}

TEST(WorkbookWindow, AWorkbookWithAllValuesComputedHasNoNote) {
  auto run = runOf({{"x*x", "0", "3", "1"}, {"1/x", "0", "3", "1"}}, false);  // #DIV/0! is a value
  auto window = windowOf(*run);
  EXPECT_TRUE(window->computationNotes()->isHidden());
  EXPECT_TRUE(window->computationNotes()->text().isEmpty());
}

TEST(WorkbookWindow, AWorkbookWithoutChartsShowsItsWorksheet) {
  auto run = runOf({{"x", "5", "1", "1"}});  // no values: the chart still exists
  auto window = windowOf(*run);
  EXPECT_EQ(window->currentSheetName(), "Chart1");
  testing_support::RunFixture empty;
  empty.engine.create();
  auto app = empty.engine.created.back();
  app->addWorkbook();
  WorkbookWindow plain(app->activeWorkbook(), "/tmp/Book1.xlsx", {});
  plain.setAttribute(Qt::WA_DeleteOnClose, false);
  EXPECT_EQ(plain.tabTitles(), (QStringList{"Sheet1"}));
  EXPECT_EQ(plain.currentSheetName(), "Sheet1");
}

TEST(WorkbookWindow, KeepsWhatItWasGivenAliveUntilItCloses) {
  auto run = runOf({{"x", "0", "3", "1"}});
  auto token = std::make_shared<int>(5);
  std::weak_ptr<int> watch = token;
  auto* window = new WorkbookWindow(run->engine.lastWorkbook(), "/tmp/Book2.xlsx", {}, token);
  token.reset();
  window->show();
  EXPECT_FALSE(watch.expired());
  window->close();  // deletes itself later
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watch.expired());
}
