// The Data sheet as a table: letters and numbers in the headers, values and formulas of the
// cells as the run wrote them, errors by their code, a million rows at once.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>

#include <QFile>
#include <QTemporaryDir>

#include "calc/number_text.h"
#include "view/data_csv.h"
#include "view/data_sheet_view.h"
#include "view/data_table_model.h"
#include "view_test_support.h"

using view::DataTableModel;

namespace {

// Sets the default locale for one test and puts the one before back.
struct DefaultLocale {
  explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
  ~DefaultLocale() { QLocale::setDefault(before); }
  QLocale before;
};

}  // namespace

TEST(DataTable, ShowsTheCellsAsTheRunWroteThem) {
  const DefaultLocale c(QLocale::c());
  auto run = view_testing::runOf({{"sin(x) + x", "0", "10", "0.5"}, {"x*x", "0", "4", "1"}, {"error", "0", "1", "1"}});
  auto book = run->engine.lastWorkbook();
  DataTableModel model(book, book->find("Data"));
  EXPECT_EQ(model.rowCount(), 21);
  EXPECT_EQ(model.columnCount(), 6);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "A");
  EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), "D");
  EXPECT_EQ(model.headerData(20, Qt::Vertical).toString(), "21");
  for (int row = 0; row < 21; ++row) {
    const double x = run->number(row + 1, 1);
    EXPECT_EQ(model.index(row, 0).data().toString(), QString::number(x));
    EXPECT_EQ(model.index(row, 1).data(DataTableModel::ContentRole).toString(), QString("=SIN(A%1)+A%1").arg(row + 1));
  }
  EXPECT_EQ(model.index(1, 1).data().toString(), "0.979425539");  // sin(0.5) + 0.5 in General's 11 characters
  EXPECT_EQ(model.index(20, 1).data().toString(), "9.455978889");
  EXPECT_EQ(model.index(2, 1).data(DataTableModel::ContentRole).toString(), "=SIN(A3)+A3");
  EXPECT_EQ(model.index(3, 3).data().toString(), "9");
  EXPECT_TRUE(model.index(5, 3).data().toString().isEmpty());  // the second equation's column ends at row 5
  EXPECT_EQ(model.index(0, 5).data().toString(), "#NAME?");
  EXPECT_EQ(model.index(0, 5).data(DataTableModel::ContentRole).toString(), "=ERROR");
  EXPECT_EQ(model.index(0, 0).data(DataTableModel::ContentRole).toString(), "0");  // a number, not a formula
  EXPECT_EQ(model.index(0, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
  EXPECT_EQ(model.index(1, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
            Qt::AlignRight);
  EXPECT_EQ(DataTableModel::cellName(model.index(11, 5)), "F12");
}

TEST(DataTable, NumbersShowAsAStandardColumnDoesAndInFullAboveTheTable) {
  const DefaultLocale c(QLocale::c());
  auto run = view_testing::runOf({{"x*1E+20", "0.1", "0.35", "0.1"}});
  auto book = run->engine.lastWorkbook();
  DataTableModel model(book, book->find("Data"));
  EXPECT_EQ(model.index(2, 0).data().toString(), "0.3");  // 0.30000000000000004 after two steps
  EXPECT_EQ(model.index(2, 0).data(DataTableModel::ContentRole).toString(), "0.3");
  EXPECT_EQ(model.index(0, 1).data().toString(), "1E+19");
  EXPECT_EQ(model.index(1, 0).data().toString(), "0.2");
}

TEST(DataTable, TheFormulaOfTheSelectedCellShowsAboveTheTable) {
  auto run = view_testing::runOf({{"x^2", "1", "3", "1"}});
  auto book = run->engine.lastWorkbook();
  view::DataSheetView sheet(book, book->find("Data"));
  EXPECT_EQ(sheet.cellNameText(), "A1");
  EXPECT_EQ(sheet.formulaText(), "1");
  sheet.table()->setCurrentIndex(sheet.model()->index(2, 1));
  EXPECT_EQ(sheet.cellNameText(), "B3");
  EXPECT_EQ(sheet.formulaText(), "=A3^2");
}

TEST(DataTable, AMillionRowsOpenAtOnce) {
  testing_support::RunFixture fixture;
  fixture.engine.create();
  auto app = fixture.engine.created.back();
  app->addWorkbook();
  auto book = app->activeWorkbook();
  auto sheet = book->at(1);
  for (int row = 1; row <= 1'000'000; ++row) book->setNumber(*sheet, row, 1, row * 0.5);
  book->setText(*sheet, 1'000'000, 2, "=A1000000*2");
  view::DataSheetView view(book, sheet);
  view.resize(800, 600);
  view.show();
  EXPECT_EQ(view.model()->rowCount(), 1'000'000);
  view.table()->scrollToBottom();
  const QModelIndex last = view.model()->index(999'999, 1);
  view.table()->setCurrentIndex(last);
  EXPECT_EQ(last.data().toString(), "1000000");
  EXPECT_EQ(view.formulaText(), "=A1000000*2");
  EXPECT_EQ(view.table()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST(DataTable, NumbersAsTheUsersLocaleWritesThemWhileFilesStayLocaleFree) {
  const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
  auto run = view_testing::runOf({{"x/3", "0", "1.5", "0.5"}, {"x*1E+20", "-1.5", "-1.5", "1"}});
  auto book = run->engine.lastWorkbook();
  view::DataSheetView sheet(book, book->find("Data"));
  const DataTableModel& model = *sheet.model();
  EXPECT_EQ(model.index(1, 0).data().toString(), "0,5");
  EXPECT_EQ(model.index(1, 1).data().toString(), "0,166666667");
  EXPECT_EQ(model.index(0, 3).data().toString(), "-1,5E+20");
  EXPECT_EQ(model.index(0, 2).data().toString(), "-1,5");
  sheet.table()->setCurrentIndex(model.index(3, 0));
  EXPECT_EQ(sheet.formulaText(), "1,5");
  sheet.table()->setCurrentIndex(model.index(1, 1));
  EXPECT_EQ(sheet.formulaText(), "=A2/3");  // formulas keep the file's own syntax

  QTemporaryDir dir;
  view::writeDataCsv(*book, dir.filePath("data.csv"));
  QFile csv(dir.filePath("data.csv"));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(csv.readAll());
  EXPECT_TRUE(text.startsWith("0,0,-1.5,-1.5e+20\r\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("\n0.5,0.16666666666666666,")) << text.toStdString();
}
