// The compiled form: the numeric fast path hands over to the general evaluator wherever a value
// is no plain number, with the same results; each cell is read once; functions that take
// references still receive them; a typical equation formula stays small.
#include <string>

#include "calc_test_support.h"

namespace calc::testing {
namespace {

// A1 is a number; the others are what makes the fast path stop at various points.
FixedCells mixedCells() {
  return FixedCells{{"A1", 0.5}, {"B1", "12"}, {"C1", "text"}, {"D1", true},
                    {"E1", ErrorCode::Div0}, {"F1", 1e300}};  // G1 is empty
}

class HandOver : public ::testing::TestWithParam<Case> {};

TEST_P(HandOver, GivesTheSameResultAsTheGeneralPath) {
  EXPECT_TRUE(sameValue(GetParam().expected, eval(GetParam().formula, mixedCells())));
}

INSTANTIATE_TEST_SUITE_P(AtEachKindOfStop, HandOver, ::testing::Values(
    Case{"A1*2+B1", 13.0},                    // numeric text read mid-formula
    Case{"B1*2+A1", 24.5},                    // ... as the first operand
    Case{"SIN(A1)+C1", ErrorCode::Value},     // text that is no number
    Case{"A1+D1*3", 3.5},                     // a boolean
    Case{"2*G1+A1", 0.5},                     // an empty cell
    Case{"G1", 0.0},                          // an empty cell as the result
    Case{"D1", true},                         // a boolean as the result
    Case{"A1+E1", ErrorCode::Div0},           // an error value
    Case{"A1/0+1", ErrorCode::Div0},          // arithmetic the fast path refuses
    Case{"F1*F1", ErrorCode::Num},            // overflow
    Case{"(-8)^(1/3)", ErrorCode::Num},       // a negative base
    Case{"0^0", ErrorCode::Num},
    Case{"1E-300*1E-300+A1", 0.5},            // underflow is 0
    Case{"1E-307%", 0.0},                     // underflow through %
    Case{"SQRT(-1)+A1", ErrorCode::Num},      // a function's error result
    Case{"LN(A1)*0+ROUND(A1,)", 1.0},         // a left-out argument
    Case{"A1>0", true},                       // a comparison
    Case{"A1&\"x\"", "0.5x"},                 // concatenation
    Case{"IF(A1>0,ROUND(A1^2,3),-A1)+MOD(A1,0.7)", 0.75},
    Case{"Data!A1*2", 1.0},                   // a cell on a named sheet
    Case{"Other!A1*2", ErrorCode::Ref},
    Case{"SUM({1,2;3,4})*A1", 5.0}));         // an array

// A formula whose stack outgrows the fast path's runs entirely on the general path.
TEST(HandOver, DeepStacksTakeTheGeneralPath) {
  std::string nested;
  for (int i = 0; i < 63; ++i) nested += "1+(";
  nested += "A1";
  nested.append(63, ')');
  EXPECT_EQ(Value(63.5), eval(nested, mixedCells()));
  std::string wide = "MAX(A1";
  for (int i = 0; i < 100; ++i) wide.append(",").append(std::to_string(i));
  wide += ")";
  EXPECT_EQ(Value(99.0), eval(wide, mixedCells()));
}

struct Reads {
  const char* formula;
  long reads;
};

class CellReads : public ::testing::TestWithParam<Reads> {};

TEST_P(CellReads, AreOnePerReference) {
  FixedCells cells = mixedCells();
  cells.reads = 0;
  eval(GetParam().formula, cells);
  EXPECT_EQ(GetParam().reads, cells.reads) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(Formulas, CellReads, ::testing::Values(
    Reads{"SIN(A1)+A1*EXP(-A1/5)", 3},
    Reads{"A1+{1,2,3}", 1},                   // broadcast over an array: still one read
    Reads{"C1*2+A1", 2},                      // the read that stops the fast path is not repeated
    Reads{"IF(A1>0,B1,C1)", 3},
    Reads{"SUM(A1,B1)+A1", 3},                // SUM reads its references itself
    Reads{"FOO(A1)", 0}));                    // an unknown function reads nothing

// SUM skips text found in a reference but converts text given directly: so the reference must
// reach it unread, while A1+0 reads at once.
TEST(References, ReachFunctionsThatTakeThemUnread) {
  const FixedCells cells = mixedCells();
  EXPECT_EQ(Value(0.5), eval("SUM(A1,B1)", cells));
  EXPECT_EQ(Value(12.5), eval("SUM(A1,B1+0)", cells));
  EXPECT_EQ(Value(0.5), eval("SUM(A1,(B1))", cells));     // parentheses keep it a reference
  EXPECT_EQ(Value(0.5), eval("SUM(A1,Data!B1)", cells));
  EXPECT_EQ(Value(true), eval("ISBLANK(G1)", cells));
  EXPECT_EQ(Value(1.0), eval("COUNT(A1,B1,C1)", cells));
}

struct Footprint {
  const char* formula;
  std::size_t atMost;
};

class FormulaSize : public ::testing::TestWithParam<Footprint> {};

TEST_P(FormulaSize, StaysWithinItsBudget) {
  auto parsed = parseFormula(GetParam().formula);
  ASSERT_TRUE(std::holds_alternative<Formula>(parsed));
  const std::size_t bytes = std::get<Formula>(parsed).memoryFootprint();
  EXPECT_GT(bytes, 0u);
  EXPECT_LE(bytes, GetParam().atMost) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(EquationFormulas, FormulaSize, ::testing::Values(
    Footprint{"SIN(A1)+A1*EXP(-A1/5)", 100},
    Footprint{"A1^2-3*A1+2", 100},
    Footprint{"SQRT(ABS(A1))*COS(2*PI()*A1)", 100},
    // 4 of its bytes for each relative row, which a filled-down column moves
    Footprint{"IF(A1>0,ROUND(A1^2,3),-A1)+MOD(A1,0.7)", 112},
    Footprint{"Data!A1*2+'Data'!B7", 100}));

TEST(FormulaSize, GrowsWithWhatTheFormulaHolds) {
  auto small = parseFormula("A1+1");
  auto large = parseFormula("A1+1+SUMM(2)+SUM({1,2,3;4,5,6})&\"some text\"");
  ASSERT_TRUE(std::holds_alternative<Formula>(small) && std::holds_alternative<Formula>(large));
  EXPECT_LT(std::get<Formula>(small).memoryFootprint(), std::get<Formula>(large).memoryFootprint());
}

TEST(FormulaSize, AFormulaNeverParsedCannotBeEvaluated) {
  EXPECT_THROW(evaluate(Formula(), FixedCells()), std::logic_error);
}

}  // namespace
}  // namespace calc::testing
