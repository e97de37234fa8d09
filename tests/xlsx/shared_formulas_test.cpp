// Filled-down formulas written as shared formulas: which formulas share, and every reader
// rebuilding each cell's own formula (openpyxl's text; LibreOffice and gnumeric recalculating
// to the cached values, which they can only do with the right formula in every cell).
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "readers.h"
#include "calc/file_formula.h"
#include "shared_formulas.h"
#include "core/workbook_model.h"
#include "xlsx/workbook_writer.h"

namespace {

using xlsx::rowShiftKey;

TEST(RowShiftKey, FilledDownFormulasShareAKey) {
  EXPECT_EQ(rowShiftKey("SIN(A1)+A1", 1), rowShiftKey("SIN(A7)+A7", 7));
  EXPECT_EQ(rowShiftKey("$A$1*B2+Data!C3", 2), rowShiftKey("$A$1*B9+Data!C10", 9));
  EXPECT_EQ(rowShiftKey("SUM(A1:A3)+'My Sheet'!$B2", 1), rowShiftKey("SUM(A5:A7)+'My Sheet'!$B6", 5));
  EXPECT_EQ(rowShiftKey("LOG10(A1)&\"A1\"", 1), rowShiftKey("LOG10(A2)&\"A1\"", 2)) << "text stays text";
  EXPECT_EQ(rowShiftKey("SUM(A:A)", 1), rowShiftKey("SUM(A:A)", 2));
}

TEST(RowShiftKey, DifferentFormulasAndFixedRowsDoNot) {
  EXPECT_NE(rowShiftKey("SIN(A1)+A1", 1), rowShiftKey("SIN(A1)+A2", 2));
  EXPECT_NE(rowShiftKey("A$1*2", 1), rowShiftKey("A$2*2", 2)) << "absolute rows must be equal";
  EXPECT_NE(rowShiftKey("A1*2", 1), rowShiftKey("B2*2", 2));
  EXPECT_NE(rowShiftKey("A1&\"A1\"", 1), rowShiftKey("A2&\"A2\"", 2)) << "text never moves";
  EXPECT_NE(rowShiftKey("A1*2.5", 1), rowShiftKey("A2*2.6", 2));
}

TEST(RowShiftKey, FormulasReadersMightMoveDifferentlyAreNeverShared) {
  EXPECT_FALSE(rowShiftKey("SUM(1:3)", 1));
  EXPECT_FALSE(rowShiftKey("SUM($2:$2)", 1));
  EXPECT_FALSE(rowShiftKey("XFE1+1", 1)) << "past the last column";
  EXPECT_FALSE(rowShiftKey("A1048577", 1)) << "past the last row";
  EXPECT_TRUE(rowShiftKey("AB1!A1+TRUE", 1)) << "a sheet name is no reference";
  EXPECT_FALSE(rowShiftKey("LOG10 (A1)", 1)) << "a reader may take LOG10 for a cell";
  EXPECT_FALSE(rowShiftKey("ATAN2 (A1,1)", 1));
  EXPECT_TRUE(rowShiftKey("LOG10(A1)+ATAN2(A1,1)", 1));
  EXPECT_FALSE(rowShiftKey("A1:3", 1)) << "a whole row to a reader";
}

TEST(SharedGroups, RunsOfTwoOrMoreDownAColumn) {
  core::WorkbookModel model(1);
  core::SheetNode& sheet = *model.at(1);
  const char* formulas[] = {"=A1*2", "=A2*2", "=A3*2", "=A4*3", "=A5*2", "=A6*2", nullptr, "=A8*2", "=A9*2"};
  for (int row = 1; row <= 9; ++row)
    if (formulas[row - 1]) model.setText(sheet, row, 2, formulas[row - 1]);
  std::int32_t next = 5;
  const auto groups = xlsx::sharedGroups(*sheet.cells, 2, next);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ((std::vector<int>{groups[0].firstRow, groups[0].lastRow, groups[0].index}), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ((std::vector<int>{groups[1].firstRow, groups[1].lastRow, groups[1].index}), (std::vector<int>{5, 6, 6}));
  EXPECT_EQ((std::vector<int>{groups[2].firstRow, groups[2].lastRow, groups[2].index}), (std::vector<int>{8, 9, 7}));
  EXPECT_EQ(next, 8);
}

// Columns of filled-down formulas of many shapes, a break in the middle of one, a formula on
// another sheet, text that looks like references and a name past the last column.
core::WorkbookModel& fillDown(core::WorkbookModel& model, int rows) {
  core::SheetNode& data = *model.at(1);
  core::SheetNode& other = *model.at(2);
  model.rename(data, "Data");
  model.rename(other, "My Sheet");
  model.setNumber(other, 1, 1, 10);
  for (int row = 1; row <= rows; ++row) {
    const std::string r = std::to_string(row), below = std::to_string(row + 1);
    model.setNumber(data, row, 1, row * 0.25 - 3);
    model.setText(data, row, 2, "=SIN(A" + r + ")+A" + r);
    model.setText(data, row, 3, "=A" + r + "*$A$1+'My Sheet'!$A$1+SUM(A$1:A" + r + ")");
    model.setText(data, row, 4, row == rows / 2 ? "=1/0" : "=IF(A" + r + ">0,\"A1\",A" + below + "^2)");
    model.setText(data, row, 5, "=COT(A" + r + ")+LOG10(ABS(A" + r + ")+1)");
    model.setText(data, row, 6, "=A3*2+1");  // the same text in every row: not filled down
    model.setText(data, row, 7, "=A" + r + "*2+XFE1");  // filled down, but a reader might move XFE1
  }
  return model;
}

class SharedReadersTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
};

TEST_F(SharedReadersTest, OpenpyxlRebuildsEachCellsFormula) {
  constexpr int kRows = 60;
  core::WorkbookModel model(2);
  fillDown(model, kRows);
  const QString book = dir.filePath("shared.xlsx");
  xlsx::writeWorkbook(model, book.toStdString());
  const QJsonObject cells = xlsx_test::readCells(book, "Data");
  ASSERT_FALSE(cells.isEmpty());
  const QJsonObject raw = cells["raw"].toObject(), read = cells["openpyxl"].toObject();
  int stubs = 0;
  const core::SheetNode& data = *model.find("Data");
  for (int row = 1; row <= kRows; ++row)
    for (int column = 2; column <= 7; ++column) {
      const QString cell = QString("%1%2").arg(QChar('A' + column - 1)).arg(row);
      const std::string text = data.cells->formulaText(*data.cells->slot(row, column), row);
      const std::string expected = "=" + (column == 5 ? calc::fileFormula(text) : text);
      EXPECT_EQ(read[cell].toObject()["formula"].toString().toStdString(), expected) << cell.toStdString();
      stubs += raw[cell].toObject()["f"].isNull();
      if (column >= 6) {
        EXPECT_FALSE(raw[cell].toObject()["f"].isNull()) << cell.toStdString() << " is not shared";
      }
    }
  EXPECT_GT(stubs, 4 * kRows - 12) << "nearly every formula is shared";
}

// LibreOffice (always recalculating) and gnumeric (told to recalculate) compute each cell from
// the formula they rebuilt; the values match ours only if every formula came back right.
TEST_F(SharedReadersTest, LibreOfficeAndGnumericRecalculateToTheCachedValues) {
  constexpr int kRows = 40;
  core::WorkbookModel model(2);
  fillDown(model, kRows);
  const QString book = dir.filePath("shared.xlsx");
  xlsx::writeWorkbook(model, book.toStdString());
  const core::SheetNode& data = *model.find("Data");
  // Their values by cell, as text; numbers compared as doubles. Column G is left out: gnumeric
  // keeps a formula naming XFE1 as text.
  auto check = [&](const std::function<QString(const QString& cell)>& theirs, const char* reader) {
    for (int row = 1; row <= kRows; ++row)
      for (int column = 2; column <= 6; ++column) {
        const QString cell = QString("%1%2").arg(QChar('A' + column - 1)).arg(row);
        const calc::Value ours = model.value(data, row, column);
        const QString got = theirs(cell);
        if (ours.isNumber()) {
          bool number = false;
          const double value = got.toDouble(&number);
          EXPECT_TRUE(number) << reader << " " << cell.toStdString() << ": " << got.toStdString();
          EXPECT_NEAR(value, ours.number(), 1e-9 * std::max(1.0, std::fabs(ours.number()))) << reader << " " << cell.toStdString();
        } else if (ours.isText()) {
          EXPECT_EQ(got.toStdString(), ours.text()) << reader << " " << cell.toStdString();
        } else {
          EXPECT_TRUE(got.startsWith('#') || got.startsWith("Err:")) << reader << " " << cell.toStdString() << ": " << got.toStdString();
        }
      }
  };
  if (xlsx_test::haveLibreOffice()) {
    const auto run = xlsx_test::convertWithLibreOffice(book, "xlsx", dir.filePath("lo"), xlsx_test::Recalculation::Always);
    ASSERT_TRUE(run.ok) << run.output.toStdString();
    const QJsonObject cells = xlsx_test::readCells(dir.filePath("lo/shared.xlsx"), "Data")["openpyxl"].toObject();
    ASSERT_FALSE(cells.isEmpty());
    check([&](const QString& cell) { return cells[cell].toObject()["value"].toVariant().toString(); }, "LibreOffice");
  }
  if (xlsx_test::haveGnumeric()) {
    const auto run = xlsx_test::runReader(QStandardPaths::findExecutable("ssconvert"),
                                          {"--recalc", "-S", book, dir.filePath("gnumeric %s.csv")});
    ASSERT_TRUE(run.ok) << run.output.toStdString();
    QFile csv(dir.filePath("gnumeric Data.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n');
    check([&](const QString& cell) {
      const int row = cell.mid(1).toInt(), column = cell[0].unicode() - 'A';
      return row - 1 < lines.size() ? lines[row - 1].split(',').value(column).remove('"') : QString();
    }, "gnumeric");
  }
}

}  // namespace
