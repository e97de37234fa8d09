// The searches behind IRR, XIRR and RATE, and NPV at the rates they find. Sources: results Excel 16
// saved for these cash flows (tests/calc/excel-cases), which lie a few units in the 12th digit
// from the exact roots; only the same steps as Excel's reproduce them.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// Flows in row 1 (A1:F1) and row 2 (A2:C2); dated flows with empty cells in rows 4 and 5.
Book cashFlows() {
  return Book{{"A1", -20.0},    {"B1", 5.0},      {"C1", 5.0},      {"D1", 5.0},      {"E1", 5.0},
              {"F1", 5.0},      {"A2", -130.0},   {"B2", 30.0},     {"C2", 20.0},     {"D2", 30.0},
              {"E2", 20.0},     {"F2", 30.0},     {"A4", -20.0},    {"B4", 5.0},      {"C4", 5.0},
              {"F4", 5.0},      {"A5", -20.0},    {"B5", 5.0},      {"C5", 5.0},      {"D5", 0.0},
              {"E5", 0.0},      {"F5", 5.0},      {"H4", 45292.0},  {"I4", 45323.0},  {"J4", 45353.0},
              {"K4", 45386.0},  {"L4", 45782.0},  {"M4", 46179.0}};
}

double number(Book& book, const char* formula) {
  const Value v = book.eval(formula);
  EXPECT_TRUE(v.isNumber()) << formula << ": " << show(v);
  return v.isNumber() ? v.number() : 0.0;
}

// Excel's saved results, each a few hundred units in the last place from the root.
TEST(IrrSearch, EndsWhereExcelEnds) {
  Book book = cashFlows();
  EXPECT_DOUBLE_EQ(0.07930826116039724, number(book, "IRR(A1:F1)"));
  EXPECT_DOUBLE_EQ(0.07930826116414913, number(book, "IRR(A1:F1,17)"));   // a far guess, another end
  EXPECT_DOUBLE_EQ(2.4507063045575705e-12, number(book, "IRR(A2:F2)"));   // the root is 0
  EXPECT_DOUBLE_EQ(-0.4435069413349362, number(book, "IRR({-70,12,15},TRUE)"));
  EXPECT_DOUBLE_EQ(0.4999999999999998, number(book, "IRR({2,-3})"));
  EXPECT_DOUBLE_EQ(1.5, number(book, "IRR({-2,5})"));
  // A double root: the search stops while still approaching it.
  EXPECT_DOUBLE_EQ(1.091399510766422e-07, number(book, "IRR({1,-2,1})"));
}

// From near and far guesses, on either side, the search reaches the same root.
TEST(IrrSearch, ConvergesFromSeveralGuesses) {
  Book book = cashFlows();
  const double root = 0.0793082611605286;  // of -20 + 5/(1+r) + ... + 5/(1+r)^5
  for (const char* guess : {"-0.9", "-0.5", "0", "0.1", "0.5", "1", "5", "17"}) {
    const std::string formula = std::string("IRR(A1:F1,") + guess + ")";
    EXPECT_NEAR(root, number(book, formula.c_str()), 1e-10) << formula;
  }
  // Where Excel's search does not settle, Newton's method still finds the rate.
  EXPECT_NEAR(-0.67373667518084, number(book, "IRR({-400,1,1,1,1,1})"), 1e-12);
}

TEST(IrrSearch, RefusesWhatHasNoRate) {
  Book book = cashFlows();
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("IRR({20,5,5,5,5,5})")));   // never negative
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("IRR({-1,-1,-1})")));        // never positive
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("IRR(A1)")));                // one flow
  EXPECT_TRUE(sameValue(ErrorCode::Value, book.eval("IRR(A1:F1,-1)")));        // guess at -100%
}

// RATE's results as Excel saved them, up to a few units in the 12th digit from the root.
TEST(RateSearch, EndsWhereExcelEnds) {
  Book book;
  EXPECT_DOUBLE_EQ(-0.9743589743570107, number(book, "RATE(2,-200,8000,0,1)"));  // root -38/39
  EXPECT_DOUBLE_EQ(-0.8288927807430028, number(book, "RATE(2,-200,8000)"));
  EXPECT_DOUBLE_EQ(0.04638293201812861, number(book, "RATE(48,-400,8000,0,1)"));
  EXPECT_DOUBLE_EQ(-0.1678337611998994, number(book, "RATE(12,-200,8000,0,TRUE)"));
  EXPECT_NEAR(0.02711921115770066, number(book, "RATE(48,-300,8000)"), 1e-16);  // its 15 digits
}

// Where Excel's search cannot settle, the rate still comes from Newton's method; where no rate
// above -100% balances, the answer stays #NUM!.
TEST(RateSearch, FallsBackWhereTheSearchDoesNotSettle) {
  Book book;
  EXPECT_NEAR(0.0, number(book, "RATE(10,-100,1000)"), 1e-8);  // the closed form is noise near 0
  // Balances too large to come within 1e-7 of nothing.
  EXPECT_NEAR(0.00589895345709846, number(book, "RATE(360,-1E9,1.5E11,0,1)"), 1e-13);
  EXPECT_NEAR(0.00589895345709846, number(book, "RATE(360,-1000,150000,0,1)"), 1e-13);
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("RATE(10,-1200,2000,0,1)")));  // heads for -100%
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("RATE(10,-1200,2000)")));
}

// NPV at the rate IRR found is what is left of flows that cancel: Excel's digits of it.
TEST(NpvNearZero, LeavesExcelsRemainder) {
  Book book = cashFlows();
  EXPECT_DOUBLE_EQ(-3.0929046470933984e-15, number(book, "NPV(0.1486657637956006,-20,8,5,5,6,5)"));
  EXPECT_DOUBLE_EQ(-1.579429159894141e-10, number(book, "NPV(-0.44350694133432755,{-70,12,15})"));
}

// XIRR reads an empty value cell as a flow of nothing; XNPV refuses it.
TEST(XirrFlows, TakeEmptyValuesAsZero) {
  Book book = cashFlows();
  const double withZeros = number(book, "XIRR(A5:F5,H4:M4)");
  EXPECT_NEAR(-0.2371315099298954, withZeros, 1e-8);
  EXPECT_EQ(withZeros, number(book, "XIRR(A4:F4,H4:M4)"));
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("XNPV(0.1,A4:F4,H4:M4)")));
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("XIRR(A5:F5,H5:M5)")));  // empty dates
}

}  // namespace
}  // namespace calc::testing
