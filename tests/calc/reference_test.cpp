// Where cells are and how references are made: ROW, COLUMN, ROWS, COLUMNS, AREAS, INDEX and
// OFFSET (which give references that SUM can read), INDIRECT in both reference styles and
// across sheets, ADDRESS in every form, CHOOSE choosing a reference.
#include "lookup_workbook.h"
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1:A5 10..50, B1:B5 their names, C1:C3 1..3; the formula stands in Z1000.
Book referenceData() {
  return Book{{"A1", 10.0}, {"A2", 20.0}, {"A3", 30.0}, {"A4", 40.0}, {"A5", 50.0},
              {"B1", "ten"}, {"B2", "twenty"}, {"B3", "thirty"}, {"B4", "forty"}, {"B5", "fifty"},
              {"C1", 1.0}, {"C2", 2.0}, {"C3", 3.0}};
}

class Reference : public ::testing::TestWithParam<Case> {};

TEST_P(Reference, GivesExcelsResult) {
  Book book = referenceData();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula))) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(Positions, Reference, ::testing::Values(
    Case{"ROW()", 1000.0},
    Case{"COLUMN()", 26.0},
    Case{"ROW(C5)", 5.0},
    Case{"COLUMN(C5)", 3.0},
    Case{"ROW(B3:D9)", 3.0},                      // the first row, shown at the top left
    Case{"SUM(ROW(A1:A4))", 10.0},                // every row, as an array
    Case{"SUM(COLUMN(A1:C1))", 6.0},
    Case{"ROW(XFD1048576)", 1048576.0},
    Case{"SUM(COLUMN(1:1))", 134225920.0},         // all 16384 of them
    Case{"ROWS(A1:C5)", 5.0},
    Case{"COLUMNS(A1:C5)", 3.0},
    Case{"ROWS({1,2;3,4;5,6})", 3.0},
    Case{"COLUMNS({1,2;3,4;5,6})", 2.0},
    Case{"ROWS(7)", 1.0},
    Case{"ROWS(A:A)", 1048576.0},
    Case{"COLUMNS(1:1)", 16384.0},
    Case{"ROWS(1/0)", ErrorCode::Div0},
    Case{"AREAS(A1:C5)", 1.0},
    Case{"AREAS(1)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(Index, Reference, ::testing::Values(
    Case{"INDEX(A1:B5,2,2)", "twenty"},
    Case{"INDEX(A1:A5,3)", 30.0},
    Case{"INDEX(A1:C1,3)", 1.0},                  // in one row the number counts along it
    Case{"INDEX(A1:B5,2.9,1.9)", 20.0},           // positions are truncated
    Case{"SUM(INDEX(A1:C5,0,1))", 150.0},         // 0: the whole column, as a reference
    Case{"SUM(INDEX(A1:C5,2,0))", 22.0},          // the whole row; its text is skipped
    Case{"INDEX(A1:B5,6,1)", ErrorCode::Ref},
    Case{"INDEX(A1:B5,1,3)", ErrorCode::Ref},
    Case{"INDEX(A1:B5,-1,1)", ErrorCode::Value},
    Case{"INDEX(A1:B5,\"x\",1)", ErrorCode::Value},
    Case{"INDEX(A1:B5,1,1,2)", ErrorCode::Ref},   // there is one area only
    Case{"INDEX({1,2;3,4},2,1)", 3.0},
    Case{"SUM(INDEX({1,2;3,4},0,2))", 6.0},
    Case{"INDEX(1/0,1)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Offset, Reference, ::testing::Values(
    Case{"OFFSET(A1,2,1)", "thirty"},
    Case{"SUM(OFFSET(A1,1,0,3,1))", 90.0},
    Case{"SUM(OFFSET(A5,0,0,-2,1))", 90.0},       // a negative height reaches upward
    Case{"SUM(OFFSET(A1:A2,3,0))", 90.0},         // the size of the reference given
    Case{"SUM(OFFSET(A1,0,0,2.5,1))", 30.0},      // sizes are truncated...
    Case{"SUM(OFFSET(A1,0,0,0.5,1))", 10.0},      // ...but a fraction still reaches a cell
    Case{"OFFSET(A1,0,0,0,1)", ErrorCode::Ref},
    Case{"OFFSET(A1,-1,0)", ErrorCode::Ref},      // off the sheet
    Case{"OFFSET(A1,1048576,0)", ErrorCode::Ref},
    Case{"OFFSET(A1,0,16384)", ErrorCode::Ref},
    Case{"OFFSET(5,1,1)", ErrorCode::Value},
    Case{"OFFSET(A1,\"x\",1)", ErrorCode::Value},
    Case{"ROW(OFFSET(A1,4,2))", 5.0}));

INSTANTIATE_TEST_SUITE_P(Indirect, Reference, ::testing::Values(
    Case{"INDIRECT(\"A3\")", 30.0},
    Case{"INDIRECT(\"a3\")", 30.0},
    Case{"INDIRECT(\"$A$03\")", 30.0},            // leading zeros in the row are read
    Case{"SUM(INDIRECT(\"A1:A5\"))", 150.0},
    Case{"SUM(INDIRECT(\"A:A\"))", 150.0},
    Case{"ROW(INDIRECT(\"5:7\"))", 5.0},
    Case{"COLUMN(INDIRECT(\"C:D\"))", 3.0},
    Case{"INDIRECT(\"R3C1\",FALSE)", 30.0},
    Case{"INDIRECT(\"R[-997]C[-25]\",FALSE)", 30.0},  // relative to the formula's cell, Z1000
    Case{"SUM(INDIRECT(\"R1C1:R5C1\",FALSE))", 150.0},
    Case{"SUM(INDIRECT(\"C1\",FALSE))", 150.0},   // R1C1 "C1" is all of column A
    Case{"INDIRECT(\"A3\",FALSE)", ErrorCode::Ref},
    Case{"INDIRECT(\"Data!A3\")", 30.0},
    Case{"INDIRECT(\"'Data'!A3\")", 30.0},
    Case{"INDIRECT(\"Da\"&\"ta!B\"&3)", "thirty"},   // a sheet name computed on the way
    Case{"INDIRECT(\"Nowhere!A3\")", ErrorCode::Ref},
    Case{"INDIRECT(\"[book.xlsx]Data!A1\")", ErrorCode::Ref},
    Case{"INDIRECT(\"A0\")", ErrorCode::Ref},
    Case{"INDIRECT(\"XFE1\")", ErrorCode::Ref},
    Case{"INDIRECT(\"A1048577\")", ErrorCode::Ref},
    Case{"INDIRECT(\"\")", ErrorCode::Ref},
    Case{"INDIRECT(\"A\")", ErrorCode::Ref},
    Case{"INDIRECT(\"A1:B\")", ErrorCode::Ref},
    Case{"INDIRECT(1/0)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Address, Reference, ::testing::Values(
    Case{"ADDRESS(2,3)", "$C$2"},
    Case{"ADDRESS(2,3,2)", "C$2"},
    Case{"ADDRESS(2,3,3)", "$C2"},
    Case{"ADDRESS(2,3,4)", "C2"},
    Case{"ADDRESS(2,3,1,FALSE)", "R2C3"},
    Case{"ADDRESS(2,3,2,FALSE)", "R2C[3]"},
    Case{"ADDRESS(2,3,3,FALSE)", "R[2]C3"},
    Case{"ADDRESS(2,3,4,FALSE)", "R[2]C[3]"},
    Case{"ADDRESS(2.9,27.9)", "$AA$2"},
    Case{"ADDRESS(1048576,16384)", "$XFD$1048576"},
    Case{"ADDRESS(2,3,1,TRUE,\"Sheet2\")", "Sheet2!$C$2"},
    Case{"ADDRESS(2,3,1,TRUE,\"My Sheet\")", "'My Sheet'!$C$2"},
    Case{"ADDRESS(2,3,1,TRUE,\"It's\")", "'It''s'!$C$2"},
    Case{"ADDRESS(2,3,1,TRUE,\"A1\")", "'A1'!$C$2"},    // would read as a cell
    Case{"ADDRESS(2,3,1,TRUE,\"2024\")", "'2024'!$C$2"},
    Case{"ADDRESS(0,1)", ErrorCode::Value},
    Case{"ADDRESS(1,16385)", ErrorCode::Value},
    Case{"ADDRESS(1048577,1)", ErrorCode::Value},
    Case{"ADDRESS(1,1,5)", ErrorCode::Value},
    Case{"ADDRESS(1,1,0)", ErrorCode::Value},
    Case{"ADDRESS(\"x\",1)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(Choose, Reference, ::testing::Values(
    Case{"SUM(CHOOSE(2,A1:A2,A1:A3))", 60.0},     // the range chosen stays a range
    Case{"CHOOSE(1.9,\"a\",\"b\")", "a"},
    Case{"CHOOSE(3,\"a\",\"b\")", ErrorCode::Value},
    Case{"CHOOSE(0,\"a\",\"b\")", ErrorCode::Value},
    Case{"CHOOSE(1/0,\"a\",\"b\")", ErrorCode::Div0},
    Case{"CHOOSE(2,A1,A2)", 20.0}));

// The array builders: shapes are read back with ROWS, COLUMNS, INDEX and SUM.
INSTANTIATE_TEST_SUITE_P(ArrayBuilders, Reference, ::testing::Values(
    Case{"_xlfn.TAKE(A1:A5,2)", 10.0},
    Case{"SUM(TAKE(A1:A5,2))", 30.0},
    Case{"SUM(TAKE(A1:A5,-2))", 90.0},            // from the end
    Case{"ROWS(TAKE(A1:A5,99))", 5.0},            // no more than there is
    Case{"COLUMNS(TAKE(A1:C5,,2))", 2.0},
    Case{"TAKE(A1:A5,0)", ErrorCode::Calc},   // an empty array
    Case{"SUM(DROP(A1:A5,3))", 90.0},
    Case{"SUM(DROP(A1:A5,-3))", 30.0},
    Case{"DROP(A1:A5,3.9)", 40.0},
    Case{"DROP(A1:A5,5)", ErrorCode::Calc},       // nothing left
    Case{"CHOOSECOLS({1,2,3;4,5,6},3,1)", 3.0},
    Case{"SUM(CHOOSECOLS({1,2,3;4,5,6},-1))", 9.0},
    Case{"CHOOSECOLS({1,2},3)", ErrorCode::Value},
    Case{"CHOOSEROWS({1,2;3,4},2)", 3.0},
    Case{"CHOOSEROWS({1,2;3,4},0)", ErrorCode::Value},
    Case{"ROWS(VSTACK({1,2},{3}))", 2.0},
    Case{"INDEX(VSTACK({1,2},{3}),2,2)", ErrorCode::NA},  // short parts are padded
    Case{"SUM(VSTACK(A1:A2,C1:C3))", 36.0},
    Case{"COLUMNS(HSTACK(A1:A2,B1:B2,C1:C2))", 3.0},
    Case{"INDEX(HSTACK({1;2},{3}),2,2)", ErrorCode::NA},
    Case{"INDEX(TOCOL({1,2;3,4}),2)", 2.0},        // by rows...
    Case{"INDEX(TOCOL({1,2;3,4},0,TRUE),2)", 3.0},  // ...or by columns
    Case{"ROWS(TOCOL({1,#N/A,3},2))", 2.0},        // errors left out
    Case{"COLUMNS(TOROW({1;2}))", 2.0},
    Case{"TOCOL({1,2},4)", ErrorCode::Value},
    Case{"ROWS(WRAPROWS({1,2,3,4,5},2))", 3.0},
    Case{"INDEX(WRAPROWS({1,2,3,4,5},2),3,2)", ErrorCode::NA},
    Case{"INDEX(WRAPROWS({1,2,3},2,0),2,2)", 0.0},
    Case{"INDEX(WRAPCOLS({1,2,3,4,5},2),2,1)", 2.0},
    Case{"COLUMNS(WRAPCOLS({1,2,3,4,5},2))", 3.0},
    Case{"WRAPROWS({1,2;3,4},2)", ErrorCode::Value},
    Case{"WRAPROWS({1,2},0)", ErrorCode::Num},
    Case{"INDEX(EXPAND({1,2},2),2,1)", ErrorCode::NA},
    Case{"SUM(EXPAND({1,2},2,3,0))", 3.0},
    Case{"EXPAND({1,2;3,4},1)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(SortUniqueFilter, Reference, ::testing::Values(
    Case{"_xlfn._xlws.SORT({3;1;2})", 1.0},
    Case{"INDEX(SORT({3;1;2},1,-1),1)", 3.0},
    Case{"INDEX(SORT({\"b\";2;TRUE;\"a\"}),2)", "a"},   // numbers, texts, truth values
    Case{"INDEX(SORT({\"b\";2;TRUE;\"a\"}),4)", true},
    Case{"INDEX(SORT({1,\"z\";1,\"a\";0,\"q\"}),2,2)", "z"},  // equal keys keep their order
    Case{"SORT({3,1,2},1,1,TRUE)", 1.0},
    Case{"SORT({1;2},1,0)", ErrorCode::Value},
    Case{"SORT({1;2},2)", ErrorCode::Value},
    Case{"SORTBY({\"a\";\"b\";\"c\"},{3;1;2})", "b"},
    Case{"SORTBY({\"a\";\"b\";\"c\"},{3;1;2},-1)", "a"},
    Case{"SORTBY({\"a\";\"b\"},{1;2;3})", ErrorCode::Value},
    Case{"ROWS(UNIQUE({\"a\";\"A\";\"b\";\"a\"}))", 2.0},   // without regard to case
    Case{"UNIQUE({1;2;1},,TRUE)", 2.0},            // only what occurs once
    Case{"COLUMNS(UNIQUE({1,1,2},TRUE))", 2.0},
    Case{"UNIQUE({1;1},,TRUE)", ErrorCode::Calc},
    Case{"INDEX(UNIQUE({3;1;3;2;1}),3)", 2.0},     // in the order first met
    Case{"SUM(UNIQUE({3;1;3;2;1},,TRUE))", 2.0},
    Case{"ROWS(UNIQUE({1,2;1,2;1,3}))", 2.0},      // whole rows compared
    Case{"SUM(FILTER(A1:A5,{1;0;1;0;1}))", 90.0},
    Case{"SUM(FILTER({1,2,3},{TRUE,FALSE,TRUE}))", 4.0},
    Case{"FILTER(A1:A5,{0;0;0;0;0},\"none\")", "none"},
    Case{"FILTER(A1:A5,{0;0;0;0;0})", ErrorCode::Calc},
    Case{"FILTER(A1:A5,{1;0})", ErrorCode::Value},
    Case{"FILTER(A1:A5,{1;#N/A;1;1;1})", ErrorCode::NA}));

// INDIRECT and OFFSET onto another sheet, named at evaluation: the sheet name must outlive
// the text it was read from.
TEST(Reference, ReachesOtherSheetsByName) {
  TwoSheetBook book;
  book.set(2, "B2", 7.0);
  book.set(2, "B3", 8.0);
  EXPECT_TRUE(sameValue(7.0, book.eval("INDIRECT(\"'Other sheet'!B2\")")));
  EXPECT_TRUE(sameValue(15.0, book.eval("SUM(INDIRECT(\"'Other \"&\"sheet'!B2:B3\"))")));
  EXPECT_TRUE(sameValue(8.0, book.eval("OFFSET(INDIRECT(\"'Other sheet'!A1\"),2,1)")));
  EXPECT_TRUE(sameValue(15.0, book.eval("SUM('Other sheet'!B:B)")));
  EXPECT_TRUE(sameValue(3.0, book.eval("MATCH(8,INDIRECT(\"'other SHEET'!B1:B3\"),0)")));
  EXPECT_TRUE(sameValue(ErrorCode::Ref, book.eval("INDIRECT(\"Other sheet!B2\")")));  // a name with a space needs its quotes
}

}  // namespace
}  // namespace calc::testing
