// Text and conversion functions. Source: Microsoft's documentation of LEN, LEFT, RIGHT, MID,
// UPPER, LOWER, TRIM, REPT (#VALUE! past 32,767 characters), EXACT, N, T, VALUE, FIXED and TEXT
// (number format codes). Texts are UTF-8 and counted in characters.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class TextFunctions : public ::testing::TestWithParam<Case> {};

TEST_P(TextFunctions, GiveExcelsResult) {
  Book cells{{"A1", "  two  words "}, {"A2", 0.5}, {"A3", true}, {"A4", "h\xC3\xA9llo"},
                         {"B1", ErrorCode::Div0}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Lengths, TextFunctions, ::testing::Values(
    Case{"LEN(\"abc\")", 3.0},
    Case{"LEN(A4)", 5.0},                 // é is one character, two bytes
    Case{"LEN(1/3)", 17.0},               // "0.333333333333333"
    Case{"LEN(A3)", 4.0},                 // "TRUE"
    Case{"LEN(C9)", 0.0},
    Case{"LEN(B1)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Pieces, TextFunctions, ::testing::Values(
    Case{"LEFT(\"abc\")", "a"},
    Case{"LEFT(\"abc\",2)", "ab"},
    Case{"LEFT(\"abc\",10)", "abc"},
    Case{"LEFT(\"abc\",0)", ""},
    Case{"LEFT(\"abc\",-1)", ErrorCode::Value},
    Case{"LEFT(A4,2)", "h\xC3\xA9"},
    Case{"RIGHT(A4,4)", "\xC3\xA9llo"},
    Case{"RIGHT(\"abc\",2.9)", "bc"},
    Case{"RIGHT(12345,2)", "45"},
    Case{"MID(\"abcdef\",2,3)", "bcd"},
    Case{"MID(\"abc\",3,10)", "c"},
    Case{"MID(\"abc\",4,1)", ""},
    Case{"MID(\"abc\",0,1)", ErrorCode::Value},
    Case{"MID(\"abc\",1,-1)", ErrorCode::Value},
    Case{"MID(A4,2,1)", "\xC3\xA9"},
    Case{"MID(B1,1,1)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(CaseAndSpaces, TextFunctions, ::testing::Values(
    Case{"UPPER(\"Graph x^2\")", "GRAPH X^2"},
    Case{"LOWER(\"Graph X^2\")", "graph x^2"},
    Case{"UPPER(A3)", "TRUE"},
    Case{"TRIM(A1)", "two words"},
    Case{"TRIM(\"   \")", ""},
    Case{"REPT(\"ab\",3)", "ababab"},
    Case{"REPT(\"ab\",0)", ""},
    Case{"REPT(\"ab\",-1)", ErrorCode::Value},
    Case{"REPT(\"ab\",20000)", ErrorCode::Value},  // 40,000 characters: more than a cell holds
    // 20,000 characters outside the BMP are 40,000 UTF-16 units: the cell limit counts units.
    Case{"REPT(\"\xF0\x9F\x98\x80\",20000)", ErrorCode::Value},
    Case{"LEN(REPT(\"x\",32767))", 32767.0},
    Case{"EXACT(\"Word\",\"word\")", false},
    Case{"EXACT(\"word\",\"word\")", true},
    Case{"EXACT(1.5,\"1.5\")", true}));

INSTANTIATE_TEST_SUITE_P(Conversions, TextFunctions, ::testing::Values(
    Case{"N(A2)", 0.5},
    Case{"N(A3)", 1.0},
    Case{"N(A1)", 0.0},
    Case{"N(B1)", ErrorCode::Div0},
    Case{"T(A1)", "  two  words "},
    Case{"T(A2)", ""},
    Case{"T(B1)", ErrorCode::Div0},
    Case{"VALUE(\"1,234.5\")", 1234.5},
    Case{"VALUE(\" 12% \")", 0.12},
    Case{"VALUE(\"1E3\")", 1000.0},
    Case{"VALUE(7)", 7.0},
    Case{"VALUE(\"abc\")", ErrorCode::Value},
    Case{"VALUE(A3)", ErrorCode::Value},
    Case{"FIXED(1234.567)", "1,234.57"},
    Case{"FIXED(1234.567,1)", "1,234.6"},
    Case{"FIXED(1234.567,-1)", "1,230"},
    Case{"FIXED(-1234.567,-1,TRUE)", "-1230"},
    Case{"FIXED(2.675,2)", "2.68"},       // rounded on the decimal value shown
    Case{"FIXED(-0.001,2)", "0.00"},
    Case{"FIXED(1234567,0)", "1,234,567"},
    Case{"FIXED(1,128)", ErrorCode::Value},
    Case{"FIXED(\"x\")", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(NumberFormats, TextFunctions, ::testing::Values(
    Case{"TEXT(0.125,\"0.00\")", "0.13"},
    Case{"TEXT(A2,\"0%\")", "50%"},
    Case{"TEXT(0.256,\"0.0%\")", "25.6%"},
    Case{"TEXT(12345.678,\"0.0E+0\")", "1.2E+4"},
    Case{"TEXT(0.00012,\"0.00E+00\")", "1.20E-04"},
    Case{"TEXT(9.96,\"0.0E+0\")", "1.0E+1"},
    Case{"TEXT(12345,\"##0.0E+0\")", "12.3E+3"},
    Case{"TEXT(1234567.891,\"#,##0.00\")", "1,234,567.89"},
    Case{"TEXT(-5,\"0.0;(0.0)\")", "(5.0)"},
    Case{"TEXT(0,\"0;-0;\"\"zero\"\"\")", "zero"},
    Case{"TEXT(5,\"$#,##0\")", "$5"},
    Case{"TEXT(-5,\"$#,##0\")", "-$5"},
    Case{"TEXT(1234567,\"0,\")", "1235"},
    Case{"TEXT(1.5,\"#.##\")", "1.5"},
    Case{"TEXT(0.5,\"#.##\")", ".5"},
    Case{"TEXT(5551234,\"000-0000\")", "555-1234"},
    Case{"TEXT(7,\"000\")", "007"},
    Case{"TEXT(2.5,\"0 \\k\\g\")", "3 kg"},
    Case{"TEXT(5,\"General\")", "5"},
    Case{"TEXT(-2.5,\"@\")", "-2.5"},
    Case{"TEXT(5,\"[Red]0.0\")", "5.0"},
    Case{"TEXT(5,\"[>3]0\")", "5"},
    Case{"TEXT(0,\"#\")", ""},
    Case{"TEXT(5,\",\")", ","},
    Case{"TEXT(5.5,\"??.??\")", " 5.5 "},
    Case{"TEXT(\"12\",\"0.00\")", "12.00"},
    Case{"TEXT(\"abc\",\"0.00\")", "abc"},
    Case{"TEXT(B1,\"0\")", ErrorCode::Div0},
    Case{"TEXT(45000,\"yyyy-mm-dd\")", "2023-03-15"}));

}  // namespace
}  // namespace calc::testing
