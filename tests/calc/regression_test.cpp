// Paired data and least-squares fits. Source: Microsoft's documentation of CORREL, PEARSON,
// RSQ, SLOPE, INTERCEPT, STEYX, FORECAST, COVAR, COVARIANCE.P/.S, PROB, LINEST, LOGEST, TREND
// and GROWTH. The expected figures are worked by hand from the definitions for
// x = 1 2 3 4, y = 1 3 2 4: means 2.5, Sxx = Syy = 5, Sxy = 4, slope 0.8, intercept 0.5,
// residual sum of squares 1.8 on 2 degrees of freedom.
#include <cmath>

#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1:A4 x; B1:B4 y; C1:C4 1, "2", TRUE, 4; D1:D4 6 18 54 162 (2 * 3^x); G1:G4 #REF!.
Book pairsBook() {
  return Book{{"A1", 1.0}, {"A2", 2.0},  {"A3", 3.0},  {"A4", 4.0},   {"B1", 1.0}, {"B2", 3.0},
              {"B3", 2.0}, {"B4", 4.0},  {"C1", 1.0},  {"C2", "2"},   {"C3", true}, {"C4", 4.0},
              {"D1", 6.0}, {"D2", 18.0}, {"D3", 54.0}, {"D4", 162.0}, {"G1", ErrorCode::Ref}};
}

class Regression : public ::testing::TestWithParam<Case> {};

TEST_P(Regression, GiveExcelsResult) {
  Book book = pairsBook();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(PairedLists, Regression, ::testing::Values(
    Case{"CORREL(A1:A4,B1:B4)", 0.8},
    Case{"PEARSON(A1:A4,B1:B4)", 0.8},
    Case{"RSQ(B1:B4,A1:A4)", 0.64},
    Case{"SLOPE(B1:B4,A1:A4)", 0.8},
    Case{"INTERCEPT(B1:B4,A1:A4)", 0.5},
    Case{"STEYX(B1:B4,A1:A4)", std::sqrt(0.9)},
    Case{"FORECAST(5,B1:B4,A1:A4)", 4.5},
    Case{"_xlfn.FORECAST.LINEAR(5,B1:B4,A1:A4)", 4.5},
    Case{"COVAR(A1:A4,B1:B4)", 1.0},
    Case{"_xlfn.COVARIANCE.P(A1:A4,B1:B4)", 1.0},
    Case{"_xlfn.COVARIANCE.S(A1:A4,B1:B4)", 4.0 / 3},
    Case{"CORREL({1,2,3,4},{1,3,2,4})", 0.8},      // array constants
    Case{"CORREL({1,2,3,4},B1:B4)", 0.8},          // a row paired with a column by place
    Case{"SLOPE(B:B,A:A)", 0.8},                   // whole columns
    Case{"CORREL(A1:A4,C1:C4)", 1.0},              // pairs with text or a boolean left out
    Case{"_xlfn.COVARIANCE.S(C1:C4,A1:A4)", 4.5},
    Case{"SLOPE(C1:C5,A1:A5)", 1.0},               // and pairs with an empty cell
    Case{"CORREL(A1:A4,B1:B3)", ErrorCode::NA},    // different sizes
    Case{"CORREL(A1:A4,G1:G4)", ErrorCode::Ref},   // an error in either list
    Case{"CORREL({1,1,1},{1,2,3})", ErrorCode::Div0},
    Case{"SLOPE({1,2,3},{5,5,5})", ErrorCode::Div0},
    Case{"INTERCEPT({1,2,3},{5,5,5})", ErrorCode::Div0},
    Case{"STEYX({1,2},{1,2})", ErrorCode::Div0},   // fewer than three pairs
    Case{"_xlfn.COVARIANCE.S({1},{2})", ErrorCode::Div0},
    Case{"_xlfn.COVARIANCE.P({1},{2})", 0.0},
    Case{"COVAR({\"a\"},{1})", ErrorCode::Div0},
    Case{"FORECAST(\"x\",B1:B4,A1:A4)", ErrorCode::Value},
    Case{"FORECAST(5,{1,1},{2,2})", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Probabilities, Regression, ::testing::Values(
    Case{"PROB({1,2,3},{0.2,0.3,0.5},2)", 0.3},
    Case{"PROB({1,2,3},{0.2,0.3,0.5},2,3)", 0.8},
    Case{"PROB({1,2,3},{0.2,0.3,0.5},3,2)", 0.0},
    Case{"PROB({1,2,3},{0.2,0.3,0.5},2.5)", 0.0},
    Case{"PROB({1,2,3},{0.2,0.3,0.4},1)", ErrorCode::Num},  // not adding up to 1
    Case{"PROB({1,2},{-0.5,1.5},1)", ErrorCode::Num},
    Case{"PROB({1,2},{0.5,0.5,0},1)", ErrorCode::NA},
    Case{"PROB({1,2},{0.5,0.5},\"x\")", ErrorCode::Value},
    Case{"PROB({\"a\"},{\"b\"},1)", ErrorCode::Div0}));

// LINEST's array (coefficients last variable first, the intercept, then with statistics
// four more rows) is seen through its first element and through functions over the whole.
INSTANTIATE_TEST_SUITE_P(LinearFits, Regression, ::testing::Values(
    Case{"LINEST(B1:B4,A1:A4)", 0.8},
    Case{"SUM(LINEST(B1:B4,A1:A4))", 1.3},
    Case{"LINEST(B1:B4)", 0.8},                               // x taken as 1, 2, 3...
    Case{"LINEST({1,3,2,4},{1,2,3,4})", 0.8},                  // values in a row
    Case{"LINEST(B1:B4,A1:A4,FALSE)", 29.0 / 30},             // through the origin
    Case{"SUM(LINEST(B1:B4,A1:A4,FALSE))", 29.0 / 30},
    Case{"COUNT(LINEST(B1:B4,A1:A4,TRUE,TRUE))", 10.0},
    Case{"SMALL(LINEST(B1:B4,A1:A4,TRUE,TRUE),1)", 0.42426406871192851},  // se of the slope
    Case{"SMALL(LINEST(B1:B4,A1:A4,TRUE,TRUE),6)", 1.1618950038622251},   // se of the intercept
    Case{"SMALL(LINEST(B1:B4,A1:A4,TRUE,TRUE),5)", 0.94868329805051377},  // residual sd
    Case{"LARGE(LINEST(B1:B4,A1:A4,TRUE,TRUE),1)", 32.0 / 9},             // F
    Case{"LARGE(LINEST(B1:B4,A1:A4,TRUE,TRUE),2)", 3.2},                  // regression SS
    Case{"SMALL(LINEST(B1:B4,A1:A4,TRUE,TRUE),3)", 0.64},                 // r2
    // Deviations from the means keep their digits far from the origin.
    Case{"LINEST({1;3;2;4},{1000000001;1000000002;1000000003;1000000004})", 0.8},
    Case{"CORREL({1,3,2,4},{1000000001,1000000002,1000000003,1000000004})", 0.8},
    Case{"LINEST(C1:C4,A1:A4)", ErrorCode::Value},   // text or a boolean among the values
    Case{"LINEST(B1:B5,A1:A5)", ErrorCode::Value},   // an empty cell
    Case{"LINEST(B:B,A:A)", ErrorCode::Value},
    Case{"LINEST(B1:B4,A1:A3)", ErrorCode::Ref},
    Case{"LINEST(G1:G4,A1:A4)", ErrorCode::Ref},
    Case{"LINEST(B1:B4,A1:A4,\"x\")", ErrorCode::Value}));

// y = 3 x1 - 2 x2 + 5 exactly, the variables in columns or in rows; then x2 = 2 x1, which
// the fit leaves out with a coefficient of 0.
INSTANTIATE_TEST_SUITE_P(SeveralVariables, Regression, ::testing::Values(
    Case{"LINEST({4;9;6;11},{1,2;2,1;3,4;4,3})", -2.0},
    Case{"SUM(LINEST({4;9;6;11},{1,2;2,1;3,4;4,3}))", 6.0},
    Case{"LARGE(LINEST({4;9;6;11},{1,2;2,1;3,4;4,3}),1)", 5.0},
    Case{"LINEST({4,9,6,11},{1,2,3,4;2,1,4,3})", -2.0},
    Case{"COUNT(LINEST({4;9;6;12},{1,2;2,1;3,4;4,3},TRUE,TRUE))", 12.0},  // #N/A where a row ends
    Case{"TREND({4;9;6;11},{1,2;2,1;3,4;4,3},{5,5})", 10.0},
    Case{"TREND({4;9;6;11},{1,2;2,1;3,4;4,3},{5,5,5})", ErrorCode::Ref},
    Case{"SUM(TREND({4,9,6,11},{1,2,3,4;2,1,4,3},{5,1;5,1}))", 16.0},  // 10 and 6
    Case{"TREND({4,9,6,11},{1,2,3,4;2,1,4,3},{5,5})", ErrorCode::Ref},
    Case{"LINEST({1;2;3;4},{1,2;2,4;3,6;4,8})", 0.0},
    Case{"LARGE(LINEST({1;2;3;4},{1,2;2,4;3,6;4,8}),1)", 1.0}));

INSTANTIATE_TEST_SUITE_P(Trends, Regression, ::testing::Values(
    Case{"TREND(B1:B4,A1:A4,5)", 4.5},
    Case{"SUM(TREND(B1:B4,A1:A4,{5,6}))", 9.8},
    Case{"TREND(B1:B4)", 1.3},                       // the fitted values at the known x
    Case{"SUM(TREND(B1:B4))", 10.0},
    Case{"TREND(B1:B4,A1:A4,1,FALSE)", 29.0 / 30},
    Case{"TREND(B1:B4,A1:A4,\"x\")", ErrorCode::Value},
    Case{"TREND(B1:B4,A1:A3)", ErrorCode::Ref},
    Case{"LOGEST(D1:D4,A1:A4)", 3.0},                // 2 * 3^x: m = 3, b = 2
    Case{"SUM(LOGEST(D1:D4,A1:A4))", 5.0},
    Case{"GROWTH(D1:D4,A1:A4,5)", 486.0},
    Case{"GROWTH(D1:D4,A1:A4)", 6.0},
    Case{"LOGEST({1,-1},{1,2})", ErrorCode::Num},
    Case{"GROWTH(B1:B4,A1:A4,{1,2},FALSE)", 1.3873490743099062}));  // exp((2 ln 3 + 3 ln 2 + 4 ln 4) / 30)

}  // namespace
}  // namespace calc::testing
