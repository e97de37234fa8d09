// MATCH, XMATCH, VLOOKUP, HLOOKUP, LOOKUP and XLOOKUP on ranges and arrays: exact matches with
// and without wildcards, the sorted searches (also on duplicates), the modes of the newer
// functions, and the errors for tables of the wrong shape or arguments out of range.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1:A5 ascending, B1:B5 their names, C1:C5 words for wildcards, D1:D5 unsorted numbers,
// E1:E3 one value of each type, F1:F5 descending, G1:G5 ascending with duplicates, H1:H5
// descending with duplicates, J1:N2 a table laid out in rows.
Book lookupData() {
  return Book{{"A1", 10.0}, {"A2", 20.0}, {"A3", 30.0}, {"A4", 40.0}, {"A5", 50.0},
              {"B1", "ten"}, {"B2", "twenty"}, {"B3", "thirty"}, {"B4", "forty"}, {"B5", "fifty"},
              {"C1", "apple"}, {"C2", "Banana"}, {"C3", "cherry"}, {"C4", "da*te"}, {"C5", "fig"},
              {"D1", 30.0}, {"D2", 10.0}, {"D3", 50.0}, {"D4", 20.0}, {"D5", 40.0},
              {"E1", 5.0}, {"E2", "x"}, {"E3", true},
              {"F1", 50.0}, {"F2", 40.0}, {"F3", 30.0}, {"F4", 20.0}, {"F5", 10.0},
              {"G1", 1.0}, {"G2", 2.0}, {"G3", 2.0}, {"G4", 2.0}, {"G5", 3.0},
              {"H1", 3.0}, {"H2", 2.0}, {"H3", 2.0}, {"H4", 2.0}, {"H5", 1.0},
              {"J1", 1.0}, {"K1", 2.0}, {"L1", 3.0}, {"M1", 4.0}, {"N1", 5.0},
              {"J2", "a"}, {"K2", "b"}, {"L2", "c"}, {"M2", "d"}, {"N2", "e"}};
}

class Lookup : public ::testing::TestWithParam<Case> {};

TEST_P(Lookup, GivesExcelsResult) {
  Book book = lookupData();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula))) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(Match, Lookup, ::testing::Values(
    Case{"MATCH(30,A1:A5,0)", 3.0},
    Case{"MATCH(35,A1:A5)", 3.0},                 // sorted: the largest value not above
    Case{"MATCH(60,A1:A5,1)", 5.0},
    Case{"MATCH(5,A1:A5,1)", ErrorCode::NA},      // below the first
    Case{"MATCH(35,F1:F5,-1)", 2.0},              // descending: the smallest value not below
    Case{"MATCH(60,F1:F5,-1)", ErrorCode::NA},
    Case{"MATCH(35,A1:A5,0.9)", ErrorCode::NA},   // the type is truncated to 0
    Case{"MATCH(35,A1:A5,7)", 3.0},               // any positive type sorts ascending
    Case{"MATCH(2,G1:G5,1)", 4.0},                // the last of equal values
    Case{"MATCH(\"b*\",C1:C5,0)", 2.0},           // wildcards, without regard to case
    Case{"MATCH(\"?IG\",C1:C5,0)", 5.0},
    Case{"MATCH(\"da~*te\",C1:C5,0)", 4.0},        // '~' takes the '*' literally
    Case{"MATCH(\"30\",A1:A5,0)", ErrorCode::NA},  // a text never matches a number
    Case{"MATCH(TRUE,E1:E3,0)", 3.0},
    Case{"MATCH(\"z\",A1:A5,1)", ErrorCode::NA},   // a sorted search answers only in kind
    Case{"MATCH(30,A1:B5,0)", ErrorCode::NA},      // not one row or column
    Case{"MATCH(30,{10,20,30},0)", 3.0},
    Case{"MATCH(1/0,A1:A5,0)", ErrorCode::Div0},
    Case{"MATCH(30,A:A,0)", 3.0},
    Case{"MATCH(1E9,A:A)", 5.0},                   // a whole column ends where its cells do
    Case{"MATCH(30,A1:A5,\"x\")", ErrorCode::Value},
    Case{"SUM(MATCH({20,50},A1:A5,0))", 7.0},       // each value sought answered
    Case{"SUM(VLOOKUP({10;30},A1:D5,4,FALSE))", 80.0}));

INSTANTIATE_TEST_SUITE_P(XMatch, Lookup, ::testing::Values(
    Case{"_xlfn.XMATCH(30,A1:A5)", 3.0},
    Case{"XMATCH(35,A1:A5,1)", 4.0},               // the next larger
    Case{"XMATCH(35,A1:A5,-1)", 3.0},              // the next smaller
    Case{"XMATCH(35,D1:D5,1)", 5.0},               // found by looking at every value
    Case{"XMATCH(35,A1:A5)", ErrorCode::NA},
    Case{"XMATCH(2,G1:G5,0,-1)", 4.0},             // from the last
    Case{"XMATCH(2,G1:G5,0,2)", 2.0},              // halving: the first of equals
    Case{"XMATCH(2,H1:H5,0,-2)", 4.0},             // descending: the last of equals
    Case{"XMATCH(2.5,G1:G5,-1,2)", 4.0},
    Case{"XMATCH(2.5,G1:G5,1,2)", 5.0},
    Case{"XMATCH(\"b*\",C1:C5,2)", 2.0},
    Case{"XMATCH(\"b*\",C1:C5)", ErrorCode::NA},   // wildcards only when asked for
    Case{"XMATCH(FALSE,E1:E3,-1)", 2.0},           // texts rank below truth values
    Case{"XMATCH(\"b*\",C1:C5,2,2)", ErrorCode::Value},
    Case{"XMATCH(1,A1:A5,4)", ErrorCode::Value},
    Case{"XMATCH(1,A1:A5,0,0)", ErrorCode::Value},
    Case{"XMATCH(2,{1,2;3,4})", ErrorCode::Value}));

// Match mode 3: the value sought is a regular expression found anywhere in a text cell.
INSTANTIATE_TEST_SUITE_P(RegexMode, Lookup, ::testing::Values(
    Case{"XMATCH(\"^B.n\",C1:C5,3)", 2.0},
    Case{"XMATCH(\"^b.n\",C1:C5,3)", ErrorCode::NA},     // letters keep their case
    Case{"XMATCH(\"an+a$\",C1:C5,3)", 2.0},
    Case{"XMATCH(\"r{2}\",C1:C5,3)", 3.0},
    Case{"XMATCH(\"^(apple|fig)$\",C1:C5,3,-1)", 5.0},
    Case{"XMATCH(\"a\\*t\",C1:C5,3)", 4.0},              // an escaped '*' is itself
    Case{"XMATCH(\"[^a-z]\",C1:C5,3)", 2.0},
    Case{"XMATCH(\"\\d\",{\"ab\",\"a4\"},3)", 2.0},
    Case{"XMATCH(42,{42,\"x42\"},3)", 2.0},               // only texts are searched
    Case{"XMATCH(\"(a*)*b\",{\"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"},3)", ErrorCode::NA},
    Case{"XMATCH(\"(\",C1:C5,3)", ErrorCode::Value},     // no regular expression
    Case{"XMATCH(\"[b-a]\",C1:C5,3)", ErrorCode::Value},
    Case{"XMATCH(\"a{2000}\",C1:C5,3)", ErrorCode::Value},
    Case{"XMATCH(REPT(\"(\",500)&\"a\"&REPT(\")\",500),C1:C5,3)", ErrorCode::Value},  // too deep
    Case{"XMATCH(\"a\",C1:C5,3,2)", ErrorCode::Value},    // no halving with patterns
    Case{"XLOOKUP(\"^d\",C1:C5,A1:A5,,3)", 40.0}));

INSTANTIATE_TEST_SUITE_P(TableLookups, Lookup, ::testing::Values(
    Case{"VLOOKUP(30,A1:B5,2,FALSE)", "thirty"},
    Case{"VLOOKUP(35,A1:B5,2)", "thirty"},
    Case{"VLOOKUP(35,A1:B5,2,FALSE)", ErrorCode::NA},
    Case{"VLOOKUP(30,A1:B5,2.9,0)", "thirty"},     // the column is truncated
    Case{"VLOOKUP(30,A1:B5,3,0)", ErrorCode::Ref},
    Case{"VLOOKUP(30,A1:B5,0,0)", ErrorCode::Value},
    Case{"VLOOKUP(\"ch*\",C1:C5,1,FALSE)", "cherry"},
    Case{"VLOOKUP(30,\"table\",1)", ErrorCode::Value},
    Case{"VLOOKUP(30,A1:B5,2,\"x\")", ErrorCode::Value},
    Case{"VLOOKUP(2,{1,\"one\";2,\"two\"},2,0)", "two"},
    Case{"HLOOKUP(3,J1:N2,2,FALSE)", "c"},
    Case{"HLOOKUP(3.5,J1:N2,2)", "c"},
    Case{"HLOOKUP(3,J1:N2,3,0)", ErrorCode::Ref},
    Case{"HLOOKUP(0,J1:N2,2)", ErrorCode::NA}));

INSTANTIATE_TEST_SUITE_P(LookupForms, Lookup, ::testing::Values(
    Case{"LOOKUP(35,A1:A5,B1:B5)", "thirty"},
    Case{"LOOKUP(35,A1:A5)", 30.0},
    Case{"LOOKUP(50,A1:A5,B1:B2)", "fifty"},       // a shorter result range reads on
    Case{"LOOKUP(5,A1:A5,B1:B5)", ErrorCode::NA},
    Case{"LOOKUP(3.5,J1:N2)", "c"},                // wide: first row searched, last row read
    Case{"LOOKUP(35,A1:B5)", "thirty"},            // tall: first column, last column
    Case{"LOOKUP(2,{1,2,3},{\"a\",\"b\",\"c\"})", "b"}));

INSTANTIATE_TEST_SUITE_P(XLookup, Lookup, ::testing::Values(
    Case{"_xlfn.XLOOKUP(30,A1:A5,B1:B5)", "thirty"},
    Case{"XLOOKUP(35,A1:A5,B1:B5)", ErrorCode::NA},
    Case{"XLOOKUP(35,A1:A5,B1:B5,\"none\")", "none"},
    Case{"XLOOKUP(35,A1:A5,B1:B5,B4:B5)", "forty"},   // shown from its top-left
    Case{"XLOOKUP(35,A1:A5,B1:B5,,-1)", "thirty"},
    Case{"XLOOKUP(35,A1:A5,B1:B5,,1)", "forty"},
    Case{"XLOOKUP(\"b*\",C1:C5,A1:A5,,2)", 20.0},
    Case{"XLOOKUP(2,G1:G5,C1:C5,,0,-1)", "da*te"},    // the last of equals from the end
    Case{"XLOOKUP(3,J1:N1,J2:N2)", "c"},              // a row searched answers from a row
    Case{"SUM(XLOOKUP(20,A1:A5,A1:D5))", 30.0},       // a whole row of results, as a reference
    Case{"SUM(XLOOKUP(2,J1:N1,J1:N2))", 2.0},
    Case{"XLOOKUP(2,{1,2,3},{\"a\",\"b\",\"c\"})", "b"},
    Case{"XLOOKUP(30,A1:A5,B1:B4)", ErrorCode::Value},  // results of another length
    Case{"XLOOKUP(30,A1:B5,B1:B5)", ErrorCode::Value},
    Case{"XLOOKUP(30,A1:A5,TRUE)", ErrorCode::Value},
    Case{"XLOOKUP(30,A1:A5,B1:B5,,5)", ErrorCode::Value},
    Case{"XLOOKUP(30,A1:A5,B1:B5,,2,2)", ErrorCode::Value},
    Case{"XLOOKUP(1/0,A1:A5,B1:B5,\"none\")", ErrorCode::Div0}));

}  // namespace
}  // namespace calc::testing
