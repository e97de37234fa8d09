// Coercion between types, Excel's comparison order, error propagation, overflow and underflow.
#include <cmath>

#include "calc_test_support.h"
#include "calc/number_text.h"

namespace calc::testing {
namespace {

class Evaluates : public ::testing::TestWithParam<Case> {};

TEST_P(Evaluates, AsExcelDoes) {
  FixedCells cells{{"A1", "12"}, {"A2", true}, {"A3", "abc"}, {"A4", ErrorCode::NA}, {"A6", 4.0}};
  EXPECT_TRUE(sameValue(GetParam().expected, eval(GetParam().formula, cells)));
}

INSTANTIATE_TEST_SUITE_P(Coercion, Evaluates, ::testing::Values(
    Case{"\"3\"+4", 7.0},
    Case{"A1*2", 24.0},                  // numeric text in a cell
    Case{"A2+1", 2.0},                   // TRUE is 1
    Case{"A5+1", 1.0},                   // an empty cell is 0
    Case{"A5&\"x\"", "x"},               // ... and "" in text
    Case{"\"a\"+1", ErrorCode::Value},
    Case{"A3*1", ErrorCode::Value},
    Case{"\" 1,000.5 \"+0", 1000.5},
    Case{"\"50%\"*2", 1.0},
    Case{"\"$12\"+0", 12.0},
    Case{"\"2024-01-10\"+0", 45301.0},   // dates are serial numbers
    Case{"\" 2024-01-10 \"+0", ErrorCode::Value},
    Case{"1/3&\"\"", "0.333333333333333"},
    Case{"1E+20&\"\"", "1E+20"},
    Case{"-2.5&TRUE", "-2.5TRUE"},
    Case{"123456789012345&\"\"", "123456789012345"}));

INSTANTIATE_TEST_SUITE_P(Comparison, Evaluates, ::testing::Values(
    Case{"1<\"a\"", true},               // numbers < text
    Case{"\"z\"<TRUE", true},            // text < booleans
    Case{"FALSE>99999", true},
    Case{"\"abc\"=\"ABC\"", true},       // text ignores case
    Case{"\"abc\"<\"abd\"", true},
    Case{"\"10\"=10", false},            // no coercion in comparisons
    Case{"A5=0", true},                  // empty is 0 next to a number
    Case{"A5=\"\"", true},               // ... "" next to text
    Case{"A5=FALSE", true},              // ... FALSE next to a boolean
    Case{"1<>1", false},
    Case{"2>=2", true},
    Case{"A4=1", ErrorCode::NA}));

INSTANTIATE_TEST_SUITE_P(Errors, Evaluates, ::testing::Values(
    Case{"1/0", ErrorCode::Div0},
    Case{"#NULL!+1", ErrorCode::Null},
    Case{"#REF!*0", ErrorCode::Ref},
    Case{"#NUM!&\"\"", ErrorCode::Num},
    Case{"A4+1/0", ErrorCode::NA},       // the left error wins
    Case{"1/0+A4", ErrorCode::Div0},
    Case{"-A4", ErrorCode::NA},
    Case{"SQRT(-1)", ErrorCode::Num},
    Case{"ABS(\"x\")", ErrorCode::Value},
    Case{"1E+308*10", ErrorCode::Num},   // overflow
    Case{"-1E+308*10", ErrorCode::Num},
    Case{"1E-307/1E+10", 0.0},           // underflow becomes 0
    Case{"0^0", ErrorCode::Num},
    Case{"0^-1", ErrorCode::Div0},
    Case{"(-8)^(1/3)", ErrorCode::Num},
    Case{"(-8)^3", -512.0},
    Case{"POWER(0,0)", ErrorCode::Num}));

TEST(Values, NegativeZeroIsZero) {
  const Value v = eval("-0*1");
  ASSERT_TRUE(v.isNumber());
  EXPECT_FALSE(std::signbit(v.number()));
}

TEST(Values, ArraysCombineElementByElement) {
  EXPECT_EQ(Value(5.0), eval("IFERROR({10;20;30}/{2;0;5},\"x\")"));  // the first element shows
  EXPECT_EQ(Value(24.0), eval("SUM({1,2,3}*2+{1,1,1}*3+1)"));  // 12 + 9 + 3
  EXPECT_EQ(Value(ErrorCode::NA), eval("SUM({1,2}+{1,2,3})"));         // no third element on the left
}

struct FormatCase {
  double number;
  const char* text;
};

class Formatting : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formatting, ShowsFifteenSignificantDigits) {
  EXPECT_EQ(GetParam().text, formatNumber(GetParam().number));
}

INSTANTIATE_TEST_SUITE_P(General, Formatting, ::testing::Values(
    FormatCase{0, "0"}, FormatCase{-2.5, "-2.5"}, FormatCase{0.1 + 0.2, "0.3"},
    FormatCase{1e15, "1E+15"}, FormatCase{123456789012345, "123456789012345"},
    FormatCase{1234567890123456, "1.23456789012346E+15"}, FormatCase{1e-10, "1E-10"},
    FormatCase{0.000123, "0.000123"}, FormatCase{2.5e-300, "2.5E-300"}));

TEST(Parsing, NumbersInText) {
  EXPECT_EQ(std::optional<double>(-12.5), parseNumber(" -12.5 "));
  EXPECT_EQ(std::optional<double>(7), parseNumber("7.0e0"));
  EXPECT_EQ(std::optional<double>(100), parseNumber("\xE2\x82\xAC" "100"));
  EXPECT_EQ(std::nullopt, parseNumber(""));
  EXPECT_EQ(std::nullopt, parseNumber("1e"));
  EXPECT_EQ(std::nullopt, parseNumber("TRUE"));
  EXPECT_EQ(std::nullopt, parseNumber("1.2.3"));
  EXPECT_EQ(std::nullopt, parseNumber("1e999"));
}

}  // namespace
}  // namespace calc::testing
