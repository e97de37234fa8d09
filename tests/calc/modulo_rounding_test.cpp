// MOD, INT and the rounding family near a boundary, MULTINOMIAL and LCM at their limits.
// Sources: Microsoft's documentation of MOD (MOD(n, d) = n - d*INT(n/d), sign of d), INT,
// TRUNC, ROUNDUP, ROUNDDOWN, FLOOR, CEILING, MULTINOMIAL and LCM (#NUM! from 2^53 on), the
// results Excel saved in tests/calc/excel-cases (MOD_QUOTIENT), and LibreOffice's
// rtl::math::approxFloor (floor after rounding to 15 significant digits).
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class NearABoundary : public ::testing::TestWithParam<Case> {};

TEST_P(NearABoundary, GivesTheSheetsResult) {
  Book cells{{"A1", 0.3}, {"A2", 0.29}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

// MOD is n - d*INT(n/d) on the stored binary values, taken exactly: the sheet saved
// MOD(5,1E-10) as the true remainder although 5/1E-10 rounds to 5E10.
INSTANTIATE_TEST_SUITE_P(Modulo, NearABoundary, ::testing::Values(
    Case{"MOD(5,1E-10)", 9.9999817839013426e-11},
    Case{"MOD(5,-1E-10)", -1.821609865774887e-16},
    Case{"MOD(10.0000000001,0.1)", 9.999945316252479e-11},
    Case{"MOD(0.5,0.1)", 0.09999999999999998},
    Case{"MOD(10.2,10)", 0.1999999999999993},
    Case{"MOD(-5.3,2)", 0.7000000000000002},
    Case{"MOD(5.3,-2)", -0.7000000000000002},
    Case{"MOD(-6,3)", 0.0},
    Case{"MOD(3,0)", ErrorCode::Div0}));

// INT rounds down the value the sheet shows: 0.29*100 is 28.999999999999996 and shows as 29.
INSTANTIATE_TEST_SUITE_P(WholeParts, NearABoundary, ::testing::Values(
    Case{"INT(0.29*100)", 29.0},
    Case{"INT(A2*100)", 29.0},
    Case{"INT(-A2*100)", -29.0},
    Case{"INT(A1*3*10)", 9.0},
    Case{"INT(2.9999999999)", 2.0},      // a real fraction, ten digits down
    Case{"INT(-0.5)", -1.0},
    Case{"INT(-1E-20)", -1.0},
    Case{"INT(1E-20)", 0.0},
    Case{"INT(1E300)", 1e300},
    Case{"TRUNC(A2*100)", 29.0},
    Case{"TRUNC(A1*3,1)", 0.9},
    Case{"TRUNC(-A1*3,1)", -0.9},
    Case{"ROUNDDOWN(A1*3,1)", 0.9},
    Case{"ROUNDUP(0.1*3,1)", 0.3},
    Case{"FLOOR(A1*3,0.1)", 0.9},
    Case{"CEILING(0.1*3,0.1)", 0.3}));

TEST(Multinomial, IsExactWhileItFitsADouble) {
  EXPECT_EQ(Value(6.0), Book().eval("MULTINOMIAL(2,2)"));
  EXPECT_EQ(Value(60.0), Book().eval("MULTINOMIAL(1,2,3)"));
  EXPECT_EQ(Value(72072.0), Book().eval("MULTINOMIAL({2,5,7})"));
  EXPECT_EQ(Value(1.0), Book().eval("MULTINOMIAL(0,0)"));
  EXPECT_TRUE(sameValue(9.144841845131556e49, Book().eval("MULTINOMIAL(85,85)")));  // C(170,85)
  EXPECT_EQ(Value(ErrorCode::Num), Book().eval("MULTINOMIAL(100,71)"));             // 171! overflows
  EXPECT_EQ(Value(ErrorCode::Num), Book().eval("MULTINOMIAL(-1,2)"));
}

TEST(Lcm, PastTwoToThe53IsAnError) {
  EXPECT_EQ(Value(ErrorCode::Num), Book().eval("LCM(2^31-1,2^30-1)"));
  EXPECT_EQ(Value(ErrorCode::Num), Book().eval("LCM(2^52,3)"));
  EXPECT_EQ(Value(3377699720527872.0), Book().eval("LCM(2^50,3)"));
  EXPECT_EQ(Value(8388608.0), Book().eval("LCM(2^22,2^23)"));
}

}  // namespace
}  // namespace calc::testing
