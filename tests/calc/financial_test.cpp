// Annuities, cash flows and depreciation. Sources: Microsoft's documentation of PMT, PV, FV,
// NPER, RATE, IPMT, PPMT, CUMIPMT, CUMPRINC, ISPMT, NPV, IRR, XNPV, XIRR, MIRR, FVSCHEDULE,
// DB, DDB, VDB, SLN, SYD, AMORDEGRC, AMORLINC, EFFECT, NOMINAL, PDURATION, RRI, DOLLARDE and
// DOLLARFR (values from their examples, to the places printed there) and the functions'
// documented domains.
#include <cmath>
#include <cstdio>
#include <string>

#include "workbook_eval.h"

namespace calc::testing {
namespace {

struct Near {
  const char* formula;
  double expected;
  double tolerance;
};

inline void PrintTo(const Near& c, std::ostream* os) { *os << c.formula; }

// Cash flows and dates of the documented examples, for range arguments.
Book flows() {
  return Book{{"A1", -10000.0}, {"A2", 2750.0},  {"A3", 4250.0},  {"A4", 3250.0},  {"A5", 2750.0},
              {"B1", 39448.0},  {"B2", 39508.0}, {"B3", 39751.0}, {"B4", 39859.0}, {"B5", 39904.0},
              {"C1", -70000.0}, {"C2", 12000.0}, {"C3", 15000.0}, {"C4", 18000.0}, {"C5", 21000.0},
              {"C6", 26000.0},  {"D1", 1.0},     {"D2", "x"},     {"D3", true},    {"E2", ErrorCode::NA}};
}

class DocumentedExamples : public ::testing::TestWithParam<Near> {};

TEST_P(DocumentedExamples, AgreeToThePlacesPrinted) {
  Book book = flows();
  const Value v = book.eval(GetParam().formula);
  ASSERT_TRUE(v.isNumber()) << show(v);
  EXPECT_NEAR(GetParam().expected, v.number(), GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(Financial, DocumentedExamples, ::testing::Values(
    Near{"PMT(0.08/12,10,10000)", -1037.032089, 1e-6},
    Near{"PMT(0.06/12,18*12,0,50000)", -129.0811609, 1e-6},
    Near{"PV(0.08/12,12*20,500,,0)", -59777.14585, 1e-5},
    Near{"FV(0.06/12,10,-200,-500,1)", 2581.403374, 1e-6},
    Near{"NPER(0.12/12,-100,-1000,10000,1)", 59.6738657, 1e-7},
    Near{"NPER(0.12/12,-100,-1000,10000)", 60.0821229, 1e-7},
    Near{"RATE(4*12,-200,8000)", 0.00770147248820137, 1e-14},
    Near{"IPMT(0.1/12,1,3*12,8000)", -66.66666667, 1e-8},
    Near{"PPMT(0.1/12,1,2*12,2000)", -75.62318601, 1e-8},
    Near{"CUMIPMT(0.09/12,30*12,125000,13,24,0)", -11135.23213, 1e-5},
    Near{"CUMPRINC(0.09/12,30*12,125000,13,24,0)", -934.1071234, 1e-6},
    Near{"ISPMT(0.1/12,1,3*12,8000000)", -64814.81481, 1e-5},
    Near{"NPV(0.1,-10000,3000,4200,6800)", 1188.443412, 1e-6},
    Near{"IRR(C1:C5)", -0.021244848, 1e-9},
    Near{"IRR(C1:C6)", 0.086630948, 1e-9},
    Near{"IRR(C1:C3,-0.1)", -0.443506941, 1e-9},
    Near{"XNPV(0.09,A1:A5,B1:B5)", 2086.647602, 1e-6},
    Near{"XIRR(A1:A5,B1:B5)", 0.373362535, 1e-8},
    Near{"MIRR({-120000,39000,30000,21000,37000,46000},0.1,0.12)", 0.126094, 1e-6},
    Near{"FVSCHEDULE(1,{0.09,0.11,0.1})", 1.33089, 1e-12},
    Near{"DB(1000000,100000,6,1,7)", 186083.33, 1e-2},
    Near{"DB(1000000,100000,6,2,7)", 259639.42, 1e-2},
    Near{"DB(1000000,100000,6,7,7)", 15845.10, 1e-2},
    Near{"DDB(2400,300,10*365,1)", 1.32, 1e-2},
    Near{"DDB(2400,300,10,1,2)", 480, 1e-9},
    Near{"DDB(2400,300,10,10)", 22.12, 1e-2},
    Near{"VDB(2400,300,10*365,0,1)", 1.32, 1e-2},
    Near{"VDB(2400,300,10*12,0,1)", 40, 1e-9},
    Near{"VDB(2400,300,10,0,1)", 480, 1e-9},
    Near{"VDB(2400,300,10*12,6,18)", 396.31, 1e-2},
    Near{"VDB(2400,300,10*12,6,18,1.5)", 311.81, 1e-2},
    Near{"VDB(2400,300,10,0,0.875,1.5)", 315, 1e-9},
    Near{"SLN(30000,7500,10)", 2250, 1e-9},
    Near{"SYD(30000,7500,10,1)", 4090.909091, 1e-6},
    Near{"SYD(30000,7500,10,10)", 409.0909091, 1e-7},
    Near{"AMORDEGRC(2400,39679,39813,300,1,0.15,1)", 776, 1e-9},
    Near{"AMORLINC(2400,39679,39813,300,1,0.15,1)", 360, 1e-9},
    Near{"EFFECT(0.0525,4)", 0.053542667, 1e-9},
    Near{"NOMINAL(0.053543,4)", 0.052500319, 1e-9},
    Near{"_xlfn.PDURATION(0.025,2000,2200)", 3.859866163, 1e-9},
    Near{"_xlfn.RRI(96,10000,11000)", 0.000993, 1e-6},
    Near{"DOLLARDE(1.02,16)", 1.125, 1e-12},
    Near{"DOLLARDE(1.1,32)", 1.3125, 1e-12},
    Near{"DOLLARFR(1.125,16)", 1.02, 1e-12},
    Near{"DOLLARFR(1.125,32)", 1.04, 1e-12}));

// Results that follow from the definitions alone, so they hold to the last digit.
class ExactResults : public ::testing::TestWithParam<Case> {};

TEST_P(ExactResults, GiveExcelsResult) {
  Book book = flows();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Financial, ExactResults, ::testing::Values(
    // At a zero rate money does not grow: the payments are the balance shared out.
    Case{"PMT(0,10,1000)", -100.0},
    Case{"PV(0,10,-100,-50)", 1050.0},
    Case{"FV(0,10,-100,-50)", 1050.0},
    Case{"NPER(0,-100,1000)", 10.0},
    Case{"IPMT(0,4,20,300)", 0.0},
    Case{"PPMT(0,4,20,300,0,1)", -15.0},
    // Paying at the start of the period: the first payment carries no interest.
    Case{"IPMT(0.1,1,3,8000,0,1)", 0.0},
    Case{"FV(-3,5,100,300,1)", 11800.0},   // negative growth factors are powers too
    Case{"NPV(0.1,D1:D3)", 1 / 1.1},       // text and booleans in a range are skipped
    Case{"NPV(0.1,1,\"2\",TRUE)", 1 / 1.1 + 2 / 1.21 + 1 / 1.331},
    Case{"MIRR({-5,4},-1,0.2)", -0.2},     // a finance rate of -1 discounts only the first flow
    Case{"MIRR({-6,-1,-2},0.1,0.2)", -1.0},
    Case{"FVSCHEDULE(100,{0.1,0,\"0.1\"})", 121.00000000000001},
    Case{"DOLLARDE(-1.02,16)", -1.125},
    Case{"DOLLARDE(1.5,1)", 1.5},
    Case{"SLN(100,10,0.5)", 180.0},
    Case{"DB(0,0,5,1)", 0.0},
    Case{"DDB(1000,100,2,1,4)", 900.0},      // a factor past the life stops at salvage
    Case{"ISPMT(0.1,0,10,1000)", -100.0}));

// Excel's saved results (tests/calc/excel-cases), pinned to their last digits: these follow
// the order in which Excel rounds, which the documented formulas leave open.
TEST(ExcelsDigits, MirrGrowsTheDiscountedGainsOverTheWholeTerm) {
  Book book = flows();
  EXPECT_DOUBLE_EQ(-0.021982498845402487, book.eval("MIRR({-20,5,5,0,-10,5},0.1,0.2)").number());
  EXPECT_DOUBLE_EQ(0.17413231959305042, book.eval("MIRR({-20,8,5,5,6,5},0.1,0.2)").number());
  EXPECT_DOUBLE_EQ(0.07517526307904077, book.eval("MIRR({-135,30,20,30,20,30},0.1,0.2)").number());
  // A reinvestment rate of -1 keeps only the last gain: (8/10)^(1/2) - 1.
  EXPECT_NEAR(std::sqrt(0.8) - 1, book.eval("MIRR({-10,5,8},0.1,-1)").number(), 1e-15);
}

// NPV at the rates Excel's IRR saved for these flows: what is left is rounding, and it is
// Excel's only when each period's growth is multiplied on, not raised to its power.
TEST(ExcelsDigits, NpvDiscountsByAGrowthBuiltUpPeriodByPeriod) {
  Book book = flows();
  EXPECT_DOUBLE_EQ(6.4212018552224666e-12, book.eval("NPV(0.07930826116039724,-20,5,5,5,5,5)").number());
  EXPECT_DOUBLE_EQ(-5.980779825246144e-14, book.eval("NPV(-0.1386683702156325,{40,-5,-5,-5,-5,-5})").number());
  EXPECT_DOUBLE_EQ(-5.052556088856765e-13, book.eval("NPV(-0.33903735073070584,{-30,-20,-10,5,5,5})").number());
}

TEST(ExcelsDigits, PrincipalOfAPaymentCancelsAsExcelsDoes) {
  Book book = flows();
  EXPECT_DOUBLE_EQ(-0.542073667720037, book.eval("PPMT(0.3,5,36,8000)").number());
}

// Domain errors: each as Excel reports it.
class DomainErrors : public ::testing::TestWithParam<Case> {};

TEST_P(DomainErrors, GiveExcelsError) {
  Book book = flows();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Financial, DomainErrors, ::testing::Values(
    Case{"PMT(0.1,0,1000)", ErrorCode::Num},
    Case{"PMT(-3,5,100,300,1)", ErrorCode::Num},
    Case{"PMT(-1,1,-100)", ErrorCode::Num},  // nothing is left to pay back at -100%
    Case{"FV(-1,-2,1)", ErrorCode::Div0},
    Case{"NPER(0,0,1000)", ErrorCode::Num},
    Case{"NPER(0.1,100,-1000,2000)", ErrorCode::Num},  // the balance never comes down
    Case{"RATE(0,-100,1000)", ErrorCode::Num},
    Case{"RATE(10,100,1000,1000)", ErrorCode::Num},  // no rate balances money that only comes in
    Case{"IPMT(0.1,0,36,8000)", ErrorCode::Num},
    Case{"IPMT(0.1,4,3,8000)", ErrorCode::Num},
    Case{"PPMT(0.1,-3,36,8000)", ErrorCode::Num},
    Case{"CUMIPMT(0,36,8000,1,2,0)", ErrorCode::Num},
    Case{"CUMIPMT(0.01,36,8000,5.1,5,1)", ErrorCode::Num},
    Case{"CUMIPMT(0.01,36,8000,3,10,0.7)", ErrorCode::Num},  // the type is 0 or 1 exactly
    Case{"CUMPRINC(0.01,36,8000,3,40,0)", ErrorCode::Num},
    Case{"CUMPRINC(0.01,36,8000,1,2,TRUE)", ErrorCode::Value},  // no booleans for these
    Case{"ISPMT(0.1,1,0,1000)", ErrorCode::Div0},
    Case{"NPV(-1,100,100)", ErrorCode::Div0},
    Case{"NPV(0.1,A1,E2)", ErrorCode::NA},
    Case{"IRR({1,2,3})", ErrorCode::Num},            // no sign change
    Case{"IRR(C1:C5,-1)", ErrorCode::Value},
    Case{"XNPV(-0.3,A1:A5,B1:B5)", ErrorCode::Num},
    Case{"XNPV(0.1,A1:A4,B1:B5)", ErrorCode::Num},   // values and dates differ in number
    Case{"XNPV(0.1,A1:A5,{39448,39300,39751,39859,39904})", ErrorCode::Num},  // a date before the first
    Case{"XIRR({1,2},{39448,39508})", ErrorCode::Num},
    Case{"XNPV(0.1,{-20,8,TRUE},{44958,44986,45017})", ErrorCode::Num},   // a boolean among the values
    Case{"XIRR({-20,8,TRUE},{44958,44986,45017})", ErrorCode::Value},
    // Flows a day apart that only a rate of -1 + 1e-75 balances: no double gets there.
    Case{"XIRR({-1000,230,200,125,200,10},{1,2,3,4,5,6})", ErrorCode::Num},
    Case{"MIRR({1,2,3},0.1,0.1)", ErrorCode::Div0},
    Case{"FVSCHEDULE(1,{0.1,\"x\"})", ErrorCode::Value},
    Case{"DB(1000,100,5,7)", ErrorCode::Num},
    Case{"DB(1000,100,5,1,13)", ErrorCode::Num},
    Case{"DDB(1000,100,5,6)", ErrorCode::Num},
    Case{"VDB(1000,100,5,3,2)", ErrorCode::Num},
    Case{"SLN(100,10,0)", ErrorCode::Div0},
    Case{"SYD(100,10,5,6)", ErrorCode::Num},
    Case{"AMORLINC(2400,39679,39813,300,1,0.15,2)", ErrorCode::Num},
    Case{"AMORDEGRC(2400,39813,39679,300,1,0.15,1)", ErrorCode::Num},
    Case{"EFFECT(0,4)", ErrorCode::Num},
    Case{"EFFECT(0.05,0.9)", ErrorCode::Num},
    Case{"EFFECT(0.05,TRUE)", ErrorCode::Value},
    Case{"NOMINAL(0.05,)", ErrorCode::NA},            // left out is #N/A to these
    Case{"_xlfn.PDURATION(0,1,2)", ErrorCode::Num},
    Case{"_xlfn.RRI(0,1,2)", ErrorCode::Num},
    Case{"DOLLARDE(1.02,-1)", ErrorCode::Num},
    Case{"DOLLARDE(1.02,0.5)", ErrorCode::Div0},
    Case{"DOLLARFR(1.02,\"x\")", ErrorCode::Value}));

// RATE and IRR agree with the cash flows they solve: the balance at the rate found is zero.
TEST(RateSolvers, BalanceTheCashFlows) {
  Book book = flows();
  const Value rate = book.eval("RATE(360,-1000,150000,0,1)");
  ASSERT_TRUE(rate.isNumber());
  const Value balance = book.eval("FV(RATE(360,-1000,150000,0,1),360,-1000,150000,1)");
  ASSERT_TRUE(balance.isNumber());
  EXPECT_NEAR(0.0, balance.number(), 1e-6);
  const Value npv = book.eval("NPV(IRR(C1:C6),C2:C6)+C1");
  ASSERT_TRUE(npv.isNumber());
  EXPECT_NEAR(0.0, npv.number(), 1e-8);
  const Value xnpv = book.eval("XNPV(XIRR(A1:A5,B1:B5),A1:A5,B1:B5)");
  ASSERT_TRUE(xnpv.isNumber());
  EXPECT_NEAR(0.0, xnpv.number(), 1e-8);
}

// Over the whole life every method writes off exactly cost less salvage.
TEST(Depreciation, WritesOffCostLessSalvageOverTheLife) {
  Book book;
  for (const char* formula : {"VDB(2400,300,10,0,10)", "VDB(2400,300,10,0,10,2,TRUE)",
                              "VDB(2400,300,10,0,10,1.5)", "SYD(2400,300,10,1)+SYD(2400,300,10,2)+"
                              "SYD(2400,300,10,3)+SYD(2400,300,10,4)+SYD(2400,300,10,5)+SYD(2400,300,10,6)+"
                              "SYD(2400,300,10,7)+SYD(2400,300,10,8)+SYD(2400,300,10,9)+SYD(2400,300,10,10)"}) {
    const Value v = book.eval(formula);
    ASSERT_TRUE(v.isNumber()) << formula;
    EXPECT_NEAR(2100.0, v.number(), 1e-9) << formula;
  }
  std::string linear;
  for (int period = 0; period <= 8; ++period) {
    if (period > 0) linear += '+';
    linear += "AMORLINC(2400,39679,39813,300,";
    linear += std::to_string(period);
    linear += ",0.15,1)";
  }
  const Value total = book.eval(linear);
  ASSERT_TRUE(total.isNumber());
  EXPECT_NEAR(2100.0, total.number(), 1e-9);
  // VDB over parts of periods adds up to the whole.
  const Value parts = book.eval("VDB(2400,300,10,0,2.5)+VDB(2400,300,10,2.5,7.25)+VDB(2400,300,10,7.25,10)");
  ASSERT_TRUE(parts.isNumber());
  EXPECT_NEAR(2100.0, parts.number(), 1e-9);
}

// Errors in any argument come back unchanged.
TEST(FinancialArguments, PassErrorsThrough) {
  Book book = flows();
  for (const char* formula : {"PMT(E2,10,1000)", "RATE(10,-100,E2)", "CUMIPMT(0.1,10,1000,1,E2,0)",
                              "DB(1000,100,E2,1)", "VDB(1000,100,5,0,E2)", "XNPV(E2,A1:A5,B1:B5)",
                              "IRR(C1:C5,E2)", "MIRR(C1:C6,E2,0.1)", "EFFECT(E2,4)"}) {
    EXPECT_TRUE(sameValue(ErrorCode::NA, book.eval(formula))) << formula;
  }
}

// Very long schedules are summed in closed form: the same result as period by period, and
// no formula walks a billion periods.
TEST(LongSchedules, AgreeWithThePeriodByPeriodSums) {
  Book book;
  for (const char* pair : {"CUMPRINC(0.0001,300000,1000,1,300000,0)|-1000",
                           "CUMPRINC(0.0001,300000,1000,1,300000,1)|-1000",
                           "CUMPRINC(0.0001,300000,1000,5,200006,1)-CUMPRINC(0.0001,300000,1000,5,6,1)"
                           "-CUMPRINC(0.0001,300000,1000,7,200006,1)|0",
                           "CUMIPMT(0.0001,300000,1000,1,300000,0)-PMT(0.0001,300000,1000)*300000|1000",
                           "DB(1000000,1,2000000,1500000)-DB(1000000,1,2000000,1499999)*(1-0.000007)|0",
                           "AMORDEGRC(1,39679,39813,0,1000000000,0.01,1)|0"}) {
    const std::string text = pair;
    const std::size_t bar = text.find('|');
    const Value v = book.eval(text.substr(0, bar));
    ASSERT_TRUE(v.isNumber()) << text << ": " << show(v);
    EXPECT_NEAR(std::stod(text.substr(bar + 1)), v.number(), 1e-6) << text;
  }
  EXPECT_TRUE(sameValue(ErrorCode::Num, book.eval("VDB(1000,1,1E9,0,1E9)")));
}

// The interest of a late period cancels most of the balance away: the digits that remain are the
// exact ones (computed to 50 digits), and interest and principal still add up to the payment.
TEST(PaymentSplit, KeepsTheDigitsThatCancellationLeaves) {
  Book book;
  for (const Near& c : {Near{"IPMT(0.7,10,36,8000)", -5599.99667042036, 0},
                        Near{"IPMT(0.7,10,36,8000,0,1)", -3294.115688482565, 0},
                        Near{"IPMT(0.01,34,36,8000)", -7.814623506250729, 0}}) {
    const Value v = book.eval(c.formula);
    ASSERT_TRUE(v.isNumber()) << c.formula;
    EXPECT_DOUBLE_EQ(c.expected, v.number()) << c.formula;  // within 4 units in the last place
  }
  const Value sum = book.eval("IPMT(0.8,10,36,18000)+PPMT(0.8,10,36,18000)-PMT(0.8,36,18000)");
  ASSERT_TRUE(sum.isNumber());
  EXPECT_NEAR(0.0, sum.number(), 1e-9);
}

// EFFECT's growth over a year shows Excel's rounding in its 15 digits: the plain power gives
// 0.5 where Excel shows 0.500000000000001.
TEST(RateConversions, EffectShowsExcelsFifteenDigits) {
  Book book;
  const auto fifteenDigits = [](double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", x);
    return std::string(text);
  };
  for (const Near& c : {Near{"EFFECT(0.4137974399241062,10)", 0.5000000000000013, 0},
                        Near{"EFFECT(2.5811667464954122,7)", 8.000000000000005, 0}}) {
    const Value v = book.eval(c.formula);
    ASSERT_TRUE(v.isNumber()) << c.formula << ": " << show(v);
    EXPECT_EQ(fifteenDigits(c.expected), fifteenDigits(v.number())) << c.formula;
  }
}

// A root far below zero is still found from the default guess.
TEST(RateSolvers, FindNegativeRates) {
  Book book;
  const Value irr = book.eval("IRR({-400,1,1,1,1,1})");
  ASSERT_TRUE(irr.isNumber()) << show(irr);
  EXPECT_NEAR(-0.67373667518, irr.number(), 1e-10);
}

}  // namespace
}  // namespace calc::testing
