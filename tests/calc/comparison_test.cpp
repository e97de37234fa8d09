// Comparisons = <> < <= > >= on numbers look at 15 significant digits, the precision the sheet
// keeps and shows. Source: Microsoft, "Floating-point arithmetic may give inaccurate results in
// Excel" (KB78113, 15 digits of precision); the nearby LibreOffice rule is
// rtl::math::approxEqual. A comparison is itself the final operation, so the residue of a
// subtraction inside it is not made 0 first: =0=0.5-0.4-0.1 is FALSE in Excel.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class Comparisons : public ::testing::TestWithParam<Case> {};

TEST_P(Comparisons, LookAtFifteenDigits) {
  Book cells{{"A1", 0.3}, {"A2", 0.1}, {"A3", "abc"}};
  EXPECT_EQ(GetParam().expected, cells.eval(GetParam().formula));
}

INSTANTIATE_TEST_SUITE_P(EqualAtFifteenDigits, Comparisons, ::testing::Values(
    Case{"(A1)*3=0.9", true},
    Case{"0.1+0.2=0.3", true},
    Case{"0.1+0.2<>0.3", false},
    Case{"0.1+0.2>0.3", false},
    Case{"0.1+0.2>=0.3", true},
    Case{"0.3<0.1+0.2", false},
    Case{"0.3<=0.1+0.2", true},
    Case{"-0.1-0.2=-0.3", true},
    Case{"1+1E-15=1", true},
    Case{"1E20+1E4=1E20", true},
    Case{"1E20+1E6=1E20", false},  // the 15th digit
    Case{"A2*3=0.3", true},
    Case{"IF(A1*3=0.9,\"hit\",\"miss\")", "hit"}));

INSTANTIATE_TEST_SUITE_P(DifferentAtFifteenDigits, Comparisons, ::testing::Values(
    Case{"1+1E-14=1", false},
    Case{"1+1E-14>1", true},
    Case{"0=0.5-0.4-0.1", false},  // -2.78E-17 is no 0 at any number of digits
    Case{"1E-300=2E-300", false},
    Case{"-1E-20<1E-20", true},
    Case{"0.123456789012345=0.123456789012346", false},
    Case{"9.99999999999999=10", false}));

INSTANTIATE_TEST_SUITE_P(OtherTypesUnchanged, Comparisons, ::testing::Values(
    Case{"\"a\"=\"A\"", true},
    Case{"A3>1E300", true},  // text sorts after numbers
    Case{"TRUE>A3", true},
    Case{"B9=0", true},      // an empty cell is 0
    Case{"1/0=1", ErrorCode::Div0}));

}  // namespace
}  // namespace calc::testing
