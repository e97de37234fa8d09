// A column of filled-down formulas as the graphing run writes it: one compiled formula for the
// whole column, every cell with its own text and value, and writes in the middle of the column
// leaving the other cells as they were.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/workbook_model.h"

namespace {

using calc::ErrorCode;
using calc::Value;

class FilledDownColumn : public ::testing::Test {
 protected:
  core::WorkbookModel model{1, core::seededRandomSource(1)};
  core::SheetNode& sheet = *model.at(1);
  const core::WorksheetCells& cells() const { return *sheet.cells; }

  void fill(int rows, const std::string& before, const std::string& after = "") {
    for (int row = 1; row <= rows; ++row) {
      model.setNumber(sheet, row, 1, row * 0.5 - 3);
      model.setText(sheet, row, 2, "=" + before + std::to_string(row) + after);
    }
  }
  const core::FormulaGroup* group(int row, int column = 2) const {
    const core::CellSlot* slot = cells().slot(row, column);
    return slot && slot->kind == core::CellKind::Formula ? &cells().group(*slot) : nullptr;
  }
  std::string text(int row, int column = 2) const { return cells().formulaText(*cells().slot(row, column), row); }
  Value value(int row, int column = 2) const { return model.value(sheet, row, column); }
};

TEST_F(FilledDownColumn, SharesOneFormulaAndShowsEachCellItsOwn) {
  fill(2000, "SIN(A", ")*2");
  for (int row = 1; row <= 2000; ++row) {
    ASSERT_EQ(group(row), group(1)) << "row " << row;
    ASSERT_EQ(text(row), "SIN(A" + std::to_string(row) + ")*2");
    // The sheet takes quarter turns off with its own 64-bit pi/2, so near a multiple of pi its
    // last digits differ from std::sin's by a few units of the argument's last place.
    ASSERT_TRUE(value(row).isNumber()) << "row " << row;
    ASSERT_NEAR(value(row).number(), std::sin(row * 0.5 - 3) * 2, 1e-15 * 1000) << "row " << row;
  }
  EXPECT_EQ(group(1)->cells, 2000u);
}

TEST_F(FilledDownColumn, FormulasThatAreNotFilledDownStayApart) {
  for (int row = 1; row <= 3; ++row) {
    model.setNumber(sheet, row, 1, row);
    model.setText(sheet, row, 2, "=A1*2");  // the same text in every row: a fixed cell meant
  }
  EXPECT_NE(group(2), group(1));
  EXPECT_EQ(text(3), "A1*2");
  EXPECT_EQ(value(3), Value(2.0));
  model.setText(sheet, 4, 2, "=A3+A4");
  model.setText(sheet, 5, 2, "=A4+A6");
  EXPECT_NE(group(5), group(4));
  EXPECT_EQ(text(5), "A4+A6");
}

TEST_F(FilledDownColumn, WritesInTheMiddleLeaveTheRestAsTheyWere) {
  fill(10, "A", "^2");
  model.setNumber(sheet, 5, 2, 99);
  model.setText(sheet, 1, 2, "=\"first\"");
  EXPECT_EQ(value(5), Value(99.0));
  EXPECT_EQ(value(1), Value("first"));
  EXPECT_EQ(text(2), "A2^2") << "the group outlives its first cell";
  EXPECT_EQ(value(6), Value(0.0));
  EXPECT_EQ(group(10)->cells, 8u);
  model.setText(sheet, 5, 2, "=A5^2");
  EXPECT_EQ(group(5), group(4)) << "written back, it joins the cell above";
  EXPECT_EQ(value(5), Value(0.25));
  for (int row = 2; row <= 10; ++row) model.setNumber(sheet, row, 2, row);
  model.setText(sheet, 2, 2, "=A2*3");  // every cell of the old group gone: its place is reused
  EXPECT_EQ(value(2), Value(-6.0));
  EXPECT_EQ(text(2), "A2*3");
  for (int round = 0; round < 100; ++round) {
    model.setText(sheet, 3, 2, "=A3*3");
    model.setNumber(sheet, 3, 2, round);
  }
  EXPECT_EQ(cells().formulaCellCount(), 10u) << "the value cache grows with the formulas held, not written";
}

TEST_F(FilledDownColumn, EveryKindOfResultIsKeptPerCell) {
  fill(12, "A");
  for (int row = 1; row <= 12; ++row) {
    const std::string r = std::to_string(row);
    model.setText(sheet, row, 3, "=IF(A" + r + ">0,\"at \"&A" + r + ",IF(A" + r + "<-2,1/0,A" + r + "=-1))");
  }
  EXPECT_EQ(group(12, 3), group(1, 3));
  EXPECT_EQ(value(1, 3), Value(ErrorCode::Div0));
  EXPECT_EQ(value(4, 3), Value(true));
  EXPECT_EQ(value(5, 3), Value(false));
  EXPECT_EQ(value(7, 3), Value("at 0.5"));
  EXPECT_EQ(value(12, 3), Value("at 3"));
  EXPECT_EQ(value(6, 3), Value(false));
}

TEST_F(FilledDownColumn, RunningTotalsAndChainsReadTheirOwnRows) {
  for (int row = 1; row <= 5000; ++row) {
    const std::string r = std::to_string(row);
    model.setNumber(sheet, row, 1, row);
    model.setText(sheet, row, 2, "=SUM(A$1:A" + r + ")");
    model.setText(sheet, row, 3, row == 1 ? "=1" : "=C" + std::to_string(row - 1) + "+1");  // each reads the one above
  }
  EXPECT_EQ(group(5000), group(1));
  EXPECT_EQ(group(5000, 3), group(2, 3));
  EXPECT_EQ(value(5000, 3), Value(5000.0));
  for (int row : {1, 2, 77, 5000}) EXPECT_EQ(value(row), Value(row * (row + 1) / 2.0)) << "row " << row;
}

TEST_F(FilledDownColumn, AtTheFootOfTheSheetTheRowThatWouldLeaveIsParsedAsWritten) {
  model.setText(sheet, 1048575, 2, "=A1048576+1");
  model.setText(sheet, 1048576, 2, "=A1048577+1");  // no such cell: a name, which is #NAME?
  EXPECT_NE(group(1048576), group(1048575));
  EXPECT_EQ(value(1048575), Value(1.0));
  EXPECT_EQ(value(1048576), Value(ErrorCode::Name));
}

TEST_F(FilledDownColumn, ATextGrownPastTheLengthLimitIsRefusedAsAnyOther) {
  std::string padding;
  while (padding.size() < 8190) padding += "+1";  // with "A9", 8192 characters
  model.setText(sheet, 9, 2, "=A9" + padding);
  EXPECT_EQ(text(9).size(), 8192u);
  EXPECT_THROW(model.setText(sheet, 10, 2, "=A10" + padding), core::WorkbookError);
  EXPECT_EQ(cells().slot(10, 2), nullptr) << "nothing stored";
}

}  // namespace

namespace {

// Filling down by a group's mark, as a writer that knows its formula does: only under the very
// group it names, never under another that took a freed group's place.
TEST_F(FilledDownColumn, FillingDownByMarkNeedsTheVeryGroupAbove) {
  fill(3, "SIN(A", ")");
  const core::FormulaGroupMark sine = cells().markOf(cells().cell(3, 2));
  EXPECT_TRUE(model.fillDown(sheet, 4, 2, sine));
  EXPECT_EQ(text(4), "SIN(A4)");
  EXPECT_EQ(group(4), group(1));
  EXPECT_FALSE(model.fillDown(sheet, 6, 2, sine));  // row 5 is empty
  EXPECT_EQ(cells().cell(6, 2).kind, core::CellKind::Empty);

  for (int row = 1; row <= 4; ++row) model.setValue(sheet, row, 2, Value());
  for (int row = 1; row <= 4; ++row) model.setText(sheet, row, 2, "=COS(A" + std::to_string(row) + ")");
  ASSERT_EQ(cells().cell(4, 2).index, sine.group);  // the freed group's place, taken again
  EXPECT_FALSE(model.fillDown(sheet, 5, 2, sine));
  EXPECT_EQ(cells().cell(5, 2).kind, core::CellKind::Empty);
  EXPECT_TRUE(model.fillDown(sheet, 5, 2, cells().markOf(cells().cell(4, 2))));
  EXPECT_EQ(text(5), "COS(A5)");
  EXPECT_THROW(model.fillDown(sheet, 1048577, 2, sine), core::WorkbookError);
}

}  // namespace
