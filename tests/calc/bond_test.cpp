// Securities and day counts. Sources: Microsoft's documentation of YEARFRAC, DAYS360, the
// COUP... functions, ACCRINT, ACCRINTM, DISC, INTRATE, RECEIVED, PRICE, PRICEDISC, PRICEMAT,
// YIELD, YIELDDISC, YIELDMAT, DURATION, MDURATION, TBILLEQ, TBILLPRICE, TBILLYIELD and the
// ODD... functions (values from their examples, to the places printed there), and the day
// count rules of the bases 0-4.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

struct Near {
  const char* formula;
  double expected;
  double tolerance;
};

inline void PrintTo(const Near& c, std::ostream* os) { *os << c.formula; }

class BondExamples : public ::testing::TestWithParam<Near> {};

TEST_P(BondExamples, AgreeToThePlacesPrinted) {
  const Value v = Book().eval(GetParam().formula);
  ASSERT_TRUE(v.isNumber()) << show(v);
  EXPECT_NEAR(GetParam().expected, v.number(), GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(Bonds, BondExamples, ::testing::Values(
    Near{"YEARFRAC(DATE(2012,1,1),DATE(2012,7,30))", 0.58055556, 1e-8},
    Near{"YEARFRAC(DATE(2012,1,1),DATE(2012,7,30),1)", 0.57650273, 1e-8},
    Near{"YEARFRAC(DATE(2012,1,1),DATE(2012,7,30),3)", 0.57808219, 1e-8},
    Near{"ACCRINT(39508,39691,39569,0.1,1000,2,0)", 16.666667, 1e-6},
    Near{"ACCRINT(DATE(2008,3,5),39691,39569,0.1,1000,2,0,FALSE)", 15.555556, 1e-6},
    Near{"ACCRINT(DATE(2008,4,5),39691,39569,0.1,1000,2,0,TRUE)", 7.2222222, 1e-6},
    Near{"ACCRINTM(39539,39614,0.1,1000,3)", 20.54794521, 1e-8},
    Near{"DISC(DATE(2018,7,1),DATE(2048,1,1),97.975,100,1)", 0.000686, 1e-6},
    Near{"INTRATE(DATE(2008,2,15),DATE(2008,5,15),1000000,1014420,2)", 0.05768, 1e-5},
    Near{"RECEIVED(DATE(2008,2,15),DATE(2008,5,15),1000000,0.0575,2)", 1014584.654, 1e-3},
    Near{"PRICE(DATE(2008,2,15),DATE(2017,11,15),0.0575,0.065,100,2,0)", 94.63436, 1e-5},
    Near{"PRICEDISC(DATE(2008,2,16),DATE(2008,3,1),0.0525,100,2)", 99.79583, 1e-5},
    Near{"PRICEMAT(DATE(2008,2,15),DATE(2008,4,13),DATE(2007,11,11),0.061,0.061,0)", 99.98449888, 1e-8},
    Near{"YIELD(DATE(2008,2,15),DATE(2016,11,15),0.0575,95.04287,100,2,0)", 0.065, 1e-6},
    Near{"YIELDDISC(DATE(2008,2,16),DATE(2008,3,1),99.795,100,2)", 0.052823, 1e-6},
    Near{"YIELDMAT(DATE(2008,3,15),DATE(2008,11,3),DATE(2007,11,8),0.0625,100.0123,0)", 0.060954, 1e-6},
    Near{"DURATION(DATE(2018,7,1),DATE(2048,1,1),0.08,0.09,2,1)", 10.9191453, 1e-7},
    Near{"MDURATION(DATE(2008,1,1),DATE(2016,1,1),0.08,0.09,2,1)", 5.73567, 1e-5},
    Near{"TBILLEQ(DATE(2008,3,31),DATE(2008,6,1),0.0914)", 0.094151494, 1e-9},
    Near{"TBILLPRICE(DATE(2008,3,31),DATE(2008,6,1),0.09)", 98.45, 1e-9},
    Near{"TBILLYIELD(DATE(2008,3,31),DATE(2008,6,1),98.45)", 0.091417, 1e-6},
    Near{"ODDFPRICE(DATE(2008,11,11),DATE(2021,3,1),DATE(2008,10,15),DATE(2009,3,1),0.0785,0.0625,100,2,1)",
         113.597717, 1e-6},
    Near{"ODDFYIELD(DATE(2008,11,11),DATE(2021,3,1),DATE(2008,10,15),DATE(2009,3,1),0.0575,84.5,100,2,0)",
         0.0772, 1e-4},
    Near{"ODDLPRICE(DATE(2008,2,7),DATE(2008,6,15),DATE(2007,10,15),0.0375,0.0405,100,2,0)", 99.87829, 1e-5},
    Near{"ODDLYIELD(DATE(2008,4,20),DATE(2008,6,15),DATE(2007,12,24),0.0375,99.875,100,2,0)", 0.045192, 1e-6}));

class BondExact : public ::testing::TestWithParam<Case> {};

TEST_P(BondExact, GiveExcelsResult) {
  Book book{{"A1", 40568.0}, {"A2", 40862.0}, {"A3", true}, {"A4", "40568"}};
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Bonds, BondExact, ::testing::Values(
    // The coupon schedule of a bond maturing 2011-11-15, settled 2011-01-25.
    Case{"COUPDAYBS(A1,A2,2,1)", 71.0},
    Case{"COUPDAYS(A1,A2,2,1)", 181.0},
    Case{"COUPDAYSNC(A1,A2,2,1)", 110.0},
    Case{"COUPNCD(A1,A2,2,1)", 40678.0},
    Case{"COUPPCD(A1,A2,2,1)", 40497.0},
    Case{"COUPNUM(A1,A2,2,1)", 2.0},
    Case{"COUPNUM(DATE(2007,1,25),DATE(2008,11,15),2,1)", 4.0},
    Case{"COUPDAYS(A1,A2,2)", 180.0},
    Case{"COUPDAYS(A1,A2,4,3)", 91.25},
    Case{"COUPNUM(A4,A2,2.9,1.5)", 2.0},  // numeric text is read; frequency and basis truncated
    // A maturity at the end of a month keeps every coupon at the end of its month.
    Case{"COUPPCD(DATE(2011,3,10),DATE(2011,8,31),2)", 40602.0},   // 2011-02-28
    Case{"COUPNCD(DATE(2011,3,10),DATE(2012,2,29),4)", 40694.0},   // 2011-05-31
    // Settlement on a coupon date: that date is the previous coupon.
    Case{"COUPDAYBS(DATE(2011,5,15),A2,2,1)", 0.0},
    // 30/360 under the US and European rules.
    Case{"DAYS360(DATE(2011,1,30),DATE(2011,12,31))", 330.0},
    Case{"DAYS360(DATE(2011,1,1),DATE(2011,1,31))", 30.0},
    Case{"DAYS360(DATE(2011,1,1),DATE(2011,1,31),TRUE)", 29.0},
    Case{"DAYS360(DATE(2011,2,28),DATE(2011,3,31))", 30.0},
    Case{"DAYS360(DATE(2011,3,31),DATE(2011,2,28))", -32.0},
    Case{"DAYS360(DATE(2025,1,1),DATE(2025,1,31),\"TRUE\")", 29.0},
    Case{"DAYS360(45992.000001,46000.999999)", 9.0},   // a date a moment before midnight is the next day
    Case{"DAYS360(10,0)", -10.0},                      // serial 0 is 1900-01-00
    Case{"YEARFRAC(DATE(2011,2,28),DATE(2012,2,29),0)", 1.0},
    Case{"YEARFRAC(DATE(2012,7,30),DATE(2012,1,1),2)", 211.0 / 360},  // either order
    Case{"YEARFRAC(DATE(2011,1,1),DATE(2011,7,1),1)", 181.0 / 365},
    Case{"YEARFRAC(DATE(2011,1,1),DATE(2012,3,1),1)", 425.0 / 365.5},  // the average of 2011 and 2012
    Case{"YEARFRAC(DATE(2011,1,31),DATE(2011,3,31),4)", 60.0 / 360},
    Case{"YEARFRAC(DATE(2011,1,1.9),DATE(2011,1,31.2),2)", 30.0 / 360},  // whole days
    Case{"ACCRINTM(DATE(2024,2,28),DATE(2024,3,1),0.1,1000,1)", 0.546448087431694},
    // From issue, period by period: 2019-03-10 to 2019-11-20 is 250 days of 30/360.
    Case{"ACCRINT(DATE(2019,3,10),DATE(2020,6,1),DATE(2019,11,20),0.06,1000,2,0)", 30.0 * 250 / 180},
    // Without calc_method: from the issue date stepped on by one of the two whole periods that
    // fit before the first interest date, 2019-09-10, 70 days.
    Case{"ACCRINT(DATE(2019,3,10),DATE(2020,6,1),DATE(2019,11,20),0.06,1000,2,0,FALSE)", 30.0 * 70 / 180},
    Case{"ACCRINT(DATE(2019,3,10),DATE(2020,6,1),DATE(2019,11,20),0.06,1000,2,0,0)", 30.0 * 70 / 180},
    // Settlement before the first interest date, as Excel saved them: the days from issue to the
    // next coupon date over that period, plus the days from the stepped-on coupon date to
    // settlement over the period it starts, negative when settlement comes first.
    Case{"ACCRINT(DATE(2017,1,1),DATE(2017,12,1),DATE(2017,4,1),0.33,3000,4,1,FALSE)", -253.87637362637361},
    Case{"ACCRINT(DATE(2017,1,1),DATE(2017,12,1),DATE(2017,4,1),0.33,3000,2,1,FALSE)", 245.68681318681323},
    Case{"ACCRINT(DATE(2020,2,3),DATE(2023,12,1),DATE(2023,4,12),0.33,3000,1,1,FALSE)", 1174.9126431619134},
    Case{"ACCRINT(DATE(2019,8,31),DATE(2020,8,31),DATE(2020,5,1),0.1,1000,2,0,FALSE)", 16.944444444444446},
    // Excel's saved results: a long odd last period on the actual/360 and actual/365 bases
    // counts each quasi period's own calendar days.
    Case{"ODDLPRICE(43891,47543,43845,0.075,0.0589,120,2,2)", 122.36705839417525},
    Case{"ODDLPRICE(43891,47543,43845,0.08,0.0711,120,1,3)", 116.47338382128387},
    Case{"ODDLYIELD(43891,47543,43845,0.075,122.36705839417525,120,2,2)", 0.058899999999999994},
    // A bill of 366 days compounds over a leap year.
    Case{"TBILLEQ(14640,15006,0.5)", 0.8522961312491701},
    Case{"TBILLPRICE(DATE(2008,3,31),DATE(2008,6,1),0.09)", 98.45}));

class BondErrors : public ::testing::TestWithParam<Case> {};

TEST_P(BondErrors, GiveExcelsError) {
  Book book{{"A1", 40568.0}, {"A2", 40862.0}, {"A3", true}, {"A4", "x"}};
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Bonds, BondErrors, ::testing::Values(
    Case{"COUPNUM(A2,A1,2)", ErrorCode::Num},        // settlement after maturity
    Case{"COUPNUM(A1,A1,2)", ErrorCode::Num},
    Case{"COUPNUM(A1,A2,3)", ErrorCode::Num},
    Case{"COUPNUM(A1,A2,2,5)", ErrorCode::Num},
    Case{"COUPNUM(A1,A2,2,-1)", ErrorCode::Num},
    Case{"COUPNUM(-1,A2,2)", ErrorCode::Num},
    Case{"COUPNUM(A3,A2,2)", ErrorCode::Value},     // booleans are refused
    Case{"COUPNUM(A1,A2,A4)", ErrorCode::Value},
    Case{"COUPNUM(A1,A2,)", ErrorCode::NA},          // and left-out arguments
    Case{"YEARFRAC(A1,A2,5)", ErrorCode::Num},
    Case{"YEARFRAC(-1,A2)", ErrorCode::Num},
    Case{"YEARFRAC(A1,TRUE)", ErrorCode::Value},
    Case{"DAYS360(-1,A2)", ErrorCode::Num},
    Case{"DAYS360(A1,A2,\"x\")", ErrorCode::Value},
    Case{"ACCRINT(A1,A2,A1,0.1,1000,2)", ErrorCode::Num},       // settlement on issue
    Case{"ACCRINT(A1,A2,A2+10,0,1000,2)", ErrorCode::Num},
    Case{"ACCRINT(A1,A2,A2+10,0.1,-100,2)", ErrorCode::Num},
    Case{"ACCRINT(A1,A2,A2+10,0.1,1000,5)", ErrorCode::Num},
    Case{"ACCRINT(A1,A2,A2+10,0.1,1000,2,0,\"x\")", ErrorCode::Value},
    Case{"ACCRINTM(A2,A1,0.1,1000)", ErrorCode::Num},
    Case{"DISC(A1,A2,0,100)", ErrorCode::Num},
    Case{"PRICE(A1,A2,-0.01,0.05,100,2)", ErrorCode::Num},
    Case{"PRICE(A1,A2,0.05,0.05,0,2)", ErrorCode::Num},
    Case{"YIELD(A1,A2,0.05,0,100,2)", ErrorCode::Num},
    Case{"DURATION(A1,A2,0.05,-0.05,2)", ErrorCode::Num},
    Case{"PRICEMAT(A1,A2,A2,0.05,0.05)", ErrorCode::Num},      // issued after settlement
    Case{"TBILLPRICE(A1,A1+400,0.05)", ErrorCode::Num},        // more than a year
    Case{"TBILLPRICE(A1,A1+30,0)", ErrorCode::Num},
    Case{"TBILLYIELD(A1,A1+30,-1)", ErrorCode::Num},
    Case{"TBILLEQ(A2,A1,0.05)", ErrorCode::Num},
    Case{"ODDFPRICE(A1,A2,A1+10,A1+50,0.05,0.05,100,2)", ErrorCode::Num},  // issue after settlement
    Case{"ODDFPRICE(A1,A2,A1-10,A2+50,0.05,0.05,100,2)", ErrorCode::Num},  // first coupon after maturity
    Case{"ODDFYIELD(A1,A2,A1-10,A1+50,0.05,0,100,2)", ErrorCode::Num},
    Case{"ODDLPRICE(A1,A2,A1+10,0.05,0.05,100,2)", ErrorCode::Num},        // last coupon after settlement
    Case{"ODDLYIELD(A1,A2,A1-10,0.05,0,100,2)", ErrorCode::Num}));

// A price and its yield are inverses: the yield of the price at 6.5% is 6.5%, on every basis.
TEST(BondArguments, PassErrorsThrough) {
  Book book{{"A1", 40568.0}, {"A2", 40862.0}, {"E2", ErrorCode::Div0}};
  for (const char* formula : {"COUPNUM(A1,E2,2)", "YEARFRAC(E2,A2)", "DAYS360(A1,E2)", "PRICE(A1,A2,0.05,E2,100,2)",
                              "ACCRINT(A1,A2,A2+10,0.1,1000,2,0,E2)", "ODDFPRICE(A1,A2,A1-10,A1+50,0.05,0.05,100,2,E2)",
                              "ODDLYIELD(A1,A2,A1-10,0.05,E2,100,2)", "TBILLYIELD(A1,A1+30,E2)"}) {
    EXPECT_TRUE(sameValue(ErrorCode::Div0, book.eval(formula))) << formula;
  }
}

// Builds NAME(args..., middle, tail) without chained temporaries.
std::string call(const char* name, const char* args, const std::string& middle, const char* tail) {
  std::string text = name;
  text += '(';
  text += args;
  text += middle;
  text += tail;
  return text;
}

// Excel's saved result to its last digit: 318 days at a discount of 10%.
TEST(BondDigits, LongBillPricedOffHundred) {
  Book book;
  EXPECT_DOUBLE_EQ(0.10869554506360148, book.eval("TBILLEQ(45332,45650,0.1)").number());
}

TEST(BondYields, InvertTheirPrices) {
  const char* plain = "DATE(2008,2,15),DATE(2017,11,15),0.0575,";
  const char* odd = "DATE(2008,11,11),DATE(2021,3,1),DATE(2008,10,15),DATE(2009,3,1),0.0785,";
  for (const char* basis : {"0", "1", "2", "3", "4"}) {
    const std::string tail = std::string(",100,2,") + basis;
    const std::string price = call("PRICE", plain, "0.065", (tail + ")").c_str());
    const Value y = Book().eval(call("YIELD", plain, price, (tail + ")").c_str()));
    ASSERT_TRUE(y.isNumber()) << basis;
    EXPECT_NEAR(0.065, y.number(), 1e-12) << basis;
    const std::string oddPrice = call("ODDFPRICE", odd, "0.0625", (tail + ")").c_str());
    const Value oddYield = Book().eval(call("ODDFYIELD", odd, oddPrice, (tail + ")").c_str()));
    ASSERT_TRUE(oddYield.isNumber()) << basis;
    EXPECT_NEAR(0.0625, oddYield.number(), 1e-12) << basis;
  }
}

}  // namespace
}  // namespace calc::testing
