// Statistics of one list. Source: Microsoft's documentation of MEDIAN, MODE, STDEV, STDEV.S,
// STDEVP, STDEV.P, VAR, VAR.S, VARP, VAR.P, their ...A forms, DEVSQ, AVEDEV, GEOMEAN, HARMEAN,
// SKEW, SKEW.P, KURT, MODE.MULT, MAXA and MINA (values from their examples where they give
// one); arguments are read as SUM reads them, by the ...A forms as AVERAGEA reads them.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class Statistics : public ::testing::TestWithParam<Case> {};

TEST_P(Statistics, GiveExcelsResult) {
  // A1:A8: 2 4 4 4 5 5 7 9; B1:B4: 1, "x", TRUE, empty; C1 an error.
  Book cells{{"A1", 2.0}, {"A2", 4.0}, {"A3", 4.0}, {"A4", 4.0}, {"A5", 5.0},
                   {"A6", 5.0}, {"A7", 7.0}, {"A8", 9.0}, {"B1", 1.0}, {"B2", "x"},
                   {"B3", true}, {"C1", ErrorCode::NA}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(OneList, Statistics, ::testing::Values(
    Case{"MEDIAN(1,2,3,4,5)", 3.0},
    Case{"MEDIAN(1,2,3,4,5,6)", 3.5},
    Case{"MEDIAN(A1:A8)", 4.5},
    Case{"MEDIAN(B1:B4)", 1.0},           // text and booleans in a range are skipped
    Case{"MEDIAN(B2:B4)", ErrorCode::Num},
    Case{"MEDIAN(A1:A8,C1)", ErrorCode::NA},
    Case{"STDEV.P(A1:A8)", 2.0},
    Case{"STDEVP(A1:A8)", 2.0},
    Case{"VAR.P(A1:A8)", 4.0},
    Case{"VARP(A1:A8)", 4.0},
    Case{"VAR.S(A1:A8)", 32.0 / 7},
    Case{"VAR(A1:A8)", 32.0 / 7},
    Case{"STDEV(A1:A8)", 2.1380899352993952},
    Case{"_xlfn.STDEV.S(A1:A8)", 2.1380899352993952},
    Case{"VAR(1)", ErrorCode::Div0},
    Case{"VARP(1)", 0.0},
    Case{"STDEV(1,\"3\",TRUE)", 1.1547005383792515},      // values given directly are converted
    Case{"STDEV(1,\"x\")", ErrorCode::Value},
    Case{"VAR(1E9+4,1E9+7,1E9+13,1E9+16)", 30.0},  // two passes keep large offsets exact
    Case{"DEVSQ(4,5,8,7,11,4,3)", 48.0},
    Case{"AVEDEV(4,5,6,7,5,4,3)", 1.0204081632653061},
    Case{"GEOMEAN(4,5,8,7,11,4,3)", 5.476986969656962},
    Case{"HARMEAN(4,5,8,7,11,4,3)", 5.028375962061728},
    Case{"MODE(5.6,4,4,3,2,4)", 4.0},
    Case{"_xlfn.MODE.SNGL(1,2,2,1)", 1.0},   // equally frequent: the first given
    Case{"MODE(1,2,3)", ErrorCode::NA},
    Case{"SKEW(1,1,1)", ErrorCode::Div0},
    Case{"KURT(1,2,3)", ErrorCode::Div0},
    Case{"VARA(B1:B4)", 0.3333333333333333},  // 1, "x" as 0, TRUE as 1
    Case{"VARPA(B1:B4)", 0.2222222222222222},
    Case{"STDEVA(B1:B4)", 0.5773502691896258},
    Case{"STDEVPA(B1:B4)", 0.4714045207910317},
    Case{"GEOMEAN(1,-1)", ErrorCode::Num},
    Case{"HARMEAN(0,1)", ErrorCode::Num},
    Case{"_xlfn.SKEW.P(1,2)", ErrorCode::Div0},
    Case{"_xlfn.SKEW.P(2,2,2)", ErrorCode::Div0},
    Case{"_xlfn.SKEW.P(A1:A8,C1)", ErrorCode::NA},
    Case{"_xlfn.MODE.SNGL(A1:A8,B1:B4,1)", 4.0},    // three 4s against two 1s
    Case{"_xlfn.MODE.SNGL(B1:B4,1,\"1\")", 1.0},   // the "1" given directly counts, TRUE in B3 not
    Case{"_xlfn.MODE.SNGL(C1,1,1)", ErrorCode::NA}));

// MODE.MULT gives a column of every most frequent value in the order they first appear; the
// cell shows the first, functions over the whole see the rest.
INSTANTIATE_TEST_SUITE_P(Modes, Statistics, ::testing::Values(
    Case{"_xlfn.MODE.MULT({2,1,2,1,3})", 2.0},
    Case{"COUNT(_xlfn.MODE.MULT({2,1,2,1,3}))", 2.0},
    Case{"SUM(_xlfn.MODE.MULT({2,1,2,1,3}))", 3.0},
    Case{"_xlfn.MODE.MULT(A1:A8)", 4.0},
    Case{"_xlfn.MODE.MULT({1,2,3})", ErrorCode::NA},
    Case{"_xlfn.MODE.MULT(B2:B4)", ErrorCode::NA},
    Case{"_xlfn.MODE.MULT(A1:A8,C1)", ErrorCode::NA}));

// MAXA and MINA count text in a range as 0 and booleans as 1 or 0; nothing to count is 0.
INSTANTIATE_TEST_SUITE_P(Extremes, Statistics, ::testing::Values(
    Case{"MAXA(B1:B4)", 1.0},
    Case{"MINA(B1:B4)", 0.0},
    Case{"MINA(A1:A8)", 2.0},
    Case{"MAXA(A1:A8,B1:B4)", 9.0},
    Case{"MAXA(B4)", 0.0},
    Case{"MAXA(\"7\",TRUE)", 7.0},
    Case{"MINA(-1,TRUE)", -1.0},
    Case{"MAXA(\"x\")", ErrorCode::Value},
    Case{"MINA(A1:A8,C1)", ErrorCode::NA}));

// The examples of Microsoft's documentation, to the nine places it prints.
TEST(Statistics, SkewAndKurtosisOfTheDocumentedExample) {
  const Value skew = Book().eval("SKEW(3,4,5,2,3,4,5,6,4,7)");
  const Value kurt = Book().eval("KURT(3,4,5,2,3,4,5,6,4,7)");
  ASSERT_TRUE(skew.isNumber() && kurt.isNumber());
  EXPECT_NEAR(0.359543071, skew.number(), 1e-9);
  EXPECT_NEAR(-0.151799637, kurt.number(), 1e-9);
  const Value skewOfPopulation = Book().eval("_xlfn.SKEW.P(3,4,5,2,3,4,5,6,4,7)");
  ASSERT_TRUE(skewOfPopulation.isNumber());
  EXPECT_NEAR(0.303193, skewOfPopulation.number(), 1e-6);
}

}  // namespace
}  // namespace calc::testing
