// A formula filled down a column: its text with the relative rows moved, and its compiled code
// computed as if moved. The two must always agree, since the workbook stores a filled-down
// column as one compiled formula and shows each cell its moved text.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "calc_test_support.h"

namespace calc {
namespace {

using testing::FixedCells;

Formula parsed(std::string_view text) {
  auto result = parseFormula(text);
  EXPECT_TRUE(std::holds_alternative<Formula>(result)) << text;
  return std::holds_alternative<Formula>(result) ? std::move(std::get<Formula>(result)) : Formula();
}

std::optional<std::string> moved(std::string_view text, std::int32_t rows) {
  std::string out;
  if (!movedFormulaText(parsed(text), text, rows, out)) return std::nullopt;
  return out;
}

TEST(MovedFormulaText, MovesRelativeRowsOnly) {
  EXPECT_EQ(moved("SIN(A2)+$B$1", 3), "SIN(A5)+$B$1");
  EXPECT_EQ(moved("A$1*B2+Data!C3+'My A1'!D4", 1), "A$1*B3+Data!C4+'My A1'!D5");
  EXPECT_EQ(moved("\"A1\"&A1", 1), "\"A1\"&A2") << "text is no reference";
  EXPECT_EQ(moved("SUM(A$1:A1)", 9), "SUM(A$1:A10)");
  EXPECT_EQ(moved("SUM(A:A)+LOG10(A9)", 1), "SUM(A:A)+LOG10(A10)") << "a row may gain a digit";
  EXPECT_EQ(moved("a1 +  $b2", 2), "a3 +  $b4") << "case and spaces stay as written";
  EXPECT_EQ(moved("$A$1*PI()", 5), "$A$1*PI()");
  EXPECT_EQ(moved("A10", -9), "A1");
  EXPECT_EQ(moved("A7", 0), "A7");
}

TEST(MovedFormulaText, RefusesWhatCannotMove) {
  EXPECT_EQ(moved("A10", -10), std::nullopt) << "above row 1";
  EXPECT_EQ(moved("A1048576+1", 1), std::nullopt) << "below the last row";
  EXPECT_EQ(moved("SUM(1:3)", 1), std::nullopt) << "whole rows stay as written";
  EXPECT_EQ(moved("A1+SUM($2:$2)", 1), std::nullopt);
  std::string out;
  EXPECT_FALSE(movedFormulaText(parsed("SIN(A123)"), "A1", 1, out)) << "a text the formula was not parsed from";
}

// Cells A1:C30 hold numbers, text and an error, so that moved ranges and lookups see different
// values at every shift.
FixedCells column() {
  FixedCells cells;
  for (int row = 1; row <= 30; ++row) {
    const std::string r = std::to_string(row);
    cells.set("A" + r, row * 1.5 - 7);
    cells.set("B" + r, row % 4 == 0 ? Value("text") : Value(row % 7 == 0 ? Value(ErrorCode::Div0) : Value(row * 0.5)));
    cells.set("C" + r, row % 3 == 0);
  }
  cells.extentRows = 30;
  cells.extentColumns = 3;
  return cells;
}

TEST(FilledDown, ComputesAsTheMovedTextDoes) {
  const FixedCells cells = column();
  const char* formulas[] = {
      "SIN(A2)+A2*EXP(-A3/5)", "SUM(A$1:A2)", "SUM(A$9:A5)", "AVERAGE(A2:B4)+$A$1", "IF(C3,B3,A3&\"x\")",
      "COUNT(B2:B6)+SUM(A:A)", "IFERROR(1/(A5-2),B5)", "Data!A2*2+'Data'!B2", "ISBLANK(B3)+COUNTA(B2:C4)",
      "SUMSQ(A2:A4)-MAX(A3:B5)", "A$3:A3*2", "-A2^2%"};
  for (const char* text : formulas) {
    const Formula formula = parsed(text);
    for (std::int32_t rows = -1; rows <= 8; ++rows) {
      std::string text2;
      ASSERT_TRUE(movedFormulaText(formula, text, rows, text2)) << text << " by " << rows;
      EXPECT_EQ(evaluate(formula, cells, rows), evaluate(parsed(text2), cells)) << text << " by " << rows;
    }
  }
}

// A$9:A5 filled down passes row 9: the ends swap, as in the spreadsheet.
TEST(FilledDown, RangesWithOneEndFixedKeepTheirRowsInOrder) {
  const FixedCells cells = column();
  EXPECT_EQ(testing::eval("SUM(A$9:A5)", cells), testing::eval("SUM(A5:A9)", cells));
  EXPECT_EQ(evaluate(parsed("SUM(A$9:A5)"), cells, 6), testing::eval("SUM(A9:A11)", cells));
  EXPECT_EQ(testing::eval("A$2:A2*2", cells), testing::eval("A2*2", cells)) << "one cell, read as a cell";
  EXPECT_EQ(testing::eval("SUM(A$2:A2)", cells), Value(-4.0));
}

}  // namespace
}  // namespace calc
