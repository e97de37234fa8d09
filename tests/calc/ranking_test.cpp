// Order statistics of one list. Source: Microsoft's documentation of LARGE, SMALL, PERCENTILE
// (.INC, .EXC), QUARTILE (.INC, .EXC), PERCENTRANK (.INC, .EXC), RANK (.EQ, .AVG), TRIMMEAN and
// FREQUENCY: the domain of k, quart, significance and percent, interpolation between
// neighbours, truncation of whole-number arguments, #N/A for a value outside the list.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1:A6: 3 1 4 1 5 9 (sorted 1 1 3 4 5 9); B1:B4: "7", TRUE, empty, 2; C1: #DIV/0!.
Book listBook() {
  return Book{{"A1", 3.0}, {"A2", 1.0}, {"A3", 4.0}, {"A4", 1.0}, {"A5", 5.0}, {"A6", 9.0},
              {"B1", "7"}, {"B2", true}, {"B4", 2.0}, {"C1", ErrorCode::Div0}};
}

class Ranking : public ::testing::TestWithParam<Case> {};

TEST_P(Ranking, GiveExcelsResult) {
  Book book = listBook();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(LargeAndSmall, Ranking, ::testing::Values(
    Case{"LARGE(A1:A6,1)", 9.0},
    Case{"LARGE(A1:A6,6)", 1.0},
    Case{"SMALL(A1:A6,2)", 1.0},
    Case{"SMALL(A1:A6,2.5)", 3.0},           // k rounded up
    Case{"LARGE(A1:A6,7)", ErrorCode::Num},
    Case{"SMALL(A1:A6,0)", ErrorCode::Num},
    Case{"SMALL(B1:B4,1)", 2.0},             // text and booleans in a range are skipped
    Case{"SMALL({3,\"1\",TRUE},1)", 3.0},    // and in an array constant
    Case{"SMALL(\"2\",1)", 2.0},             // a value given directly is converted
    Case{"SMALL(B2,1)", ErrorCode::Num},     // a boolean in a cell is not
    Case{"SMALL(A1:A6,\"x\")", ErrorCode::Value},
    Case{"LARGE(C1,1)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Percentiles, Ranking, ::testing::Values(
    Case{"PERCENTILE(A1:A6,0)", 1.0},
    Case{"PERCENTILE(A1:A6,1)", 9.0},
    Case{"_xlfn.PERCENTILE.INC(A1:A6,0.5)", 3.5},
    Case{"PERCENTILE(A1:A6,0.3)", 2.0},      // place 2.5, between 1 and 3
    Case{"PERCENTILE(A1:A6,1.01)", ErrorCode::Num},
    Case{"PERCENTILE(A1:A6,-0.01)", ErrorCode::Num},
    Case{"PERCENTILE(B3,0.5)", ErrorCode::Num},
    Case{"PERCENTILE(A1:A6,C1)", ErrorCode::Div0},
    Case{"_xlfn.PERCENTILE.EXC(A1:A6,0.5)", 3.5},
    Case{"_xlfn.PERCENTILE.EXC(A1:A6,1/7)", 1.0},  // place 1, the first
    Case{"_xlfn.PERCENTILE.EXC(A1:A6,6/7)", 9.0},  // place n, the last
    Case{"_xlfn.PERCENTILE.EXC(A1:A6,0.1)", ErrorCode::Num},
    Case{"_xlfn.PERCENTILE.EXC(A1:A6,0.9)", ErrorCode::Num},
    Case{"_xlfn.PERCENTILE.EXC(A1:A6,0)", ErrorCode::Num},
    Case{"QUARTILE(A1:A6,0)", 1.0},
    Case{"QUARTILE(A1:A6,4)", 9.0},
    Case{"QUARTILE(A1:A6,1.9)", 1.5},        // quart truncated to 1
    Case{"_xlfn.QUARTILE.INC(A1:A6,2)", 3.5},
    Case{"QUARTILE(A1:A6,5)", ErrorCode::Num},
    Case{"QUARTILE(A1:A6,-1)", ErrorCode::Num},
    Case{"_xlfn.QUARTILE.EXC(A1:A6,1)", 1.0},
    Case{"_xlfn.QUARTILE.EXC(A1:A6,3)", 6.0},
    Case{"_xlfn.QUARTILE.EXC(A1:A6,0)", ErrorCode::Num},
    Case{"_xlfn.QUARTILE.EXC(A1:A6,4)", ErrorCode::Num}));

INSTANTIATE_TEST_SUITE_P(PercentRanks, Ranking, ::testing::Values(
    Case{"PERCENTRANK(A1:A6,1)", 0.0},
    Case{"PERCENTRANK(A1:A6,9)", 1.0},
    Case{"PERCENTRANK(A1:A6,3)", 0.4},
    Case{"PERCENTRANK(A1:A6,3.5)", 0.5},     // halfway from 3 to 4
    Case{"PERCENTRANK(A1:A6,2)", 0.3},       // from the last 1, at place 2, to 3
    Case{"PERCENTRANK(A1:A6,10)", ErrorCode::NA},
    Case{"PERCENTRANK(A1:A6,0.5)", ErrorCode::NA},
    Case{"PERCENTRANK({1,2,3,4},3)", 0.666},  // cut down, not rounded
    Case{"PERCENTRANK({1,2,3,4},2,1)", 0.3},
    Case{"PERCENTRANK({1,2,3,4},2,2.9)", 0.33},  // significance truncated
    Case{"PERCENTRANK({1,2,3,4},2,0)", ErrorCode::Num},
    Case{"PERCENTRANK({5},5)", 1.0},
    Case{"PERCENTRANK(B3,1)", ErrorCode::Num},
    Case{"_xlfn.PERCENTRANK.INC(A1:A6,4.3)", 0.66},
    Case{"_xlfn.PERCENTRANK.EXC({1,2,3,4},1)", 0.2},
    Case{"_xlfn.PERCENTRANK.EXC(A1:A6,9)", 0.857},
    Case{"_xlfn.PERCENTRANK.EXC(A1:A6,2,4)", 0.3571}));  // (2 + 1/2) / 7

INSTANTIATE_TEST_SUITE_P(Ranks, Ranking, ::testing::Values(
    Case{"RANK(9,A1:A6)", 1.0},
    Case{"RANK(1,A1:A6)", 5.0},              // the largest first; ties share the best place
    Case{"RANK(1,A1:A6,1)", 1.0},
    Case{"RANK(3,A1:A6,-1)", 3.0},           // any order but 0 ranks the smallest first
    Case{"_xlfn.RANK.EQ(1,A1:A6)", 5.0},
    Case{"_xlfn.RANK.AVG(1,A1:A6)", 5.5},
    Case{"_xlfn.RANK.AVG(1,A1:A6,1)", 1.5},
    Case{"_xlfn.RANK.AVG(4,A1:A6)", 3.0},
    Case{"RANK(2,A1:A6)", ErrorCode::NA},
    Case{"RANK(\"3\",A1:A6)", 4.0},
    Case{"RANK(2,B1:B4)", 1.0},
    Case{"RANK(C1,A1:A6)", ErrorCode::Div0},
    Case{"RANK(3,A1:A6,\"x\")", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(TrimmedMeans, Ranking, ::testing::Values(
    Case{"TRIMMEAN(A1:A6,0)", 23.0 / 6},
    Case{"TRIMMEAN(A1:A6,0.33)", 23.0 / 6},  // 1.98 values: none cut
    Case{"TRIMMEAN(A1:A6,0.34)", 3.25},      // 2.04 values: one from each end
    Case{"TRIMMEAN(A1:A6,0.99)", 3.5},
    Case{"TRIMMEAN(A1:A6,1)", ErrorCode::Num},
    Case{"TRIMMEAN(A1:A6,-0.1)", ErrorCode::Num},
    Case{"TRIMMEAN(B3,0)", ErrorCode::Num},
    Case{"TRIMMEAN(A1:C1,0)", ErrorCode::Div0}));

// FREQUENCY gives a column one longer than the bins; the cell shows its first count, and the
// rest is seen through functions that take the whole array.
INSTANTIATE_TEST_SUITE_P(Frequencies, Ranking, ::testing::Values(
    Case{"FREQUENCY(A1:A6,{2,5})", 2.0},          // counts 2, 3, 1
    Case{"SUM(FREQUENCY(A1:A6,{2,5}))", 6.0},
    Case{"LARGE(FREQUENCY(A1:A6,{2,5}),1)", 3.0},
    Case{"SMALL(FREQUENCY(A1:A6,{2,5}),1)", 1.0},
    Case{"COUNT(FREQUENCY(A1:A6,{2,5}))", 3.0},
    Case{"FREQUENCY(A1:A6,{5,2})", 3.0},          // counts in the bins' own order: 3, 2, 1
    Case{"FREQUENCY(A1:A6,{2,2})", 2.0},          // a repeated bin counts nothing more
    Case{"MIN(FREQUENCY(A1:A6,{2,2}))", 0.0},
    Case{"FREQUENCY(A1:A6,B3)", 6.0},             // no bins: one count of everything
    Case{"FREQUENCY(B1:B4,{2})", 1.0},            // text and booleans are not counted
    Case{"FREQUENCY(C1,{1})", ErrorCode::Div0},
    Case{"FREQUENCY(A1:A6,C1)", ErrorCode::Div0}));

}  // namespace
}  // namespace calc::testing
