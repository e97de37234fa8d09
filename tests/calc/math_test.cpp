// Roman numerals, number bases, permutations, RANDBETWEEN, SUBTOTAL and AGGREGATE. Sources:
// Microsoft's documentation of ROMAN (its five forms of 499), ARABIC, BASE, DECIMAL, PERMUT,
// PERMUTATIONA, RANDBETWEEN, SUBTOTAL and AGGREGATE.
#include <string>

#include "core/workbook_model.h"
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class MathFunctions : public ::testing::TestWithParam<Case> {};

TEST_P(MathFunctions, GiveExcelsResult) {
  Book cells{{"A1", 499.0}, {"A2", "mcmxc"}, {"A3", true}, {"A4", "2"}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(RomanNumerals, MathFunctions, ::testing::Values(
    Case{"ROMAN(A1)", "CDXCIX"},
    Case{"ROMAN(A1,1)", "LDVLIV"},
    Case{"ROMAN(A1,2)", "XDIX"},
    Case{"ROMAN(A1,3)", "VDIV"},
    Case{"ROMAN(A1,4)", "ID"},
    Case{"ROMAN(A1,TRUE)", "CDXCIX"},   // TRUE is the classic form
    Case{"ROMAN(A1,FALSE)", "ID"},      // FALSE the simplest
    Case{"ROMAN(A1,A4)", "XDIX"},       // a form given as text is read as a number
    Case{"ROMAN(A1,4.9)", "ID"},
    Case{"ROMAN(A1,5)", ErrorCode::Value},
    Case{"ROMAN(A1,-1)", ErrorCode::Value},
    Case{"ROMAN(A1,\"x\")", ErrorCode::Value},
    Case{"ROMAN(0)", ""},
    Case{"ROMAN(0.9)", ""},
    Case{"ROMAN(3999.99)", "MMMCMXCIX"},
    Case{"ROMAN(4000)", ErrorCode::Value},
    Case{"ROMAN(-1)", ErrorCode::Value},
    Case{"ROMAN(1/0)", ErrorCode::Div0},
    Case{"ROMAN(1999,1)", "MLMVLIV"},
    Case{"ROMAN(1999,4)", "MIM"},
    Case{"_xlfn.ARABIC(A2)", 1990.0},   // any case
    Case{"ARABIC(\"-MMXI\")", -2011.0},
    Case{"ARABIC(\" XIV \")", 14.0},
    Case{"ARABIC(\"IIII\")", 4.0},      // read by the subtraction rule, not validated
    Case{"ARABIC(\"IM\")", 999.0},
    Case{"ARABIC(\"\")", 0.0},
    Case{"ARABIC(\"XIIA\")", ErrorCode::Value},
    Case{"ARABIC(10)", ErrorCode::Value},
    Case{"ARABIC(A3)", ErrorCode::Value},
    Case{"ARABIC(REPT(\"I\",256))", ErrorCode::Value},
    Case{"ARABIC(NA())", ErrorCode::NA}));

INSTANTIATE_TEST_SUITE_P(Bases, MathFunctions, ::testing::Values(
    Case{"BASE(255,16)", "FF"},
    Case{"BASE(7,2,8)", "00000111"},
    Case{"BASE(0,2)", "0"},
    Case{"BASE(35.9,36)", "Z"},
    Case{"BASE(-1,2)", ErrorCode::Num},
    Case{"BASE(10,1)", ErrorCode::Num},
    Case{"BASE(10,37)", ErrorCode::Num},
    Case{"BASE(10,2,256)", ErrorCode::Num},
    Case{"BASE(2^53,2)", ErrorCode::Num},
    Case{"BASE(2^53-1,36)", "2GOSA7PA2GV"},
    Case{"DECIMAL(\"ff\",16)", 255.0},
    Case{"DECIMAL(\"zap\",36)", 45745.0},
    Case{"DECIMAL(111,2)", 7.0},         // a number is read as its digits
    Case{"DECIMAL(\"12\",2)", ErrorCode::Num},
    Case{"DECIMAL(\"1\",37)", ErrorCode::Num},
    Case{"DECIMAL(\"1-\",10)", ErrorCode::Num},
    Case{"DECIMAL(TRUE,10)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(Permutations, MathFunctions, ::testing::Values(
    Case{"PERMUT(100,3)", 970200.0},
    Case{"PERMUT(5.9,2.9)", 20.0},        // both truncated
    Case{"PERMUT(3,0)", 1.0},
    Case{"PERMUT(2,3)", ErrorCode::Num},
    Case{"PERMUT(-1,0)", ErrorCode::Num},
    Case{"PERMUT(1000,500)", ErrorCode::Num},
    Case{"PERMUTATIONA(3,2)", 9.0},
    Case{"PERMUTATIONA(2,2.9)", 4.0},
    Case{"PERMUTATIONA(0,0)", 1.0},
    Case{"PERMUTATIONA(-1,2)", ErrorCode::Num},
    Case{"RANDBETWEEN(5,5)", 5.0},
    Case{"RANDBETWEEN(1.5,2.5)", 2.0},    // the whole numbers between the bounds
    Case{"RANDBETWEEN(6,5)", ErrorCode::Num},
    Case{"RANDBETWEEN(1.2,1.8)", ErrorCode::Num},
    Case{"RANDBETWEEN(\"a\",5)", ErrorCode::Value},
    Case{"ACOTH(1.0000000001)", 11.859499013905017},  // no digits lost next to 1
    Case{"ACOTH(-1.0000000001)", -11.859499013905017},
    Case{"ACOTH(9999999999999)", 1.0000000000001e-13},  // nor for large x
    Case{"ACOTH(-1)", ErrorCode::Num}));

// Circular functions reduce by the sheet's 64-bit pi/2, whose excess shows next to its multiples.
INSTANTIATE_TEST_SUITE_P(Circular, MathFunctions, ::testing::Values(
    Case{"SIN(PI())", 1.22514845490862e-16},
    Case{"TAN(PI())", -1.22514845490862e-16},
    Case{"COS(PI()/2)", 6.1257422745431001e-17},
    Case{"SIN(-PI())", -1.22514845490862e-16},
    Case{"COS(3*PI()/2)", -1.8377226823629300e-16},
    Case{"SIN(1)", 0.8414709848078965},
    Case{"COS(0)", 1.0},
    Case{"SIN(2^27-1)", -0.9559933287726706},
    Case{"SIN(2^27)", ErrorCode::Num},
    Case{"COT(0)", ErrorCode::Div0}));

// Every number in every form reads back as itself.
// GCD and LCM read the empty cells of a range of several cells as 0, but skip an empty cell
// named alone; nothing but empty cells named alone is #VALUE!.
TEST(Divisors, EmptyCellsInRangesCountAsZero) {
  Book cells{{"A1", 6.0}, {"A2", 4.0}, {"B1", 5.0}};
  EXPECT_TRUE(sameValue(2.0, cells.eval("GCD(A1:A3)")));      // gcd(6, 4, 0)
  EXPECT_TRUE(sameValue(0.0, cells.eval("LCM(A1:A3)")));
  EXPECT_TRUE(sameValue(12.0, cells.eval("LCM(A1,A2,A3)")));  // A3 alone: skipped
  EXPECT_TRUE(sameValue(2.0, cells.eval("GCD(A1,A2,A3)")));
  EXPECT_TRUE(sameValue(12.0, cells.eval("LCM(A3:A3,A1:A2)")));  // a range of one cell is one cell
  EXPECT_TRUE(sameValue(5.0, cells.eval("GCD(A3:B3,B1)")));    // gcd(0, 0, 5)
  EXPECT_TRUE(sameValue(0.0, cells.eval("GCD(C1:C5)")));       // all empty, yet a range
  EXPECT_TRUE(sameValue(0.0, cells.eval("LCM(C1:C5)")));
  EXPECT_TRUE(sameValue(ErrorCode::Value, cells.eval("GCD(C1,C2)")));
  EXPECT_TRUE(sameValue(ErrorCode::Value, cells.eval("LCM(C1)")));
}

TEST(RomanNumerals, ReadBackInEveryForm) {
  Book cells;
  for (int form = 0; form <= 4; ++form)
    for (int n = 1; n < 4000; n += 7) {
      const std::string formula = "ARABIC(ROMAN(" + std::to_string(n) + "," + std::to_string(form) + "))";
      ASSERT_TRUE(sameValue(static_cast<double>(n), cells.eval(formula))) << formula;
    }
}

TEST(RandBetween, StaysWithinItsBounds) {
  Book cells;
  for (int draw = 0; draw < 200; ++draw) {
    const Value v = cells.eval("RANDBETWEEN(-3,4)+0*" + std::to_string(draw));
    ASSERT_TRUE(v.isNumber());
    EXPECT_GE(v.number(), -3);
    EXPECT_LE(v.number(), 4);
    EXPECT_EQ(v.number(), std::trunc(v.number()));
  }
}

// Cells that hold formulas, for SUBTOTAL's leaving out of nested subtotals.
class FormulaSheet {
 public:
  FormulaSheet() : model_(1, core::seededRandomSource(1)), sheet_(model_.at(1)) {}
  void set(std::int64_t row, std::int64_t column, const std::string& text) {
    if (text.starts_with("=") || text == "x") model_.setText(*sheet_, row, column, text);
    else model_.setNumber(*sheet_, row, column, std::stod(text));
  }
  Value eval(const std::string& formula) {
    model_.setText(*sheet_, 100, 10, "=" + formula);
    return model_.value(*sheet_, 100, 10);
  }

 private:
  core::WorkbookModel model_;
  std::shared_ptr<core::SheetNode> sheet_;
};

class Subtotals : public ::testing::TestWithParam<Case> {};

// A1:A6 = 1, 2, =SUBTOTAL(9,A1:A2), 4, =1/0, =AGGREGATE(9,0,A1:A2); B1:B3 = 5, "x", 7.
TEST_P(Subtotals, LeaveOutNestedSubtotals) {
  FormulaSheet sheet;
  for (const auto& [row, text] : {std::pair{1, "1"}, {2, "2"}, {3, "=SUBTOTAL(9,A1:A2)"}, {4, "4"},
                                  {5, "=1/0"}, {6, "=_xlfn.AGGREGATE(9,0,A1:A2)"}})
    sheet.set(row, 1, text);
  sheet.set(1, 2, "5");
  sheet.set(2, 2, "x");
  sheet.set(3, 2, "7");
  EXPECT_TRUE(sameValue(GetParam().expected, sheet.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(ByNumber, Subtotals, ::testing::Values(
    Case{"SUBTOTAL(9,A1:A4)", 7.0},
    Case{"SUBTOTAL(109,A1:A4)", 7.0},
    Case{"SUBTOTAL(9,A1:A4,B1:B3)", 19.0},
    Case{"SUBTOTAL(1,B1:B3)", 6.0},
    Case{"SUBTOTAL(2,B1:B3)", 2.0},
    Case{"SUBTOTAL(3,B1:B3)", 3.0},
    Case{"SUBTOTAL(4,A1:A4)", 4.0},
    Case{"SUBTOTAL(6,A1:A4)", 8.0},
    Case{"SUBTOTAL(10,B1:B3)", 2.0},
    Case{"SUBTOTAL(9,A1:A5)", ErrorCode::Div0},
    Case{"SUBTOTAL(12,A1:A4)", ErrorCode::Value},
    Case{"SUBTOTAL(0,A1:A4)", ErrorCode::Value},
    Case{"AGGREGATE(9,0,A1:A6)", ErrorCode::Div0},
    Case{"AGGREGATE(9,6,A1:A6)", 13.0},        // errors left out, nested ones counted
    Case{"AGGREGATE(9,7,A1:A6)", 13.0},
    Case{"AGGREGATE(9,3,A1:A6)", 7.0},         // both left out
    Case{"AGGREGATE(4,6,A1:A6)", 4.0},
    Case{"AGGREGATE(12,3,A1:A6)", 2.0},        // MEDIAN of 1, 2, 4
    Case{"AGGREGATE(14,3,A1:A6,2)", 2.0},      // LARGE
    Case{"AGGREGATE(15,6,A1:A6,4)", 3.0},      // SMALL over 1, 2, 3, 4, 3
    Case{"AGGREGATE(15,6,A1:A6,9)", ErrorCode::Num},
    Case{"AGGREGATE(14,3,A1:A6)", ErrorCode::Value},
    Case{"AGGREGATE(14,4,{3,1,2},1)", 3.0},
    Case{"AGGREGATE(20,0,A1:A4)", ErrorCode::Value},
    Case{"AGGREGATE(9,8,A1:A4)", ErrorCode::Value}));

}  // namespace
}  // namespace calc::testing
