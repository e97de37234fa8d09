// Grammar, precedence, parse errors with their positions, and the limits on hostile input.
#include <string>

#include "calc_test_support.h"

namespace calc::testing {
namespace {

class Precedence : public ::testing::TestWithParam<Case> {};

TEST_P(Precedence, GivesExcelsResult) {
  EXPECT_TRUE(sameValue(GetParam().expected, eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Operators, Precedence, ::testing::Values(
    Case{"-2^2", 4.0},               // negation binds tighter than ^
    Case{"2^3^2", 64.0},             // ^ is left-associative
    Case{"2^-2", 0.25},
    Case{"-2^3", -8.0},
    Case{"1+2*3", 7.0},
    Case{"(1+2)*3", 9.0},
    Case{"10-4-3", 3.0},
    Case{"1/2/4", 0.125},
    Case{"50%", 0.5},
    Case{"-50%^2", 0.25},
    Case{"200%%", 0.02},
    Case{"2*3^2", 18.0},
    Case{"1+2&3", "33"},             // & is looser than +
    Case{"1+1=2", true},             // comparison is loosest
    Case{"1&2=\"12\"", true},
    Case{"--\"5\"", 5.0},
    Case{"+-+-3", 3.0},
    Case{"1.5E+3", 1500.0},
    Case{"1.5e-3*1000", 1.5},
    Case{".5+.25", 0.75},
    Case{"\"say \"\"hi\"\"\"", "say \"hi\""},
    Case{"TRUE", true},
    Case{"false", false},
    Case{"#N/A", ErrorCode::NA},
    Case{"#div/0!", ErrorCode::Div0},
    Case{" 1 + 2 ", 3.0}));

// 3>2 is TRUE, and TRUE > 1 because booleans sort after numbers: so 3>2>1 is TRUE.
TEST(Precedence, ComparisonsChainLeftToRightOverTypes) {
  EXPECT_EQ(Value(true), eval("3>2>1"));
}

TEST(Names, ThatAreNoFunctionOrReferenceGiveNameError) {
  for (const char* f : {"ERROR", "error", "X>0", "XX", "XFE1", "IF(X>0,A1,-A1)", "FOO(1)", "_xlfn.NOPE(1)"})
    EXPECT_EQ(Value(ErrorCode::Name), eval(f)) << f;
  EXPECT_FALSE(isFunctionName("XX"));
  EXPECT_TRUE(isFunctionName("_xlfn.floor.math"));
  EXPECT_TRUE(isFunctionName("sin"));
}

TEST(Names, UnknownFunctionsAreListed) {
  auto parsed = parseFormula("SUM(1)+SUMM(2)+xyz()");
  ASSERT_TRUE(std::holds_alternative<Formula>(parsed));
  EXPECT_EQ((std::vector<std::string>{"SUMM", "xyz"}), unknownFunctions(std::get<Formula>(parsed)));
}

TEST(References, ReadCellsThroughTheContext) {
  FixedCells cells{{"A1", 2.0}, {"B3", 5.0}, {"XFD1048576", 7.0}};
  EXPECT_EQ(Value(12.0), eval("SIN(0)+A1+$B$3+B$3", cells));
  EXPECT_EQ(Value(7.0), eval("XFD1048576", cells));
  EXPECT_EQ(Value(7.0), eval("SUM(A1:B3)", cells));
  EXPECT_EQ(Value(7.0), eval("SUM(B3:A1)", cells));      // corners in any order
  EXPECT_EQ(Value(2.0), eval("Data!A1", cells));
  EXPECT_EQ(Value(2.0), eval("'Data'!A1", cells));
  EXPECT_EQ(Value(ErrorCode::Ref), eval("Other!A1", cells));
  EXPECT_EQ(Value(0.0), eval("C9", cells));               // an empty cell as a result is 0
}

TEST(References, WholeColumnsAndRowsIntersectWithTheFormulasCell) {
  FixedCells cells{{"C4", 9.0}, {"E2", 3.0}};
  cells.at = CellRef{{}, 4, 5};  // the formula stands in E4
  EXPECT_EQ(Value(9.0), eval("ABS(C:C)", cells));
  EXPECT_EQ(Value(9.0), eval("$C:$C+0", cells));
  EXPECT_EQ(Value(3.0), eval("ABS(2:2)", cells));
  EXPECT_EQ(Value(ErrorCode::Value), eval("ABS(A1:B2)", cells));
  cells.at = CellRef{};
  EXPECT_EQ(Value(ErrorCode::Value), eval("ABS(C:C)", cells));
}

TEST(References, SheetNamesThatLookLikeCells) {
  FixedCells cells{{"LOG10", 4.0}};  // column LOG, row 10
  EXPECT_EQ(Value(8.0), eval("LOG10*2", cells));
  EXPECT_EQ(Value(1.0), eval("LOG10(10)", cells));
}

struct BadFormula {
  const char* text;
  std::size_t position;
};

class ParseErrors : public ::testing::TestWithParam<BadFormula> {};

TEST_P(ParseErrors, AreRefusedAtTheirPosition) {
  auto parsed = parseFormula(GetParam().text);
  ASSERT_TRUE(std::holds_alternative<ParseError>(parsed)) << GetParam().text;
  EXPECT_EQ(GetParam().position, std::get<ParseError>(parsed).position) << std::get<ParseError>(parsed).message;
}

INSTANTIATE_TEST_SUITE_P(Grammar, ParseErrors, ::testing::Values(
    BadFormula{"2A1", 1},          // no implicit multiplication
    BadFormula{"A1\\2", 2},        // backslash is no operator
    BadFormula{"", 0},
    BadFormula{"1+", 2},
    BadFormula{"(1+2", 4},
    BadFormula{"1+2)", 3},
    BadFormula{"\"open", 0},
    BadFormula{"SUM(1,2", 7},
    BadFormula{"#BOGUS!", 0},
    BadFormula{"1E+", 1},
    BadFormula{"ROUND(1)", 7},     // too few arguments
    BadFormula{"PI(1)", 4},        // too many
    BadFormula{"{1,2;3}", 6},      // ragged array
    BadFormula{"Sheet1!", 7},
    BadFormula{"1 2", 2}));

TEST(Limits, FormulaOf8192CharactersIsAcceptedAnd8193Refused) {
  std::string ok = "1" + std::string(8190, ' ') + "1";
  ok[1] = '+';
  EXPECT_TRUE(std::holds_alternative<Formula>(parseFormula(ok)));
  const std::string tooLong = ok + " ";
  auto parsed = parseFormula(tooLong);
  ASSERT_TRUE(std::holds_alternative<ParseError>(parsed));
  EXPECT_EQ(kMaxFormulaLength, std::get<ParseError>(parsed).position);
}

std::string nested(const char* open, int depth, const char* inner, const char* close) {
  std::string s;
  for (int i = 0; i < depth; ++i) s += open;
  s += inner;
  for (int i = 0; i < depth; ++i) s += close;
  return s;
}

TEST(Limits, NestingOf64IsAcceptedAnd65Refused) {
  EXPECT_EQ(Value(1.0), eval(nested("ABS(", 64, "1", ")")));
  EXPECT_EQ(Value(1.0), eval(nested("(", 64, "1", ")")));
  auto parsed = parseFormula(nested("ABS(", 65, "1", ")"));
  ASSERT_TRUE(std::holds_alternative<ParseError>(parsed));
  EXPECT_EQ(64u * 4, std::get<ParseError>(parsed).position);
}

TEST(Limits, HostileInputIsRefusedWithoutExhaustingTheStack) {
  EXPECT_TRUE(std::holds_alternative<ParseError>(parseFormula(std::string(100000, '('))));
  EXPECT_TRUE(std::holds_alternative<ParseError>(parseFormula(nested("(", 100000, "1", ")"))));
  // Long runs of signs and operators are loops, not recursion.
  EXPECT_EQ(Value(1.0), eval(std::string(8000, '-') + "1"));
  std::string sum = "1";
  for (int i = 0; i < 4000; ++i) sum += "+1";
  EXPECT_EQ(Value(4001.0), eval(sum));
}

}  // namespace
}  // namespace calc::testing
