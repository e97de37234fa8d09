// The function families, for the cases the Excel-saved conformance suite does not reach.
#include <cmath>

#include "calc_test_support.h"

namespace calc::testing {
namespace {

class Functions : public ::testing::TestWithParam<Case> {};

TEST_P(Functions, GiveExcelsResult) {
  // A1:A4 hold 1, "2", TRUE, empty; B1 an error; C1:C2 text and a number.
  FixedCells cells{{"A1", 1.0}, {"A2", "2"}, {"A3", true}, {"B1", ErrorCode::Div0},
                   {"C1", "x"}, {"C2", 3.0}};
  EXPECT_TRUE(sameValue(GetParam().expected, eval(GetParam().formula, cells)));
}

INSTANTIATE_TEST_SUITE_P(Trigonometric, Functions, ::testing::Values(
    Case{"COS(2^27)", ErrorCode::Num},
    Case{"SIN(-2^27)", ErrorCode::Num},
    Case{"TAN(2^27-1)", 3.258456425611884},  // reduced by the sheet's 64-bit pi/2, as COT(2^20) shows
    Case{"COT(0)", ErrorCode::Div0},
    Case{"CSC(0)", ErrorCode::Div0},
    Case{"_xlfn.SEC(0)", 1.0},
    Case{"ASIN(1.0001)", ErrorCode::Num},
    Case{"ACOSH(0.5)", ErrorCode::Num},
    Case{"ATANH(1)", ErrorCode::Num},
    Case{"ACOTH(0.5)", ErrorCode::Num},
    Case{"ACOT(-1)", 3 * std::atan(1.0)},
    Case{"ATAN2(0,0)", ErrorCode::Div0},
    Case{"ATAN2(-1,0)", std::atan2(0.0, -1.0)},
    Case{"SINH(1000)", ErrorCode::Num},
    Case{"COTH(0)", ErrorCode::Div0},
    Case{"DEGREES(PI())", 180.0},
    Case{"RADIANS(180)", 3.141592653589793}));

INSTANTIATE_TEST_SUITE_P(Rounding, Functions, ::testing::Values(
    Case{"ROUND(2.15,1)", 2.2},          // on the 15-digit decimal value
    Case{"ROUND(-2.5,0)", -3.0},         // half away from zero
    Case{"ROUND(1234.5,-2)", 1200.0},
    Case{"ROUND(2.5,0.9)", 3.0},         // digits are truncated
    Case{"ROUND(1.005,2)", 1.01},
    Case{"ROUNDUP(-1.21,1)", -1.3},
    Case{"ROUNDDOWN(-1.29,1)", -1.2},
    Case{"ROUNDUP(500,-4)", 10000.0},
    Case{"TRUNC(-8.9)", -8.0},
    Case{"INT(-8.9)", -9.0},
    Case{"MROUND(10,3)", 9.0},
    Case{"MROUND(-10,3)", ErrorCode::Num},
    Case{"MROUND(TRUE,1)", ErrorCode::Value},
    Case{"CEILING(2.5,1)", 3.0},
    Case{"CEILING(-2.5,-2)", -4.0},
    Case{"CEILING(-2.5,2)", -2.0},
    Case{"CEILING(2.5,-2)", ErrorCode::Num},
    Case{"FLOOR(-2.5,2)", -4.0},
    Case{"FLOOR(-2.5,-2)", -2.0},
    Case{"FLOOR(2.5,0)", ErrorCode::Div0},
    Case{"FLOOR(0.3,0.1)", 0.3},         // the quotient is judged at 15 digits
    Case{"FLOOR.MATH(-5.5,2,1)", -4.0},
    Case{"CEILING.MATH(-5.5,2,1)", -6.0},
    Case{"CEILING.PRECISE(-4.1,-2)", -4.0},
    Case{"ISO.CEILING(4.1,-2)", 6.0},
    Case{"EVEN(-1.5)", -2.0},
    Case{"ODD(0)", 1.0},
    Case{"ODD(2)", 3.0}));

INSTANTIATE_TEST_SUITE_P(Math, Functions, ::testing::Values(
    Case{"LOG(1000)", 3.0},
    Case{"LOG(8,2)", 3.0},
    Case{"LOG(10,1)", ErrorCode::Div0},
    Case{"LN(0)", ErrorCode::Num},
    Case{"MOD(-3,2)", 1.0},              // the divisor's sign
    Case{"MOD(3,-2)", -1.0},
    Case{"MOD(3,0)", ErrorCode::Div0},
    Case{"QUOTIENT(-7,2)", -3.0},
    Case{"FACT(5.9)", 120.0},
    Case{"FACT(171)", ErrorCode::Num},
    Case{"FACTDOUBLE(7)", 105.0},
    Case{"COMBIN(5,2)", 10.0},
    Case{"COMBIN(2,5)", ErrorCode::Num},
    Case{"COMBINA(3,10)", 66.0},
    Case{"SQRTPI(1)", 1.7724538509055159},
    Case{"SIGN(-0.1)", -1.0},
    Case{"POWER(2,0.5)", 1.4142135623730951},
    Case{"EXP(710)", ErrorCode::Num},
    Case{"RAND()", 0.25},
    Case{"DATE(2024,1,10)", 45301.0},
    Case{"DATE(1900,3,1)", 61.0},
    Case{"DATE(2024,14,1)", 45689.0},    // month 14 is February of the next year
    Case{"DATE(2024,1,141E33)", ErrorCode::Num},
    Case{"TIME(14,30,0)", 14.5 / 24}));

INSTANTIATE_TEST_SUITE_P(Aggregates, Functions, ::testing::Values(
    Case{"SUM(A1:A4)", 1.0},             // text and booleans in ranges are skipped
    Case{"SUM(1,\"2\",TRUE)", 4.0},      // ... but direct ones count
    Case{"SUM(\"x\")", ErrorCode::Value},
    Case{"SUM(A1:B1)", ErrorCode::Div0}, // errors in ranges propagate
    Case{"SUM(A2)", 0.0},                // a single cell is a range too
    Case{"SUMSQ(2,A1:A3)", 5.0},
    Case{"PRODUCT(C1:C2,2)", 6.0},
    Case{"PRODUCT(A4)", 0.0},
    Case{"AVERAGE(A1:A4,C2)", 2.0},
    Case{"AVERAGE(A4)", ErrorCode::Div0},
    Case{"AVERAGEA(A1:A4)", 2.0 / 3},    // "2" is 0, TRUE is 1
    Case{"COUNT(A1:C2,1,\"5\",\"x\")", 4.0},
    Case{"COUNTA(A1:A4,\"\")", 4.0},
    Case{"MAX(A1:A4,-5)", 1.0},
    Case{"MIN(C1)", 0.0},
    Case{"GCD(12,18,\"24\")", 6.0},
    Case{"LCM(4,6)", 12.0},
    Case{"GCD(-1,2)", ErrorCode::Num},
    Case{"GCD(TRUE,2)", ErrorCode::Value},
    Case{"MULTINOMIAL(2,3)", 10.0},
    Case{"SERIESSUM(2,0,1,{1,2,3})", 17.0}));

INSTANTIATE_TEST_SUITE_P(Logical, Functions, ::testing::Values(
    Case{"IF(1,\"y\",\"n\")", "y"},
    Case{"IF(0,1)", false},
    Case{"IF(\"maybe\",1,2)", ErrorCode::Value},
    Case{"IF(B1,1,2)", ErrorCode::Div0},
    Case{"IF(TRUE,1,1/0)", 1.0},
    Case{"IFERROR(1/0,7)", 7.0},
    Case{"IFNA(B1,7)", ErrorCode::Div0},
    Case{"IFNA(NA(),7)", 7.0},
    Case{"IFS(FALSE,1,TRUE,2)", 2.0},
    Case{"IFS(FALSE,1)", ErrorCode::NA},
    Case{"SWITCH(2,1,\"a\",2,\"b\")", "b"},
    Case{"SWITCH(3,1,\"a\",\"none\")", "none"},
    Case{"SWITCH(\"1\",1,\"a\")", ErrorCode::NA},
    Case{"CHOOSE(2.9,\"a\",\"b\",\"c\")", "b"},
    Case{"CHOOSE(4,\"a\",\"b\",\"c\")", ErrorCode::Value},
    Case{"AND(A1:A4)", true},
    Case{"AND(TRUE,0)", false},
    Case{"OR(C1)", ErrorCode::Value},    // no truth value at all
    Case{"OR(\"x\")", ErrorCode::Value},
    Case{"XOR(TRUE,TRUE,TRUE)", true},
    Case{"NOT(\"false\")", true},
    Case{"TRUE()", true}));

INSTANTIATE_TEST_SUITE_P(Information, Functions, ::testing::Values(
    Case{"ISBLANK(A4)", true},
    Case{"ISBLANK(\"\")", false},
    Case{"ISERR(NA())", false},
    Case{"ISERR(B1)", true},
    Case{"ISERROR(B1)", true},
    Case{"ISNA(NA())", true},
    Case{"ISLOGICAL(A3)", true},
    Case{"ISNUMBER(A2)", false},
    Case{"ISTEXT(A2)", true},
    Case{"ISNONTEXT(A4)", true},
    Case{"ERROR.TYPE(B1)", 2.0},
    Case{"ERROR.TYPE(#NAME?)", 5.0},
    Case{"ERROR.TYPE(1)", ErrorCode::NA}));

TEST(FunctionTable, EveryRequiredFunctionIsThere) {
  for (const char* name :
       {"ABS", "ACOS", "ACOSH", "ACOT", "ACOTH", "ASIN", "ASINH", "ATAN", "ATAN2", "ATANH", "CEILING",
        "COMBIN", "COS", "COSH", "COT", "COTH", "CSC", "CSCH", "DEGREES", "EVEN", "EXP", "FACT",
        "FLOOR", "GCD", "IF", "IFERROR", "IFNA", "INT", "ISERROR", "ISNUMBER", "LCM", "LN", "LOG",
        "LOG10", "MAX", "MIN", "MOD", "MROUND", "NA", "NOT", "ODD", "AND", "OR", "PI", "POWER",
        "PRODUCT", "QUOTIENT", "RADIANS", "RAND", "ROUND", "ROUNDDOWN", "ROUNDUP", "SEC", "SECH",
        "SIGN", "SIN", "SINH", "SQRT", "SQRTPI", "SUM", "SUMSQ", "TAN", "TANH", "TRUE", "FALSE",
        "TRUNC", "XOR", "AVERAGE", "CHOOSE", "FLOOR.MATH", "CEILING.MATH", "FLOOR.PRECISE",
        "CEILING.PRECISE", "ISO.CEILING", "COMBINA", "FACTDOUBLE", "MULTINOMIAL", "SERIESSUM", "IFS",
        "SWITCH", "AVERAGEA", "COUNT", "COUNTA", "ERROR.TYPE", "ISBLANK", "ISERR", "ISLOGICAL",
        "ISNA", "ISNONTEXT", "ISTEXT"})
    EXPECT_TRUE(isFunctionName(name)) << name;
}

TEST(Ranges, AreWalkedCellByCell) {
  FixedCells cells{{"B2", 1.0}, {"C3", 2.0}};
  EXPECT_EQ(Value(3.0), eval("SUM(B2:C3)", cells));
  EXPECT_EQ(4, cells.reads);
}

TEST(Ranges, StopAtTheUsedExtent) {
  FixedCells cells{{"B2", 1.0}, {"C3", 2.0}};
  cells.extentRows = 3;
  cells.extentColumns = 3;
  EXPECT_EQ(Value(3.0), eval("SUM(A:XFD)", cells));
  EXPECT_EQ(9, cells.reads);
  EXPECT_EQ(Value(2.0), eval("COUNT(1:1048576)", cells));
}

}  // namespace
}  // namespace calc::testing
