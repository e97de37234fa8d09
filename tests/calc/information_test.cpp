// TYPE, ISREF, ISODD, ISEVEN, CELL, INFO, SHEET, SHEETS, FORMULATEXT and ISFORMULA: what a
// formula can learn about values, cells and the workbook without looking outside it.
#include "lookup_workbook.h"
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1 a number, A2 a text, A3 TRUE, A4 an error, A5 empty; B7 a number. The formula is in Z1000.
Book informationData() {
  return Book{{"A1", 3.0}, {"A2", "text"}, {"A3", true}, {"A4", ErrorCode::Num}, {"B7", 2.5}};
}

class Information : public ::testing::TestWithParam<Case> {};

TEST_P(Information, GivesExcelsResult) {
  Book book = informationData();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula))) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(Parity, Information, ::testing::Values(
    Case{"ISODD(3)", true},
    Case{"ISEVEN(3)", false},
    Case{"ISODD(-3.7)", true},                    // the whole part counts
    Case{"ISEVEN(2.9)", true},
    Case{"ISEVEN(0)", true},
    Case{"ISEVEN(A5)", true},                     // empty is 0
    Case{"ISODD(\"3\")", true},                   // numeric text is read
    Case{"ISODD(\"x\")", ErrorCode::Value},
    Case{"ISEVEN(TRUE)", ErrorCode::Value},       // truth values are refused
    Case{"ISEVEN(A3)", ErrorCode::Value},
    Case{"ISODD(A4)", ErrorCode::Num},
    Case{"ISODD(1E300)", false}));

INSTANTIATE_TEST_SUITE_P(TypeAndRef, Information, ::testing::Values(
    Case{"TYPE(A1)", 1.0},
    Case{"TYPE(A5)", 1.0},                        // an empty cell reads as a number
    Case{"TYPE(A2)", 2.0},
    Case{"TYPE(A3)", 4.0},
    Case{"TYPE(A4)", 16.0},
    Case{"TYPE(1/0)", 16.0},
    Case{"TYPE({1,2})", 64.0},
    Case{"TYPE(A1:A2)", 64.0},
    Case{"ISREF(A1)", true},
    Case{"ISREF(A1:B2)", true},
    Case{"ISREF(OFFSET(A1,1,1))", true},
    Case{"ISREF(INDIRECT(\"A1\"))", true},
    Case{"ISREF(INDEX(A1:A3,2))", true},
    Case{"ISREF(1)", false},
    Case{"ISREF(\"A1\")", false},
    Case{"ISREF(INDIRECT(\"nothing\"))", false}));  // #REF! is no reference

INSTANTIATE_TEST_SUITE_P(Cell, Information, ::testing::Values(
    Case{"CELL(\"row\",B7)", 7.0},
    Case{"CELL(\"col\",B7)", 2.0},
    Case{"CELL(\"ROW\",B7:C9)", 7.0},             // the top left of a range, any case
    Case{"CELL(\"address\",B7)", "$B$7"},
    Case{"CELL(\"address\",Data!B7)", "$B$7"},    // the formula's own sheet goes unnamed
    Case{"CELL(\"contents\",B7)", 2.5},
    Case{"CELL(\"contents\",A4)", ErrorCode::Num},
    Case{"CELL(\"type\",A1)", "v"},
    Case{"CELL(\"type\",A2)", "l"},
    Case{"CELL(\"type\",A5)", "b"},
    Case{"CELL(\"type\",A4)", "v"},
    Case{"CELL(\"row\")", 1000.0},                // no reference: the formula's own cell
    Case{"CELL(\"filename\",A1)", ""},            // a workbook never saved
    Case{"CELL(\"width\",A1)", 8.0},
    Case{"CELL(\"format\",A1)", "G"},
    Case{"CELL(\"bogus\",A1)", ErrorCode::Value},
    Case{"CELL(\"\")", ErrorCode::Value},
    Case{"CELL(2,A1)", ErrorCode::Value},
    Case{"CELL(\"row\",5)", ErrorCode::Value},
    Case{"CELL(1/0,A1)", ErrorCode::Div0},
    Case{"_xlfn.SINGLE(A1:A2)", ErrorCode::Value},  // Z1000 meets neither row
    Case{"SINGLE({7,8})", 7.0},
    Case{"INFO(\"recalc\")", "Automatic"},
    Case{"INFO(\"bogus\")", ErrorCode::Value}));

TEST(Information, SheetsAndFormulasOfTheWorkbook) {
  TwoSheetBook book;
  book.set(1, "A1", "=SUM(1,2)");
  book.set(1, "A2", "=_xlfn.XLOOKUP(1,{1},{\"_xlfn.\"})");
  book.set(1, "A3", 12.0);
  EXPECT_TRUE(sameValue(1.0, book.eval("SHEET()")));
  EXPECT_TRUE(sameValue(2.0, book.eval("SHEET('Other sheet'!A1)")));
  EXPECT_TRUE(sameValue(2.0, book.eval("SHEET(\"other sheet\")")));
  EXPECT_TRUE(sameValue(ErrorCode::NA, book.eval("SHEET(\"Nowhere\")")));
  EXPECT_TRUE(sameValue(ErrorCode::NA, book.eval("SHEET(0)")));
  EXPECT_TRUE(sameValue(2.0, book.eval("SHEETS()")));
  EXPECT_TRUE(sameValue(1.0, book.eval("SHEETS(A1:B2)")));
  EXPECT_TRUE(sameValue("=SUM(1,2)", book.eval("FORMULATEXT(A1)")));
  // The file's prefix is not shown, but a text that holds it is kept.
  EXPECT_TRUE(sameValue("=XLOOKUP(1,{1},{\"_xlfn.\"})", book.eval("FORMULATEXT(A2)")));
  // So are the prefixes of the names LET and LAMBDA bind; an optional parameter shows in brackets.
  book.set(1, "B5", "=_xlfn.LAMBDA(_xlpm.a,_xlop.b,_xlpm.a+1)(2)");
  EXPECT_TRUE(sameValue("=LAMBDA(a,[b],a+1)(2)", book.eval("FORMULATEXT(B5)")));
  EXPECT_TRUE(sameValue(ErrorCode::NA, book.eval("FORMULATEXT(A3)")));
  EXPECT_TRUE(sameValue(ErrorCode::NA, book.eval("FORMULATEXT(A4)")));
  EXPECT_TRUE(sameValue(true, book.eval("ISFORMULA(A1)")));
  EXPECT_TRUE(sameValue(false, book.eval("ISFORMULA(A3)")));
  EXPECT_TRUE(sameValue(true, book.eval("ISFORMULA(INDIRECT(\"A1\"))")));
}

}  // namespace
}  // namespace calc::testing
