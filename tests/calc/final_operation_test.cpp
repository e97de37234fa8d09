// The final-operation rule for + and - and SUM's last addition.
// Source: Microsoft, "Floating-point arithmetic may give inaccurate results in Excel" (KB78113):
// when the last operation of a formula is an addition or subtraction whose result is at or very
// near zero, Excel compensates for the binary conversion error and gives 0; inside parentheses
// or under a further operation it does not. The threshold (2^-48 of the operands, whole numbers
// exact) is LibreOffice's rtl::math::approxAdd / approxSub.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// Bit for bit: these rules are about a few units in the last place.
::testing::AssertionResult exactly(double expected, const Value& actual) {
  if (actual.isNumber() && actual.number() == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected " << expected << ", got " << show(actual) << " ("
                                       << (actual.isNumber() ? actual.number() : 0.0) << ")";
}

const double kResidue = 0.5 - 0.4 - 0.1;  // -2.78E-17 in plain arithmetic

TEST(FinalOperation, SumThatCancelsIsZero) {
  EXPECT_TRUE(exactly(0, Book().eval("0.5-0.4-0.1")));
  EXPECT_TRUE(exactly(0, Book().eval("0.1+0.2-0.3")));
  EXPECT_TRUE(exactly(0, Book().eval("1.333+1.225-1.333-1.225")));
  EXPECT_TRUE(exactly(0, Book().eval("-0.3+0.1+0.2")));
  EXPECT_TRUE(exactly(0, Book().eval("-0.45+0.43+0.02")));
}

TEST(FinalOperation, AppliesToCellValuesAsTheGraphFeedsThem) {
  Book x{{"A1", 0.1}, {"A2", "0.1"}};
  EXPECT_TRUE(exactly(0, x.eval("A1+0.2-0.3")));
  EXPECT_TRUE(exactly(0, x.eval("A2+0.2-0.3")));  // text operand: the general evaluator
  EXPECT_TRUE(exactly(0, x.eval("0.3-(A1+0.2)")));
}

TEST(FinalOperation, ParenthesesOrAFurtherOperationKeepTheResidue) {
  EXPECT_TRUE(exactly(kResidue, Book().eval("(0.5-0.4-0.1)")));
  EXPECT_TRUE(exactly(kResidue, Book().eval("1*(0.5-0.4-0.1)")));
  EXPECT_TRUE(exactly(-kResidue, Book().eval("-(0.5-0.4-0.1)")));
  EXPECT_TRUE(exactly(kResidue, Book().eval("ABS(0.5-0.4-0.1)*-1")));
  EXPECT_TRUE(exactly(kResidue, Book().eval("0.5-0.4-0.1+0")));  // the last + has nothing to cancel
}

TEST(FinalOperation, RealDifferencesStay) {
  EXPECT_TRUE(exactly(1 - 0.9999999999, Book().eval("1-0.9999999999")));
  EXPECT_TRUE(exactly(0.1 + 0.2, Book().eval("0.1+0.2")));
  EXPECT_TRUE(exactly(2, Book().eval("9000000000000002-9000000000000000")));  // whole numbers are exact
  EXPECT_TRUE(exactly(1, Book().eval("1E15+1-1E15")));
  EXPECT_TRUE(exactly(1e-300, Book().eval("2E-300-1E-300")));
}

TEST(FinalOperation, ErrorsAndTextStillFollowTheOperatorRules) {
  EXPECT_EQ(Value(ErrorCode::Div0), Book().eval("1/0-1"));
  EXPECT_EQ(Value(ErrorCode::Value), Book().eval("\"x\"-1"));
  EXPECT_EQ(Value(ErrorCode::Num), Book().eval("1E308+1E308"));
}

TEST(FinalOperation, SumsLastAdditionFollowsTheSameRule) {
  Book cells{{"A1", 0.5}, {"A2", -0.4}, {"A3", -0.1}, {"B1", 0.1}, {"B2", 0.2}};
  EXPECT_TRUE(exactly(0, cells.eval("SUM(A1:A3)")));
  EXPECT_TRUE(exactly(0, Book().eval("SUM(0.1,0.2,-0.3)")));
  EXPECT_TRUE(exactly(0.1 + 0.2, cells.eval("SUM(B1:B2)")));
  EXPECT_TRUE(exactly(kResidue, Book().eval("SUM((0.5-0.4-0.1))")));  // one value: nothing cancels
}

}  // namespace
}  // namespace calc::testing
