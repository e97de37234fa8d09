// Columns written as the graphing run writes them (x values from row 1 down, a formula filled
// down beside them) are kept compact; every other write turns a column into slots, and no write
// changes what the cells answer.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/workbook_model.h"

namespace {

using calc::ErrorCode;
using calc::Value;

double xOf(int row) { return row * 0.5 - 3; }
double yOf(int row) { return std::sin(xOf(row)) + xOf(row); }

class CompactColumns : public ::testing::Test {
 protected:
  core::WorkbookModel model{2, core::seededRandomSource(1)};
  core::SheetNode& sheet = *model.at(1);
  const core::WorksheetCells& cells() const { return *sheet.cells; }

  // x in column `x`, =SIN(x)+x beside it, rows 1 to `rows`.
  void writeRow(int row, int x = 1) {
    model.setNumber(sheet, row, x, xOf(row));
    const std::string cell = core::cellName(row, x);
    model.setText(sheet, row, x + 1, "=SIN(" + cell + ")+" + cell);
  }
  void fill(int rows, int x = 1) {
    for (int row = 1; row <= rows; ++row) writeRow(row, x);
  }
  std::string formula(int row, int column) const {
    const core::CellSlot slot = cells().cell(row, column);
    return slot.kind == core::CellKind::Formula ? cells().formulaText(slot, row) : "(no formula)";
  }
  // Every row but `except` answers as fill() wrote it.
  void expectFilled(int rows, int except = 0, int x = 1) {
    for (int row = 1; row <= rows; ++row) {
      if (row == except) continue;
      const std::string cell = core::cellName(row, x);
      ASSERT_EQ(model.value(sheet, row, x), Value(xOf(row))) << "row " << row;
      ASSERT_EQ(formula(row, x + 1), "SIN(" + cell + ")+" + cell) << "row " << row;
      const Value y = model.value(sheet, row, x + 1);
      ASSERT_TRUE(y.isNumber()) << "row " << row;
      ASSERT_DOUBLE_EQ(y.number(), yOf(row)) << "row " << row;
    }
  }
};

TEST_F(CompactColumns, ARunCostsTheNumbersOnly) {
  constexpr int kRows = 4096;
  fill(kRows);
  expectFilled(kRows);
  EXPECT_LE(cells().cellBytes(), kRows * sizeof(double) + 2 * sizeof(core::ColumnStore))
      << "8 bytes a number; the formula column holds its group alone";
  EXPECT_EQ(cells().formulaCellCount(), static_cast<std::uint32_t>(kRows)) << "one value a formula cell";
  EXPECT_EQ(cells().group(cells().cell(kRows, 2)).cells, static_cast<std::uint32_t>(kRows));
  EXPECT_EQ(cells().rowCount(1), kRows);
  EXPECT_EQ(cells().rowCount(2), kRows);
  EXPECT_EQ(cells().maxRow(), kRows);
  EXPECT_EQ(cells().column(2).size(), static_cast<std::size_t>(kRows));
  EXPECT_EQ(cells().column(2)[kRows - 1].kind, core::CellKind::Formula);
  EXPECT_EQ(cells().column(1)[9].number, xOf(10));
}

TEST_F(CompactColumns, SlotPointersReadCompactCells) {
  fill(5);
  const core::CellSlot* x = cells().slot(3, 1);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->kind, core::CellKind::Number);
  EXPECT_EQ(x->number, xOf(3));
  const core::CellSlot* y = cells().slot(4, 2);
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(cells().formulaText(*y, 4), "SIN(A4)+A4");
  EXPECT_EQ(cells().slot(6, 1), nullptr);
  EXPECT_EQ(cells().slot(0, 2), nullptr);
  EXPECT_EQ(cells().slot(1, 3), nullptr);
}

// Each write a compact column cannot take, at row 20 of 50.
struct Disturbance {
  const char* name;
  int column;
  std::function<void(core::WorkbookModel&, core::SheetNode&)> write;
  Value expected;  // what the cell then answers
  bool freesAFormula = false;
  std::uint32_t formulaCells = 50;  // places in the value cache then
};

class EachDisturbance : public CompactColumns, public ::testing::WithParamInterface<Disturbance> {};

TEST_P(EachDisturbance, LeavesTheOtherCellsAsTheyWere) {
  fill(50);
  GetParam().write(model, sheet);
  expectFilled(50, 20);
  EXPECT_EQ(model.value(sheet, 20, GetParam().column), GetParam().expected);
  EXPECT_EQ(cells().rowCount(1), 50);
  EXPECT_EQ(cells().rowCount(2), 50);
  EXPECT_EQ(cells().formulaCellCount(), GetParam().formulaCells);
  EXPECT_EQ(cells().group(cells().cell(1, 2)).cells, GetParam().column == 2 ? 49u : 50u);
  EXPECT_EQ(cells().cell(50, 2).index, cells().cell(1, 2).index) << "one group above and below";
  // The column goes on growing as before, into the place in the value cache a formula let go.
  for (int row = 51; row <= 60; ++row) writeRow(row);
  expectFilled(60, 20);
  EXPECT_EQ(cells().formulaCellCount(), GetParam().formulaCells + (GetParam().freesAFormula ? 9u : 10u));
}

const Disturbance kDisturbances[] = {
    {"TextInTheNumbers", 1, [](auto& m, auto& s) { m.setText(s, 20, 1, "twenty"); }, Value("twenty")},
    {"BooleanInTheNumbers", 1, [](auto& m, auto& s) { m.setValue(s, 20, 1, Value(true)); }, Value(true)},
    {"ErrorInTheNumbers", 1, [](auto& m, auto& s) { m.setValue(s, 20, 1, Value(ErrorCode::NA)); },
     Value(ErrorCode::NA)},
    {"ClearedNumber", 1, [](auto& m, auto& s) { m.setValue(s, 20, 1, Value()); }, Value()},
    {"FormulaInTheNumbers", 1, [](auto& m, auto& s) { m.setText(s, 20, 1, "=2*3"); }, Value(6.0), false, 51},
    {"NumberInTheFormulas", 2, [](auto& m, auto& s) { m.setNumber(s, 20, 2, 7); }, Value(7.0), true},
    {"TextInTheFormulas", 2, [](auto& m, auto& s) { m.setText(s, 20, 2, "x"); }, Value("x"), true},
    {"ClearedFormula", 2, [](auto& m, auto& s) { m.setValue(s, 20, 2, Value()); }, Value(), true},
    {"OtherFormula", 2, [](auto& m, auto& s) { m.setText(s, 20, 2, "=A20*2"); }, Value(xOf(20) * 2)},
};

INSTANTIATE_TEST_SUITE_P(Writes, EachDisturbance, ::testing::ValuesIn(kDisturbances),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompactColumns, RewritingInPlaceKeepsTheColumnCompact) {
  fill(30);
  const std::size_t bytes = cells().cellBytes();
  model.setNumber(sheet, 12, 1, 100);
  writeRow(7);  // the same x and formula again
  EXPECT_EQ(cells().cellBytes(), bytes);
  EXPECT_EQ(cells().formulaCellCount(), 30u);
  EXPECT_DOUBLE_EQ(model.value(sheet, 12, 2).number(), std::sin(100.0) + 100);
  model.setNumber(sheet, 12, 1, xOf(12));
  expectFilled(30);
}

TEST_F(CompactColumns, WritesThatLeaveGapsOrStartLowerUseSlots) {
  model.setNumber(sheet, 1, 1, 1);
  model.setNumber(sheet, 5, 1, 5);  // rows 2 to 4 stay empty
  EXPECT_TRUE(model.value(sheet, 3, 1).isEmpty());
  EXPECT_EQ(model.value(sheet, 5, 1), Value(5.0));
  EXPECT_EQ(cells().rowCount(1), 5);
  model.setText(sheet, 3, 2, "=A5*2");  // a formula starting below row 1
  model.setText(sheet, 4, 2, "=A6*2");
  EXPECT_EQ(model.value(sheet, 3, 2), Value(10.0));
  EXPECT_EQ(model.value(sheet, 4, 2), Value(0.0));
  EXPECT_TRUE(model.value(sheet, 1, 2).isEmpty());
  EXPECT_EQ(cells().group(cells().cell(3, 2)).cells, 2u);
}

// The run fills one equation's columns after another; columns filled side by side, or after a
// formula cell was let go, still answer alike.
TEST_F(CompactColumns, ColumnsFilledSideBySide) {
  for (int row = 1; row <= 300; ++row) {
    writeRow(row, 1);
    writeRow(row, 3);
  }
  expectFilled(300, 0, 1);
  expectFilled(300, 0, 3);
  EXPECT_EQ(cells().formulaCellCount(), 600u);
}

TEST_F(CompactColumns, PlacesLetGoAreTakenAgain) {
  model.setText(sheet, 1, 5, "=1");
  model.setText(sheet, 2, 5, "=2");
  model.setValue(sheet, 1, 5, Value());
  fill(3);  // starts on the place E1 left
  model.setValue(sheet, 2, 5, Value());
  fill(40);  // goes on past the place E2 left
  expectFilled(40);
  EXPECT_EQ(cells().formulaCellCount(), 40u) << "no place in the value cache is lost";
}

// A chain down a filled-down column nests deeper than one evaluation holds, and cells of two
// sheets share places in their value caches without being taken for one another.
TEST_F(CompactColumns, ChainsAndSheetsAnswerAsBefore) {
  constexpr int kRows = 1000;
  for (int row = 1; row <= kRows; ++row)
    model.setText(sheet, row, 2, "=B" + std::to_string(row + 1) + "+1");
  EXPECT_EQ(model.value(sheet, 1, 2), Value(double(kRows)));
  EXPECT_TRUE(model.circularCells().empty());

  core::SheetNode& other = *model.at(2);
  for (int row = 1; row <= 20; ++row) {
    model.setNumber(other, row, 1, row);
    model.setText(other, row, 2, "=Sheet1!B" + std::to_string(row) + "+A" + std::to_string(row));
    model.setText(sheet, row, 3, "=Sheet2!A" + std::to_string(row) + "*2");
  }
  EXPECT_EQ(model.value(other, 20, 2), Value(kRows - 19.0 + 20));
  EXPECT_EQ(model.value(sheet, 20, 3), Value(40.0));
  EXPECT_TRUE(model.circularCells().empty());

  model.setText(sheet, 1, 4, "=Sheet2!B1");
  model.setText(sheet, 1, 5, "=D1");
  model.setText(other, 1, 2, "=Sheet1!E1");  // D1 -> Sheet2!B1 -> E1 -> D1
  EXPECT_EQ(model.value(sheet, 1, 4), Value(0.0));
  EXPECT_EQ(model.circularCells().size(), 3u);
  EXPECT_EQ(model.value(other, 2, 2), Value(kRows - 1.0 + 2));
}

}  // namespace
