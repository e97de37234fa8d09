// GROUPBY and PIVOTBY computed in a cell of the workbook: the whole summary read back through
// INDEX, ROWS and COLUMNS; totals, sorting, headers, filters, the functions that aggregate,
// functions passed by name, and the errors of arguments that do not fit.
#include <string>

#include "calc/file_formula.h"
#include "lookup_workbook.h"
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A small sales table with its header row: region, product, amount.
Book salesData() {
  return Book{{"A1", "Region"}, {"B1", "Product"}, {"C1", "Sales"},                   //
              {"A2", "East"},   {"B2", "Pen"},     {"C2", 10.0},                      //
              {"A3", "West"},   {"B3", "Ink"},     {"C3", 20.0},                      //
              {"A4", "East"},   {"B4", "Ink"},     {"C4", 5.0},                       //
              {"A5", "West"},   {"B5", "Pen"},     {"C5", 7.0},                       //
              {"A6", "East"},   {"B6", "Pen"},     {"C6", 3.0},                       //
              {"A7", "North"},  {"B7", "Ink"},     {"C7", 8.0},                       //
              {"E1", "Key"},    {"E2", "b"},       {"E3", 2.0}, {"E4", "B"}, {"E5", "a"}, {"E6", 1.0}, {"E7", "a"}};
}

class Grouping : public ::testing::TestWithParam<Case> {};

TEST_P(Grouping, GivesTheSummary) {
  Book book = salesData();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula))) << GetParam().formula;
}

// One field: groups in ascending order, then the grand total.
INSTANTIATE_TEST_SUITE_P(OneField, Grouping, ::testing::Values(
    Case{"ROWS(GROUPBY(A2:A7,C2:C7,SUM))", 4.0},
    Case{"COLUMNS(GROUPBY(A2:A7,C2:C7,SUM))", 2.0},
    Case{"GROUPBY(A2:A7,C2:C7,SUM)", "East"},                      // the cell shows the top-left value
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM),1,2)", 18.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM),2,1)", "North"},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM),3,2)", 27.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM),4,1)", "Total"},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM),4,2)", 53.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7*2,SUM),4,2)", 106.0},            // arguments computed as arrays
    Case{"INDEX(GROUPBY(A2:A7&\"!\",C2:C7,SUM),1,1)", "East!"},
    Case{"_xlfn.GROUPBY(A2:A7,C2:C7,_xleta.SUM)", "East"},         // as a file stores it
    Case{"INDEX(GROUPBY(A:A,C:C,SUM),5,2)", 53.0},                 // whole columns: the empty rows
    Case{"INDEX(GROUPBY(E2:E7,C2:C7,SUM),1,1)", 1.0},              // numbers before texts
    Case{"ISBLANK(INDEX(GROUPBY(A:A,C:C,SUM),4,1))", true},        // are a group of their own
    Case{"INDEX(GROUPBY(E2:E7,C2:C7,SUM),3,2)", 15.0},             // "a" twice
    Case{"INDEX(GROUPBY(E2:E7,C2:C7,SUM),4,1)", "b"},              // "b" and "B" are one group,
    Case{"INDEX(GROUPBY(E2:E7,C2:C7,SUM),4,2)", 15.0}));           // shown as first written

// Headers: found in the data when the values begin with a text above a number; shown when asked
// or when there are several levels.
INSTANTIATE_TEST_SUITE_P(Headers, Grouping, ::testing::Values(
    Case{"ROWS(GROUPBY(A1:A7,C1:C7,SUM))", 4.0},                   // found, not shown
    Case{"INDEX(GROUPBY(A1:A7,C1:C7,SUM),4,2)", 53.0},
    Case{"ROWS(GROUPBY(A1:A7,C1:C7,SUM,1))", 4.0},
    Case{"ROWS(GROUPBY(A1:A7,C1:C7,SUM,3))", 5.0},
    Case{"INDEX(GROUPBY(A1:A7,C1:C7,SUM,3),1,1)", "Region"},
    Case{"INDEX(GROUPBY(A1:A7,C1:C7,SUM,3),1,2)", "Sales"},
    Case{"INDEX(GROUPBY(A1:A7,C1:C7,SUM,3),2,2)", 18.0},
    Case{"INDEX(GROUPBY(A1:B7,C1:C7,SUM),1,2)", "Product"},        // two levels: shown
    Case{"ROWS(GROUPBY(A1:A7,C1:C7,COUNTA,0))", 5.0},              // none: the header is a group
    Case{"INDEX(GROUPBY(A1:A7,C1:C7,COUNTA,0),5,2)", 7.0}));

// Totals: none, grand total at the bottom or the top, subtotals per first field.
INSTANTIATE_TEST_SUITE_P(Totals, Grouping, ::testing::Values(
    Case{"ROWS(GROUPBY(A2:A7,C2:C7,SUM,,0))", 3.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,-1),1,1)", "Total"},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,-1),2,1)", "East"},
    Case{"ROWS(GROUPBY(A2:B7,C2:C7,SUM))", 9.0},                   // by default with subtotals
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM),2,2)", "Pen"},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM),2,3)", 13.0},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM),3,1)", "East"},           // East's subtotal
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM),3,3)", 18.0},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM),5,3)", 8.0},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM),9,1)", "Total"},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM),9,3)", 53.0},
    Case{"ROWS(GROUPBY(A2:B7,C2:C7,SUM,,1))", 6.0},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,-2),1,1)", "Total"},      // totals above their groups
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,-2),2,3)", 18.0},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,-2),3,2)", "Ink"},
    Case{"ROWS(GROUPBY(A2:B7,C2:C7,SUM,,5))", 9.0},                // deeper than the fields
    Case{"ROWS(GROUPBY(A2:B7,C2:C7,SUM,,,,,1))", 6.0},             // a flat table: no subtotals
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,,,,1),5,3)", 7.0}));

// Sorting by a field or by the aggregate, descending when negative; a vector of keys.
INSTANTIATE_TEST_SUITE_P(Sorting, Grouping, ::testing::Values(
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,,-2),1,1)", "West"},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,,-2),3,2)", 8.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,,-2),4,1)", "Total"},     // the total stays last
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,,-1),1,1)", "West"},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,,2),1,1)", "North"},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,,-2),1,2)", "Pen"},       // within each region
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,,-2),4,1)", "North"},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,,{-1,-2}),1,1)", "West"},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,,{-1,-2}),1,2)", "Pen"},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,,-3),1,1)", "West"},      // regions by their subtotals
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,,,-3),1,2)", "Ink"},
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,0,0,2,,1),2,1)", "North"},  // a flat table sorts whole rows,
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,0,0,2,,1),4,1)", "East"},   // ties by the fields
    Case{"INDEX(GROUPBY(A2:B7,C2:C7,SUM,0,0,2),2,1)", "East"}));    // a hierarchy keeps regions together

// The filter keeps the rows whose value is TRUE.
INSTANTIATE_TEST_SUITE_P(Filter, Grouping, ::testing::Values(
    Case{"ROWS(GROUPBY(A2:A7,C2:C7,SUM,,,,B2:B7=\"Pen\"))", 3.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,,,B2:B7=\"Pen\"),2,2)", 7.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,SUM,,,,B2:B7=\"Pen\"),3,2)", 20.0},
    Case{"INDEX(GROUPBY(A1:A7,C1:C7,SUM,,,,C1:C7>6),4,2)", 45.0},  // the header row's entry unread
    Case{"GROUPBY(A2:A7,C2:C7,SUM,,,,C2:C7>100)", ErrorCode::Value}));  // nothing left

// The aggregating functions: by name, PERCENTOF with the whole, and LAMBDAs.
INSTANTIATE_TEST_SUITE_P(Functions, Grouping, ::testing::Values(
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,AVERAGE),3,2)", 13.5},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,AVERAGE),4,2)", 53.0 / 6},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,COUNT),1,2)", 3.0},
    Case{"INDEX(GROUPBY(A2:A7,B2:B7,COUNTA),4,2)", 6.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,MAX),1,2)", 10.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,MIN),4,2)", 3.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,MEDIAN),1,2)", 5.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,PRODUCT),1,2)", 150.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,STDEV.S),3,2)", 9.192388155425117},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,VAR.S),3,2)", 84.5},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,VAR.S),2,2)", ErrorCode::Div0},  // one value
    Case{"INDEX(GROUPBY(A2:A7,B2:B7,CONCAT),1,2)", "PenInkPen"},     // in the data's order
    Case{"INDEX(GROUPBY(A2:A7,B2:B7,ARRAYTOTEXT),3,2)", "Ink, Pen"},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,PERCENTOF),1,2)", 18.0 / 53},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,PERCENTOF),4,2)", 1.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,LAMBDA(x,MAX(x)-MIN(x))),1,2)", 7.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,LAMBDA(x,MAX(x)-MIN(x))),4,2)", 17.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,LAMBDA(part,all,SUM(part)/COUNT(all))),2,2)", 8.0 / 6},
    Case{"LET(f,LAMBDA(x,ROWS(x)),INDEX(GROUPBY(A2:A7,C2:C7,f),1,2))", 3.0},
    Case{"INDEX(GROUPBY(A2:A7,B2:C7,COUNT),1,3)", 3.0},             // a column per value column
    Case{"INDEX(GROUPBY(A2:A7,B2:C7,COUNT),1,2)", 0.0},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,LAMBDA(x,x)),2,2)", 8.0},       // one value is a value
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,LAMBDA(x,Z999)),2,2)", 0.0},    // an empty cell is 0
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,LAMBDA(x,x)),1,2)", ErrorCode::Value}));  // several are not

// Arguments that do not fit.
INSTANTIATE_TEST_SUITE_P(Errors, Grouping, ::testing::Values(
    Case{"GROUPBY(A2:A7,C2:C6,SUM)", ErrorCode::Value},             // sizes differ
    Case{"GROUPBY(A2:A7,C2:C7,SUM,4)", ErrorCode::Value},
    Case{"GROUPBY(A2:A7,C2:C7,SUM,-1)", ErrorCode::Value},
    Case{"GROUPBY(A2:A7,C2:C7,SUM,,,3)", ErrorCode::Value},         // past the last column
    Case{"GROUPBY(A2:A7,C2:C7,SUM,,,0)", ErrorCode::Value},
    Case{"GROUPBY(A2:A7,C2:C7,SUM,,,,B2:B6=\"Pen\")", ErrorCode::Value},
    Case{"GROUPBY(A2:A7,C2:C7,SUM,,,,,2)", ErrorCode::Value},
    Case{"GROUPBY(A2:A7,C2:C7,SUM,\"x\")", ErrorCode::Value},
    Case{"GROUPBY(A2:A7,C2:C7,SUM,1/0)", ErrorCode::Div0},
    Case{"GROUPBY(A2:A7,C2:C7,5)", ErrorCode::Value},               // no function
    Case{"GROUPBY(A2:A7,C2:C7,NOSUCHFUNCTION)", ErrorCode::Name},
    Case{"INDEX(GROUPBY(A2:A7,C2:C7,LAMBDA(a,b,c,a)),1,2)", ErrorCode::Value}));  // wants three values

// PIVOTBY: regions down, products across, totals on both sides.
INSTANTIATE_TEST_SUITE_P(Pivot, Grouping, ::testing::Values(
    Case{"ROWS(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM))", 5.0},
    Case{"COLUMNS(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM))", 4.0},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),1,2)", "Ink"},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),1,4)", "Total"},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),2,1)", "East"},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),2,3)", 13.0},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),2,4)", 18.0},
    Case{"ISBLANK(INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),3,3))", true},  // North sold no pens
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),5,1)", "Total"},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),5,2)", 33.0},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM),5,4)", 53.0},
    Case{"INDEX(PIVOTBY(A1:A7,B1:B7,C1:C7,SUM),5,4)", 53.0},       // headers found and dropped
    Case{"COLUMNS(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,,,0))", 3.0},
    Case{"ROWS(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,0))", 4.0},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,,-2),2,1)", "West"},  // by row totals, descending
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,,,,-1),1,2)", "Pen"},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,,,-1),1,2)", "Total"},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,,,,,A2:A7<>\"West\"),4,4)", 26.0},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,PERCENTOF),2,2)", 5.0 / 33},       // of the column
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,PERCENTOF),2,4)", 18.0 / 53},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,PERCENTOF),5,2)", 1.0},
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,PERCENTOF,,,,,,,1),2,2)", 5.0 / 18},  // of the row
    Case{"INDEX(PIVOTBY(A2:A7,B2:B7,C2:C7,PERCENTOF,,,,,,,2),2,2)", 5.0 / 53},  // of all
    Case{"INDEX(PIVOTBY(A2:B7,B2:B7,C2:C7,PERCENTOF,,,,,,,4),2,5)", 5.0 / 18},  // of the parent row
    Case{"INDEX(PIVOTBY(A2:B7,B2:B7,C2:C7,PERCENTOF,,,,,,,4),4,5)", 18.0 / 53},
    Case{"INDEX(PIVOTBY(A2:B7,B2:B7,C2:C7,PERCENTOF,,,,,,,4),4,4)", 13.0 / 20},
    Case{"PIVOTBY(A2:A7,B2:B6,C2:C7,SUM)", ErrorCode::Value},
    Case{"PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,,,,,,5)", ErrorCode::Value},
    Case{"PIVOTBY(A2:A7,B2:B7,C2:C7,SUM,,,3)", ErrorCode::Value}));

// Two levels of columns: each header row names its level; subtotal columns after their groups.
// Columns: East/Ink, East/Pen, East, North/Ink, North, West/Ink, West/Pen, West, Total.
INSTANTIATE_TEST_SUITE_P(PivotColumnLevels, Grouping, ::testing::Values(
    Case{"COLUMNS(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM))", 10.0},
    Case{"ROWS(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM))", 5.0},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),1,3)", "East"},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),2,3)", "Pen"},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),1,4)", "East"},
    Case{"ISBLANK(INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),2,4))", true},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),3,4)", 5.0},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),4,4)", 13.0},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),3,1)", "Ink"},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),1,10)", "Total"},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),5,9)", 27.0},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM),5,10)", 53.0},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,PERCENTOF,,,,,,,3),3,2)", 1.0},   // of East's Ink and Pen
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,PERCENTOF,,,,,,,3),3,4)", 5.0 / 33},  // East of all Ink
    Case{"COLUMNS(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM,,,,1))", 7.0},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM,,,,-2),1,2)", "Total"},
    Case{"INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM,,,,-2),1,3)", "East"},
    Case{"ISBLANK(INDEX(PIVOTBY(B2:B7,A2:B7,C2:C7,SUM,,,,-2),2,3))", true}));

// What the engine leaves to the spreadsheet gets no value rather than a guessed one.
TEST(Grouping, LeavesUnknownLayoutsUncomputed) {
  Book book = salesData();
  EXPECT_TRUE(book.eval("GROUPBY(A2:A7,C2:C7,SUM,2)").isUncomputed());               // generated headers
  EXPECT_TRUE(book.eval("GROUPBY(A2:A7,C2:C7,HSTACK(SUM,AVERAGE))").isUncomputed());  // several functions
  EXPECT_TRUE(book.eval("PIVOTBY(A2:A7,B2:B7,B2:C7,COUNTA)").isUncomputed());         // several value columns
  EXPECT_TRUE(book.eval("PIVOTBY(A1:A7,B1:B7,C1:C7,SUM,3)").isUncomputed());          // shown headers
  // Whatever the rest of the formula makes of it, the whole formula is left uncomputed.
  EXPECT_TRUE(book.eval("IFERROR(GROUPBY(A2:A7,C2:C7,SUM,2),0)").isUncomputed());
  EXPECT_TRUE(book.eval("ISERROR(PIVOTBY(A2:A7,B2:B7,B2:C7,COUNTA))").isUncomputed());
  EXPECT_TRUE(book.eval("1+ERROR.TYPE(INDEX(GROUPBY(A2:A7,C2:C7,SUM,2),1,1))").isUncomputed());
}

// A function passed by its name alone is the function, wherever a LAMBDA is taken; elsewhere the
// name is unknown.
TEST(FunctionByName, IsTheFunctionWhereALambdaIsTaken) {
  Book book = salesData();
  EXPECT_TRUE(sameValue(42.0, book.eval("SUM(BYROW(C2:C3,SUM))+SUM(MAP(C4:C5,ABS))")));
  EXPECT_TRUE(sameValue(32.0, book.eval("SUM(_xlfn.BYCOL(C2:C3,_xleta.SUM),MAP(-2,ABS))")));
  EXPECT_TRUE(sameValue(ErrorCode::Name, book.eval("IF(TRUE,SUM)")));
  EXPECT_TRUE(sameValue(ErrorCode::Name, book.eval("SUM+1")));
  EXPECT_TRUE(sameValue(ErrorCode::Value, book.eval("MAP(C2:C3,SUM+1)")));
  EXPECT_TRUE(sameValue(5.0, book.eval("LET(sum,LAMBDA(x,x*0+5),MAP(C2,sum))"))) << "a bound name comes first";
}

TEST(FunctionByName, FormulaTextHidesTheFilePrefix) {
  TwoSheetBook book;
  book.set(1, "A1", 4.0);
  book.set(1, "B1", "=_xlfn.MAP(A1,_xleta.SQRT)");
  EXPECT_TRUE(sameValue(2.0, book.eval("B1+0")));
  EXPECT_TRUE(sameValue("=MAP(A1,SQRT)", book.eval("FORMULATEXT(B1)")));
}

TEST(FunctionByName, FilesWriteItsPrefix) {
  EXPECT_EQ(fileFormula("GROUPBY(A2:A7,C2:C7,SUM)"), "_xlfn.GROUPBY(A2:A7,C2:C7,_xleta.SUM)");
  EXPECT_EQ(fileFormula("PIVOTBY(A2:A7,B2:B7,C2:C7,PERCENTOF,,,,,,,1)"),
            "_xlfn.PIVOTBY(A2:A7,B2:B7,C2:C7,_xleta.PERCENTOF,,,,,,,1)");
  EXPECT_EQ(fileFormula("MAP(A1:A3, ABS )+SUM(A1)"), "_xlfn.MAP(A1:A3, _xleta.ABS )+SUM(A1)");
  EXPECT_EQ(fileFormula("_xlfn.GROUPBY(A2:A7,C2:C7,_xleta.SUM)"), "_xlfn.GROUPBY(A2:A7,C2:C7,_xleta.SUM)");
  EXPECT_EQ(fileFormula("GROUPBY(A2:A7,C2:C7,LAMBDA(x,SUM(x)))"),
            "_xlfn.GROUPBY(A2:A7,C2:C7,_xlfn.LAMBDA(_xlpm.x,SUM(_xlpm.x)))");
  EXPECT_EQ(fileFormula("SUBSTITUTE(A1,\"BY\",B1)"), "SUBSTITUTE(A1,\"BY\",B1)");
}

}  // namespace
}  // namespace calc::testing
