// Matrices and generated arrays. Sources: Microsoft's documentation of MMULT (#VALUE! when
// the columns of the first differ from the rows of the second, or when a cell is empty or
// text), MDETERM, MINVERSE (#NUM! for a singular matrix), MUNIT, TRANSPOSE, SEQUENCE and
// RANDARRAY. A cell shows an array's first element; SUM and SUMPRODUCT read all of it.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class Matrices : public ::testing::TestWithParam<Case> {};

// A1:B2 = [1 2; 3 4], C1:C2 = [5; 6], D1:D2 = [1; "x"], E1:F2 = [2 4; 1 2] (singular),
// A4:C6 = [2 0 1; 1 3 2; 1 1 2].
TEST_P(Matrices, GiveExcelsResult) {
  Book cells{{"A1", 1.0}, {"B1", 2.0}, {"A2", 3.0}, {"B2", 4.0}, {"C1", 5.0}, {"C2", 6.0},
             {"D1", 1.0}, {"D2", "x"}, {"E1", 2.0}, {"F1", 4.0}, {"E2", 1.0}, {"F2", 2.0},
             {"A4", 2.0}, {"B4", 0.0}, {"C4", 1.0}, {"A5", 1.0}, {"B5", 3.0}, {"C5", 2.0},
             {"A6", 1.0}, {"B6", 1.0}, {"C6", 2.0}, {"G1", ErrorCode::Div0}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Products, Matrices, ::testing::Values(
    Case{"MMULT(A1:B2,C1:C2)", 17.0},
    Case{"SUM(MMULT(A1:B2,C1:C2))", 56.0},
    Case{"SUM(MMULT(A1:B2,A1:B2))", 7.0 + 10.0 + 15.0 + 22.0},
    Case{"MMULT({1,2,3},{4;5;6})", 32.0},
    Case{"SUM(MMULT({1;2},{3,4}))", 21.0},            // a column by a row
    Case{"MMULT(A1:B2,A1:A4)", ErrorCode::Value},     // 2 columns, 4 rows
    Case{"MMULT(A1:B2,D1:D2)", ErrorCode::Value},     // text
    Case{"MMULT(A1:B2,C1:C3)", ErrorCode::Value},     // an empty cell
    Case{"MMULT(A1:B2,G1:G2)", ErrorCode::Div0},
    Case{"MMULT(1E200,1E200)", ErrorCode::Num},
    Case{"MMULT(A:A,1:1)", ErrorCode::Value},         // empty cells, found before any product
    Case{"MMULT(SEQUENCE(1000,1000),SEQUENCE(1000,1000))", ErrorCode::Num}));  // too much work

INSTANTIATE_TEST_SUITE_P(Inverses, Matrices, ::testing::Values(
    Case{"MDETERM(A1:B2)", -2.0},
    Case{"MDETERM(A4:C6)", 6.0},
    Case{"MDETERM({3,6,1;1,1,0;3,10,2})", 1.0},
    Case{"MDETERM(E1:F2)", 0.0},
    Case{"MDETERM(A1:C2)", ErrorCode::Value},         // not square
    Case{"MDETERM(C1:D2)", ErrorCode::Value},
    Case{"MINVERSE(A1:B2)", -2.0},
    Case{"SUM(MINVERSE(A1:B2))", -2.0 + 1.0 + 1.5 - 0.5},
    Case{"SUM(MMULT(A4:C6,MINVERSE(A4:C6)))", 3.0},    // with the trace below: the identity
    Case{"SUMPRODUCT(MMULT(A4:C6,MINVERSE(A4:C6)),MUNIT(3))", 3.0},
    Case{"MINVERSE(E1:F2)", ErrorCode::Num},
    Case{"MINVERSE({0,1;1,0})", 0.0},                 // needs a row exchange
    Case{"MINVERSE(4)", 0.25},
    Case{"MINVERSE(A1:C2)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(Generated, Matrices, ::testing::Values(
    Case{"MUNIT(3)", 1.0},
    Case{"SUM(MUNIT(3))", 3.0},
    Case{"SUMSQ(MUNIT(2.9))", 2.0},                   // truncated
    Case{"MUNIT(0)", ErrorCode::Value},
    Case{"MUNIT(\"a\")", ErrorCode::Value},
    Case{"MUNIT(2000)", ErrorCode::Num},
    Case{"SUM(SEQUENCE(3,4))", 78.0},
    Case{"SEQUENCE(2,2,10,-1)", 10.0},
    Case{"SUM(SEQUENCE(2,2,10,-1))", 34.0},
    Case{"SUM(SEQUENCE(,3))", 6.0},                   // rows left out: one
    Case{"SEQUENCE(0)", ErrorCode::Value},
    Case{"SEQUENCE(-1,2)", ErrorCode::Value},
    Case{"SEQUENCE(NA())", ErrorCode::NA},
    Case{"SEQUENCE(1048576,16384)", ErrorCode::Num},
    Case{"SUM(TRANSPOSE(A1:C2))", 21.0},
    Case{"SUMPRODUCT(TRANSPOSE(A1:B1),C1:C2)", 17.0},  // a row turned into a column
    Case{"TRANSPOSE(C3)", 0.0},                        // empty cells read as 0
    Case{"SUMPRODUCT(TRANSPOSE({1,2;3,4}),{1,0;0,0})", 1.0},
    Case{"SUMPRODUCT(TRANSPOSE({1,2;3,4}),{0,1;0,0})", 3.0},
    Case{"RANDARRAY(2,2,5,5)", 5.0},
    Case{"RANDARRAY(1,1,3,2)", ErrorCode::Value},
    Case{"RANDARRAY(1,1,1.2,1.8,TRUE)", ErrorCode::Value}));

TEST(RandArray, DrawsWithinItsBounds) {
  Book cells;
  for (const char* formula : {"MIN(RANDARRAY(20,5,-2,3))", "MAX(RANDARRAY(20,5,-2,3))"}) {
    const Value v = cells.eval(formula);
    ASSERT_TRUE(v.isNumber()) << formula;
    EXPECT_GE(v.number(), -2);
    EXPECT_LT(v.number(), 3);
  }
  const Value sum = cells.eval("SUM(RANDARRAY(10,10,1,6,TRUE))");
  ASSERT_TRUE(sum.isNumber());
  EXPECT_GE(sum.number(), 100);
  EXPECT_LE(sum.number(), 600);
  EXPECT_EQ(sum.number(), std::trunc(sum.number()));
}

}  // namespace
}  // namespace calc::testing
