// Arrays through functions of single values: each element computed, the cell showing the
// top-left one; a reference outside an array argument read at the formula's own cell.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

struct ArrayCase {
  const char* name;
  const char* formula;
  Value expected;
};

class ArrayEvaluation : public ::testing::TestWithParam<ArrayCase> {};

TEST_P(ArrayEvaluation, GivesTheSpreadsheetsValue) {
  Book book{{"A1", 1.0}, {"A2", -2.0}, {"A3", 3.0}, {"B1", 10.0}, {"B2", 20.0}, {"B3", 30.0}};
  EXPECT_EQ(book.eval(GetParam().formula), GetParam().expected) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Lifting, ArrayEvaluation,
    ::testing::Values(ArrayCase{"SumOfMappedConstant", "SUM(ABS({-1,-2,3}))", 6.0},
                      ArrayCase{"CellShowsTopLeft", "ABS({-4,-2})", 4.0},
                      ArrayCase{"ConditionPerElement", "SUM(IF({1,0,1},{5,6,7},0))", 12.0},
                      ArrayCase{"TextFunctionPerElement", "SUM(LEN({\"ab\",\"c\",\"\"}))", 3.0},
                      ArrayCase{"RowAgainstColumnBroadcasts", "SUM(POWER({1,2},{1;2}))", 1.0 + 2 + 1 + 4},
                      ArrayCase{"ErrorStaysInItsElement", "SUM(IFERROR(1/{1,0,2},0))", 1.5}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ImplicitIntersection, ArrayEvaluation,
    // The formula stands at Z1000: a column range outside an array argument meets no row.
    ::testing::Values(ArrayCase{"ColumnRangeOffItsRowIsValueError", "ABS(A1:A3)", ErrorCode::Value},
                      ArrayCase{"OperatorOnRangeOffItsRow", "SUM(A1:A3*2)", ErrorCode::Value},
                      ArrayCase{"RangeAsAggregateArgumentStaysARange", "SUM(A1:A3)", 2.0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ArrayArguments, ArrayEvaluation,
    // A1:A3 hold 1, -2, 3 and B1:B3 10, 20, 30.
    ::testing::Values(ArrayCase{"ConditionTimesRange", "SUMPRODUCT((A1:A3>0)*B1:B3)", 40.0},
                      ArrayCase{"FunctionOfSingleValuesOverARange", "SUMPRODUCT(ABS(A1:A3))", 6.0},
                      ArrayCase{"NestedCallsKeepTheContext", "SUMPRODUCT(IF(A1:A3<0,B1:B3,0))", 20.0},
                      ArrayCase{"NegatedRange", "SUMPRODUCT(-A1:A3,B1:B3)", -60.0},
                      ArrayCase{"ProductOfComputedColumns", "INDEX(A1:A3*B1:B3,2)", -40.0},
                      ArrayCase{"LargestOfAComputedColumn", "LARGE(A1:A3^2,1)", 9.0},
                      ArrayCase{"OutsideTheArgumentItIsIntersectedAgain", "SUMPRODUCT(B1:B3)+ABS(A1:A3)",
                                ErrorCode::Value},
                      // Past the last cell written (Z1000) a range keeps its shape, so that the
                      // condition pairs with the rows it filters...
                      ArrayCase{"RangePastTheWrittenCellsKeepsItsShape", "ROWS(FILTER(A1:A2000,A1:A2000>0))", 2.0},
                      ArrayCase{"ElementWiseOverRangesPastTheWrittenCells", "SUMPRODUCT(ROWS(A1:A1500*B1:B1500))", 1500.0},
                      // ...while a whole column stops there.
                      ArrayCase{"WholeColumnStopsAtTheWrittenCells", "SUMPRODUCT(ROWS(A:A*1))", 1000.0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    RangeOperator, ArrayEvaluation,
    ::testing::Values(ArrayCase{"ExtendsARangeByACell", "SUM(A1:A2:A3)", 2.0},
                      ArrayCase{"JoinsParenthesisedCells", "SUM((A1):(B3))", 62.0},
                      ArrayCase{"SpansBothCorners", "COUNT(B3:A1)", 6.0},
                      ArrayCase{"ValuesAreNoReferences", "SUM((1):A3)", ErrorCode::Value}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace calc::testing
