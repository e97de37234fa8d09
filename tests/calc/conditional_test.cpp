// Aggregates with conditions and sums of products. Sources: Microsoft's documentation of
// COUNTIF, COUNTIFS, SUMIF, SUMIFS, AVERAGEIF(S), MAXIFS, MINIFS (criteria with comparison
// operators and wildcards, an empty criterion cell read as 0, a sum range that takes the
// criteria range's shape, #DIV/0! for an average of nothing), COUNTBLANK, SUMPRODUCT
// (blocks of one shape, non-numbers as 0) and SUMX2MY2 / SUMX2PY2 / SUMXMY2 (#N/A for lists of
// different lengths).
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1:A10 holds one value of every kind; B1:B10 the numbers summed; C1 stays empty.
Book mixedColumn() {
  return Book{{"A1", 1.0},     {"A2", 2.0},      {"A3", 3.0},          {"A4", "3"},      {"A5", "apple"},
              {"A6", "Apricot"}, {"A7", "a*b"},  {"A8", true},         {"A9", ErrorCode::NA}, {"A10", ""},
              {"B1", 1.0},     {"B2", 10.0},     {"B3", 100.0},        {"B4", 1000.0},   {"B5", 1e4},
              {"B6", 1e5},     {"B7", 1e6},      {"B8", 1e7},          {"B9", 1e8},      {"B10", 1e9},
              {"D1", "x"},     {"D2", 5.0},      {"D3", ErrorCode::Div0}};
}

class Criteria : public ::testing::TestWithParam<Case> {};

TEST_P(Criteria, SelectTheCellsExcelSelects) {
  Book cells = mixedColumn();
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

// Each criterion through SUMIF, so that the sum names the rows it selected (row k adds 10^(k-1)).
INSTANTIATE_TEST_SUITE_P(OneCriterion, Criteria, ::testing::Values(
    Case{"SUMIF(A1:A10,3,B1:B10)", 1100.0},          // equality reads numeric text as its number
    Case{"SUMIF(A1:A10,\"3\",B1:B10)", 1100.0},
    Case{"SUMIF(A1:A10,\"=3.0\",B1:B10)", 1100.0},
    Case{"SUMIF(A1:A10,\">=3\",B1:B10)", 100.0},    // orderings and <> take it for text
    Case{"SUMIF(A1:A10,\">=2\",B1:B10)", 110.0},     // comparisons take numbers only
    Case{"SUMIF(A1:A10,\"<3\",B1:B10)", 11.0},
    Case{"SUMIF(A1:A10,\"<>3\",B1:B10)", 1111111011.0},
    Case{"SUMIF(A1:A10,\"a*\",B1:B10)", 1110000.0},  // wildcards, without regard to case
    Case{"SUMIF(A1:A10,\"?pple\",B1:B10)", 10000.0},
    Case{"SUMIF(A1:A10,\"a~*b\",B1:B10)", 1000000.0},
    Case{"SUMIF(A1:A10,\"APPLE\",B1:B10)", 10000.0},
    Case{"SUMIF(A1:A10,\">b\",B1:B10)", 0.0},
    Case{"SUMIF(A1:A10,\"<b\",B1:B10)", 1001111000.0},  // texts only, "3" and "" among them
    Case{"SUMIF(A1:A10,TRUE,B1:B10)", 1e7},
    Case{"SUMIF(A1:A10,\"true\",B1:B10)", 1e7},
    Case{"SUMIF(A1:A10,\"#N/A\",B1:B10)", 1e8},
    Case{"SUMIF(A1:A10,\"\",B1:B10)", 1e9},          // empty text matches ""
    Case{"SUMIF(A1:A10,\"=\",B1:B10)", 0.0},         // "=" matches empty cells only
    Case{"SUMIF(A1:A10,\"<>\",B1:B10)", 1111111111.0},
    Case{"SUMIF(A1:A10,C1,B1:B10)", 0.0},            // an empty criterion cell asks for 0
    Case{"SUMIF(A1:A3,\">1\")", 5.0},                // no sum range: the criteria range itself
    Case{"SUMIF(A1:A10,\">0\",B1)", 111.0},          // the sum range takes the criteria range's shape
    Case{"SUMIF(A1:A10,\"#N/A\",A1:A10)", ErrorCode::NA},  // an error among the summed cells
    Case{"SUMIF(A21:A30,\"\",B1:B10)", 1111111111.0},  // criteria cells below the data are empty
    Case{"COUNTIF(A1:A10,\"*\")", 5.0},
    Case{"COUNTIF(A1:A10,\"<>*a*\")", 7.0},        // everything else, errors included
    Case{"COUNTIF(A1:C3,\"\")", 3.0},               // empty cells count as blank
    Case{"COUNTIF(E:E,\"\")", 1048576.0},            // the whole column, never read cell by cell
    Case{"COUNTIF(E:E,\"<>1\")", 1048576.0},
    Case{"COUNTIF(E:E,0)", 0.0},
    Case{"COUNTIF(A1:A10,\"<=\")", 0.0},           // an ordering with nothing to compare to
    Case{"COUNTIF(A1:A10,\">\"&\"\")", 0.0}));

INSTANTIATE_TEST_SUITE_P(SeveralCriteria, Criteria, ::testing::Values(
    Case{"COUNTIFS(A1:A10,\">1\",B1:B10,\"<1000\")", 2.0},
    Case{"COUNTIFS(A1:A10,\">1\",B1:B9,\"<1000\")", ErrorCode::Value},  // ranges of one shape
    Case{"COUNTIFS(A1:A10,\">1\",NA(),1)", ErrorCode::NA},        // an error for a range is the result
    Case{"SUMIFS(1/0,A1:A10,\">1\")", ErrorCode::Div0},
    Case{"SUMIFS(B1:B10,A1:A10,\"<>apple\",A1:A10,\"a*\")", 1100000.0},
    Case{"SUMIFS(B1:B9,A1:A10,\"a*\")", ErrorCode::Value},
    Case{"AVERAGEIF(A1:A10,\">1\",B1:B10)", 55.0},
    Case{"AVERAGEIF(A1:A10,\">100\",B1:B10)", ErrorCode::Div0},
    Case{"AVERAGEIFS(B1:B10,A1:A10,\"<=2\")", 5.5},
    Case{"MAXIFS(B1:B10,A1:A10,\"a*\")", 1e6},
    Case{"MINIFS(B1:B10,A1:A10,\"a*\")", 1e4},
    Case{"MAXIFS(B1:B10,A1:A10,\"zzz\")", 0.0},     // nothing selected
    Case{"MINIFS(D1:D3,A1:A3,\">0\")", ErrorCode::Div0},  // an error among the selected values
    Case{"MINIFS(D1:D2,A1:A2,\">0\")", 5.0},        // text among them is skipped
    Case{"SUM(COUNTIF(A1:A10,{1,2,\"a*\"}))", 5.0}, // an array of criteria gives an array
    Case{"COUNTIF(A1:A10,{\"a*\",1})", 3.0},        // a cell shows the first
    Case{"COUNTBLANK(A1:C3)", 3.0},
    Case{"COUNTBLANK(A9:A10)", 1.0},                // "" counts as blank
    Case{"COUNTBLANK(E:E)", 1048576.0}));

INSTANTIATE_TEST_SUITE_P(SumsOfProducts, Criteria, ::testing::Values(
    Case{"SUMPRODUCT(A1:A3,B1:B3)", 321.0},
    Case{"SUMPRODUCT({1,2;3,4},{5,6;7,8})", 70.0},
    Case{"SUMPRODUCT(A1:A4,B1:B4)", 321.0},          // text is 0
    Case{"SUMPRODUCT(A1:A3)", 6.0},
    Case{"SUMPRODUCT(A1:A3,B1:B4)", ErrorCode::Value},
    Case{"SUMPRODUCT(A1:A3,{1;2;3})", 14.0},
    Case{"SUMPRODUCT(A8:A9,B8:B9)", ErrorCode::NA},
    Case{"SUMX2MY2(A1:A3,{1;1;1})", 11.0},
    Case{"SUMX2PY2(A1:A3,{1,1,1})", 17.0},           // pairs taken in order, whatever the shape
    Case{"SUMXMY2(A1:A4,B1:B4)", 9473.0},           // the pair with text is skipped
    Case{"SUMXMY2(A1:A3,B1:B4)", ErrorCode::NA},
    Case{"SUMX2MY2(A8:A9,B8:B9)", ErrorCode::NA}));

}  // namespace
}  // namespace calc::testing

namespace calc::testing {
namespace {

// Each element of a lifted criterion walks the whole range: past a bound the work is refused
// with #NUM! rather than run for minutes; below it the whole answer comes.
TEST(LiftedCriteria, RefuseWorkWithoutBound) {
  Book cells{{"A1", 1.0}, {"A2", 1.0}, {"A3", 2.0}, {"A100000", 1.0}};
  EXPECT_TRUE(sameValue(ErrorCode::Num, cells.eval("COUNTIF(A:A,A:A)")));
  EXPECT_TRUE(sameValue(7.0, cells.eval("SUM(COUNTIF(A1:A100000,A1:A3))")));  // 3 + 3 + 1
}

}  // namespace
}  // namespace calc::testing
