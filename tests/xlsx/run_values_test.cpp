// A graphing run's workbook, as the hand-over writes it: every x value reads back from the
// file bit for bit as the double the run computed, raw and through openpyxl.
#include <gtest/gtest.h>

#include <QDir>

#include <cstring>

#include "graphing/run_fixture.h"
#include "readers.h"

namespace {

std::string hexOf(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

// Python's float.hex() and C's %a spell the same bits differently: compare the doubles.
double fromHex(const QString& hex) { return std::strtod(hex.toStdString().c_str(), nullptr); }

TEST(RunValues, XValuesReadBackBitForBitAsTheRunComputedThem) {
  testing_support::RunFixture fixture;
  fixture.add("x", "0", "1", "0.01");
  fixture.add("x^2", "0", "3", "0.1");
  fixture.runExpecting(0);
  const QString book = QDir(fixture.engine.folder() + "/workbooks").filePath("Book1.xlsx");
  QString complaint;
  const QJsonObject cells = xlsx_test::readCells(book, "Data", &complaint);
  ASSERT_FALSE(cells.isEmpty()) << complaint.toStdString();
  const QJsonObject raw = cells["raw"].toObject(), read = cells["openpyxl"].toObject();
  int inexact = 0;  // x values that 16 digits would not have kept
  for (const int column : {1, 3}) {
    const int rows = fixture.data().rowCount(column);
    EXPECT_GE(rows, column == 1 ? 100 : 30);
    for (int row = 1; row <= rows; ++row) {
      const double x = fixture.number(row, column);
      ASSERT_GT(x, -1e300) << "row " << row;
      const QString cell = QString("%1%2").arg(QChar('A' + column - 1)).arg(row);
      EXPECT_EQ(hexOf(fromHex(raw[cell].toObject()["hex"].toString())), hexOf(x)) << cell.toStdString();
      EXPECT_EQ(hexOf(fromHex(read[cell].toObject()["hex"].toString())), hexOf(x)) << cell.toStdString();
      char sixteen[32];
      std::snprintf(sixteen, sizeof sixteen, "%.16G", x);
      inexact += std::strtod(sixteen, nullptr) != x;
    }
    EXPECT_FALSE(raw[QString("%1%2").arg(QChar('A' + column - 1)).arg(rows + 1)].isObject()) << "the column ends";
  }
  EXPECT_GT(inexact, 0) << "the ranges should include x values that need 17 digits";
}

}  // namespace
