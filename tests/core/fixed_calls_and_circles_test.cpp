// A call that is the same for a whole filled-down column is computed once; a formula that
// reads itself reads 0 and is named as circular, as the spreadsheet shows it with iteration off.
#include <gtest/gtest.h>

#include "core/workbook_model.h"

namespace {

using calc::Value;

struct Column {
  core::WorkbookModel model{1, core::seededRandomSource(3)};
  core::SheetNode& sheet = *model.at(1);

  // x values 1..rows in A, `formula` filled down B1:B<rows>.
  Column(int rows, const std::string& formula) {
    for (int row = 1; row <= rows; ++row) model.setNumber(sheet, row, 1, row);
    for (int row = 1; row <= rows; ++row) model.setText(sheet, row, 2, std::string("=").append(moved(formula, row)));
  }
  // "A1" in the formula stands for the row's own x value.
  static std::string moved(std::string formula, int row) {
    for (std::size_t at = formula.find("A1"); at != std::string::npos; at = formula.find("A1", at + 1))
      if (at == 0 || formula[at - 1] != '$') formula.replace(at, 2, std::string("A").append(std::to_string(row)));
    return formula;
  }
  Value at(int row) { return model.value(sheet, row, 2); }
};

TEST(FixedCalls, AWholeColumnSumServesEveryRow) {
  Column column(200, "SUM(A:A)+A1");
  for (int row = 1; row <= 200; row += 37) EXPECT_EQ(column.at(row), Value(20100.0 + row)) << row;
  EXPECT_TRUE(column.model.circularCells().empty());
}

TEST(FixedCalls, TheColumnIsReadOnceNotOncePerRow) {
  Column column(400, "SUM(A:A)+A1");
  long reads = 0;
  column.model.setReadObserver([&reads](const core::WorkbookModel::CellRead& read) { reads += read.row > 0; });
  for (int row = 1; row <= 400; ++row) ASSERT_EQ(column.at(row), Value(80200.0 + row));
  EXPECT_LE(reads, 3 * 400) << "the sum was computed again for each row";
}

TEST(FixedCalls, AFixedRangeIsComputedAgainAfterAWrite) {
  Column column(10, "MAX($A$1:$A$10)*A1");
  EXPECT_EQ(column.at(2), Value(20.0));
  column.model.setNumber(column.sheet, 5, 1, 100);
  EXPECT_EQ(column.at(2), Value(200.0));
  EXPECT_EQ(column.at(5), Value(10000.0));
}

TEST(FixedCalls, ACallThatDrawsOrReadsItsCellStaysPerCell) {
  Column column(50, "RAND()+0*A1");
  bool differs = false;
  for (int row = 2; row <= 50; ++row) differs |= column.at(row) != column.at(1);
  EXPECT_TRUE(differs) << "every row drew the same number";
}

TEST(Circles, AColumnSummingItselfReadsZeroEverywhere) {
  Column column(300, "SUM(B:B)+A1");
  for (int row = 1; row <= 300; row += 50) EXPECT_EQ(column.at(row), Value(0.0)) << row;
  EXPECT_GE(column.model.circularCells().size(), 1u);
  EXPECT_EQ(column.model.circularCells().front().column, 2);
}

TEST(Circles, TwoCellsReadingEachOtherAreZeroAndTheirReaderIsNot) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& sheet = *model.at(1);
  model.setText(sheet, 1, 1, "=B1+1");
  model.setText(sheet, 1, 2, "=A1+1");
  model.setText(sheet, 1, 3, "=A1+5");
  EXPECT_EQ(model.value(sheet, 1, 3), Value(5.0));
  EXPECT_EQ(model.value(sheet, 1, 1), Value(0.0));
  EXPECT_EQ(model.value(sheet, 1, 2), Value(0.0));
  EXPECT_EQ(model.circularCells().size(), 2u);
}

TEST(Circles, ALongChainIsNoCircle) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& sheet = *model.at(1);
  model.setNumber(sheet, 1, 1, 1);
  for (int row = 2; row <= 5000; ++row) model.setText(sheet, row, 1, "=A" + std::to_string(row - 1) + "+1");
  EXPECT_EQ(model.value(sheet, 5000, 1), Value(5000.0));
  EXPECT_TRUE(model.circularCells().empty());
}

TEST(Uncomputed, AFunctionNeedingOutsideDataLeavesItsReadersUncomputed) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& sheet = *model.at(1);
  model.setText(sheet, 1, 1, "=CUBEVALUE(\"cube\",\"x\")");
  model.setText(sheet, 1, 2, "=IFERROR(A1,5)");
  model.setText(sheet, 1, 3, "=SUM(A1:B1)+1");
  model.setText(sheet, 1, 4, "=frobnicate(2)");
  model.setNumber(sheet, 1, 5, 7);
  model.setText(sheet, 1, 6, "=E1*2");
  for (int column = 1; column <= 3; ++column)
    EXPECT_TRUE(model.value(sheet, 1, column).isUncomputed()) << column;
  EXPECT_EQ(model.value(sheet, 1, 4), Value(calc::ErrorCode::Name)) << "no function of the spreadsheet's";
  EXPECT_EQ(model.value(sheet, 1, 6), Value(14.0));
}

// A whole-column call computed once for the column must not hand the rows below a count of
// cells whose values are not known here.
TEST(Uncomputed, AColumnWideCallOverUncomputedCellsLeavesEveryRowUncomputed) {
  core::WorkbookModel model(1, core::seededRandomSource(1));
  core::SheetNode& sheet = *model.at(1);
  model.setText(sheet, 1, 1, "=CUBEVALUE(\"cube\",\"x\")");
  for (int row = 2; row <= 5; ++row) model.setNumber(sheet, row, 1, row);
  for (int row = 1; row <= 5; ++row) {
    model.setText(sheet, row, 2, "=COUNT(A:A)+A" + std::to_string(row) + "*0");
    model.setText(sheet, row, 3, "=IFERROR(SUM(A:A),0)+C" + std::to_string(row + 10));
  }
  for (int row = 1; row <= 5; ++row) {
    EXPECT_TRUE(model.value(sheet, row, 2).isUncomputed()) << row;
    EXPECT_TRUE(model.value(sheet, row, 3).isUncomputed()) << row;
  }
}

}  // namespace
