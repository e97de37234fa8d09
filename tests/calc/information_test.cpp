// TYPE, ISREF, ISODD, ISEVEN, CELL, INFO, SHEET, SHEETS, FORMULATEXT, ISFORMULA and the errors
// ERROR.TYPE tells apart: what a formula can learn about values, cells and the workbook without
// looking outside it.
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

// The errors of dynamic arrays and linked data: written in formulas in any case, numbered by
// ERROR.TYPE as the spreadsheet numbers them, and errors to every test of one.
INSTANTIATE_TEST_SUITE_P(NewerErrors, Information, ::testing::Values(
    Case{"ERROR.TYPE(#GETTING_DATA)", 8.0},
    Case{"ERROR.TYPE(#SPILL!)", 9.0},
    Case{"ERROR.TYPE(#CONNECT!)", 10.0},
    Case{"ERROR.TYPE(#BLOCKED!)", 11.0},
    Case{"ERROR.TYPE(#UNKNOWN!)", 12.0},
    Case{"ERROR.TYPE(#FIELD!)", 13.0},
    Case{"ERROR.TYPE(#calc!)", 14.0},
    Case{"ERROR.TYPE(#BUSY!)", ErrorCode::NA},    // no number documented: as any other value
    Case{"ERROR.TYPE(#N/A)", 7.0},                // the older ones keep theirs
    Case{"ERROR.TYPE(A4)", 6.0},
    Case{"#SPILL!", ErrorCode::Spill},
    Case{"INDEX({1,#CALC!},2)", ErrorCode::Calc},
    Case{"1+#FIELD!", ErrorCode::Field},          // spread like any error
    Case{"ISERROR(#CALC!)", true},
    Case{"ISERR(#SPILL!)", true},
    Case{"ISNA(#CALC!)", false},
    Case{"TYPE(#BUSY!)", 16.0},
    Case{"IFERROR(#CONNECT!,\"none\")", "none"},
    Case{"IFERROR(FILTER(A1:A3,{0;0;0}),\"none\")", "none"},
    Case{"FILTER(A1:A3,{0;0;0})", ErrorCode::Calc},  // nothing kept: an empty array
    Case{"TOCOL({#N/A,#N/A},2)", ErrorCode::Calc},
    Case{"LET(f,LAMBDA(x,x*2),f)", ErrorCode::Calc},  // a LAMBDA left uncalled
    Case{"LET(f,LAMBDA(x,x*2),f(4))", 8.0}));

// Criteria and comparisons read the newer errors' texts as they read the older ones'.
TEST(Information, NewerErrorsInCellsAndCriteria) {
  Book book{{"A1", ErrorCode::Calc}, {"A2", ErrorCode::Spill}, {"A3", ErrorCode::Calc}, {"A4", 1.0}};
  EXPECT_TRUE(sameValue(2.0, book.eval("COUNTIF(A1:A4,\"#CALC!\")")));
  EXPECT_TRUE(sameValue(2.0, book.eval("COUNTIF(A1:A4,\"#calc!\")")));
  EXPECT_TRUE(sameValue(1.0, book.eval("COUNTIF(A1:A4,\"#SPILL!\")")));
  EXPECT_TRUE(sameValue(0.0, book.eval("COUNTIF(A1:A4,\"#CALC\")")));  // no such error: a text
  EXPECT_TRUE(sameValue(14.0, book.eval("ERROR.TYPE(A3)")));
  EXPECT_TRUE(sameValue(ErrorCode::Calc, book.eval("A1")));
  EXPECT_TRUE(sameValue(3.0, book.eval("COUNTIF(A1:A4,\"<>#SPILL!\")")));
}

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
