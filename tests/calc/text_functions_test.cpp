// Text and conversion functions. Source: Microsoft's documentation of LEN, LEFT, RIGHT, MID,
// UPPER, LOWER, TRIM, REPT (#VALUE! past 32,767 characters), EXACT, N, T, VALUE, FIXED, TEXT
// (number, date, time and fraction format codes), NUMBERVALUE, DATEVALUE, TIMEVALUE, DOLLAR,
// VALUETOTEXT and ARRAYTOTEXT. Texts are UTF-8 and counted in characters.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class TextFunctions : public ::testing::TestWithParam<Case> {};

TEST_P(TextFunctions, GiveExcelsResult) {
  Book cells{{"A1", "  two  words "}, {"A2", 0.5}, {"A3", true}, {"A4", "h\xC3\xA9llo"},
             {"B1", ErrorCode::Div0}, {"C1", 1.0}, {"C2", "say \"hi\""}, {"D1", true}, {"D2", ErrorCode::NA}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Lengths, TextFunctions, ::testing::Values(
    Case{"LEN(\"abc\")", 3.0},
    Case{"LEN(A4)", 5.0},                 // é is one character, two bytes
    Case{"LEN(1/3)", 17.0},               // "0.333333333333333"
    Case{"LEN(A3)", 4.0},                 // "TRUE"
    Case{"LEN(C9)", 0.0},
    Case{"LEN(\"a\xF0\x9F\x98\x80\")", 3.0},        // an emoji is two UTF-16 units
    Case{"LEFT(\"\xF0\x9F\x98\x80" "b\",2)", "\xF0\x9F\x98\x80"},
    Case{"MID(\"a\xF0\x9F\x98\x80" "b\",4,1)", "b"},
    Case{"LENB(A4)", 5.0},
    Case{"UPPER(A4)", "H\xC3\x89LLO"},
    Case{"LOWER(\"\xC3\x80" "B\xC3\x97\")", "\xC3\xA0" "b\xC3\x97"},  // \xC3\x97 (times) has no case
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
    Case{"FIXED(1234.5,)", "1,235"},                  // given empty, decimals are 0
    Case{"FIXED(1234.5,C9)", "1,235"},
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
    Case{"TEXT(\"abc\",\"0;-0;0;\"\"<\"\"@\"\">\"\"\")", "<abc>"},
    Case{"TEXT(\"abc\",\"@@\\!\")", "abcabc!"},
    Case{"TEXT(TRUE,\"0.00\")", "TRUE"},
    Case{"TEXT(B1,\"0\")", ErrorCode::Div0},
    Case{"TEXT(45000,\"yyyy-mm-dd\")", "2023-03-15"}));

// Serial 45000.75 is Wednesday 15 March 2023, 18:00.
INSTANTIATE_TEST_SUITE_P(DateAndTimeFormats, TextFunctions, ::testing::Values(
    Case{"TEXT(45000.75,\"d dd ddd dddd\")", "15 15 Wed Wednesday"},
    Case{"TEXT(45000,\"m mm mmm mmmm mmmmm\")", "3 03 Mar March M"},
    Case{"TEXT(45000,\"yy yyyy\")", "23 2023"},
    Case{"TEXT(45000.75,\"h:mm AM/PM\")", "6:00 PM"},
    Case{"TEXT(45000.25,\"hh:mm a/p\")", "06:00 a"},
    Case{"TEXT(0.5,\"h AM/PM\")", "12 PM"},
    Case{"TEXT(0,\"h AM/PM\")", "12 AM"},
    Case{"TEXT(TIME(13,5,9),\"hh:mm:ss\")", "13:05:09"},
    Case{"TEXT(TIME(13,5,9),\"m\")", "1"},                     // alone, m is the month (of day 0)
    Case{"TEXT(TIME(13,5,9),\"mm:ss\")", "05:09"},             // before seconds, minutes
    Case{"TEXT(1.5+1/86400/4,\"[h]:mm:ss.000\")", "36:00:00.250"},
    Case{"TEXT(1.5,\"[m]\")", "2160"},
    Case{"TEXT(1/24/60,\"[s]\")", "60"},
    Case{"TEXT(0.99999999,\"d h:mm:ss\")", "1 0:00:00"},       // rounds into the next day
    Case{"TEXT(60,\"d-mmm-yyyy\")", "29-Feb-1900"},
    Case{"TEXT(0,\"dddd d/m/yyyy\")", "Saturday 0/1/1900"},
    Case{"TEXT(2958465,\"m/d/yyyy\")", "12/31/9999"},
    Case{"TEXT(2958466,\"m/d/yyyy\")", ErrorCode::Value},     // past the last date
    Case{"TEXT(-1,\"m/d/yyyy\")", ErrorCode::Value},
    Case{"TEXT(45000,\"mm###\")", ErrorCode::Value},          // digit places do not mix in
    Case{"TEXT(45000,\"\"\"day\"\" d\")", "day 15"},
    Case{"TEXT(\"3/15/2023\",\"yyyy\")", "2023"},
    Case{"TEXT(59,\"ddd d mmm\")", "Tue 28 Feb"},            // 1900's weekdays run on through
    Case{"TEXT(61,\"ddd d mmm\")", "Thu 1 Mar"},             // the day that never was
    Case{"TEXT(45000.5,\"mmm-yy h:mm\")", "Mar-23 12:00"},
    Case{"TEXT(45000+1/86400*1.006,\"ss.00\")", "01.01"},
    Case{"TEXT(2.25,\"[hh]:mm\")", "54:00"},
    Case{"TEXT(-0.5,\"h:mm;\"\"before\"\"\")", "before"},
    Case{"TEXT(0.5,\"[Blue]h \\h\")", "12 h"}));

INSTANTIATE_TEST_SUITE_P(FractionFormats, TextFunctions, ::testing::Values(
    Case{"TEXT(1.5,\"0/0\")", "3/2"},
    Case{"TEXT(1.5,\"# ?/?\")", "1 1/2"},
    Case{"TEXT(-1.25,\"# ?/?\")", "-1 1/4"},
    Case{"TEXT(0.3333,\"?\?/??\")", " 1/3 "},
    Case{"TEXT(3.14159,\"# ?\?/??\")", "3 14/99"},              // nearer than 1/7
    Case{"TEXT(3.125,\"# ?\?/??\")", "3  1/8 "},
    Case{"TEXT(0.34,\"# ?/8\")", " 3/8"},
    Case{"TEXT(2.99,\"# ?/8\")", "3    "},                    // a whole number leaves the fraction blank
    Case{"TEXT(0.5,\"0 ?/?\")", "0 1/2"},
    Case{"TEXT(0,\"0/0\")", "0/1"},
    Case{"TEXT(1E+20,\"# ?/?\")", "100000000000000000000    "},
    Case{"TEXT(0.5,\"# ?/1000\")", " 500/1000"},
    Case{"TEXT(0.25,\"?/50 \\x\")", "13/50 x"},
    Case{"TEXT(0.5,\"# ?/99999999999999999999999\")", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(SectionsAndConditions, TextFunctions, ::testing::Values(
    Case{"TEXT(-5,\"[<0]-0.0;0.00\")", "-5.0"},
    Case{"TEXT(5,\"[<0]-0.0;0.00\")", "5.00"},
    Case{"TEXT(150,\"[>=100]0;0.00\")", "150"},
    Case{"TEXT(-5,\"[>=100]0;0.00\")", "-5.00"},
    Case{"TEXT(5,\"[=5]\"\"five\"\";0\")", "five"},
    Case{"TEXT(0,\"0;-0;\"\"nil\"\";@\")", "nil"},
    Case{"TEXT(-0.001,\"0.0\")", "0.0"},                      // no minus on a shown zero
    Case{"TEXT(1234567,\"#,##0,,\\M\")", "1M"},
    Case{"TEXT(0.1234,\"0.0%\")", "12.3%"},
    Case{"TEXT(-1234.5,\"#,##0.00;[Red](#,##0.00)\")", "(1,234.50)"},
    Case{"TEXT(-1234.5,\"$#,##0_);($#,##0)\")", "($1,235)"},
    Case{"TEXT(0.000123,\"0.00E+00\")", "1.23E-04"},
    Case{"TEXT(5,\"[<>5]0;\"\"five\"\"\")", "five"},
    Case{"TEXT(50,\"[<=10]\"\"low\"\";[>=100]\"\"high\"\";0\")", "50"}));

// General in TEXT is a cell's General: 11 characters at most, besides the sign.
INSTANTIATE_TEST_SUITE_P(GeneralFormat, TextFunctions, ::testing::Values(
    Case{"TEXT(1/3,\"General\")", "0.333333333"},
    Case{"TEXT(-1/3,\"General\")", "-0.333333333"},
    Case{"TEXT(12345678901,\"General\")", "12345678901"},
    Case{"TEXT(123456789012,\"General\")", "1.23457E+11"},
    Case{"TEXT(0.00000001,\"General\")", "0.00000001"},
    Case{"TEXT(0.0000000025,\"General\")", "2.5E-09"},
    Case{"TEXT(99999999999.7,\"General\")", "1E+11"},
    Case{"TEXT(1E+100,\"General\")", "1E+100"},
    Case{"TEXT(0.1234567891234,\"General\")", "0.123456789"},
    Case{"TEXT(0.00001234567,\"General\")", "1.23457E-05"},
    Case{"TEXT(-12345.6789,\"General\")", "-12345.6789"},
    Case{"TEXT(0,\"General\")", "0"}));

INSTANTIATE_TEST_SUITE_P(ReadingText, TextFunctions, ::testing::Values(
    Case{"VALUE(\"(5)\")", -5.0},
    Case{"VALUE(\"-$5.00\")", -5.0},
    Case{"VALUE(\"$-5\")", -5.0},
    Case{"VALUE(\"($1,234)\")", -1234.0},
    Case{"VALUE(\"(-5)\")", ErrorCode::Value},
    Case{"VALUE(\"12,34\")", ErrorCode::Value},               // groups are three digits
    Case{"VALUE(\"1,234,567\")", 1234567.0},
    Case{"VALUE(\"12:00\")", 0.5},
    Case{"VALUE(\"1:30 PM\")", 13.5 / 24},
    Case{"VALUE(\"25:00\")", 25.0 / 24},
    Case{"VALUE(\"12:60\")", ErrorCode::Value},
    Case{"VALUE(\"1/15/2024\")", 45306.0},
    Case{"VALUE(\"1/15/24 6:00\")", 45306.25},
    Case{"VALUE(\"2024-01-15\")", 45306.0},
    Case{"VALUE(\"15-Jan-2024\")", 45306.0},
    Case{"VALUE(\"January 15, 2024\")", 45306.0},
    Case{"VALUE(\"Jan 2024\")", 45292.0},
    Case{"VALUE(\"2/29/2023\")", ErrorCode::Value},
    Case{"VALUE(\"2/29/1900\")", 60.0},
    Case{"VALUE(\"13/1/2024\")", ErrorCode::Value},
    Case{"VALUE(D1)", ErrorCode::Value},
    Case{"DATEVALUE(\"1/15/2024 18:00\")", 45306.0},
    Case{"DATEVALUE(\"12:00\")", ErrorCode::Value},
    Case{"DATEVALUE(45306)", ErrorCode::Value},               // a number is no date text
    Case{"DATEVALUE(\"1/1/1899\")", ErrorCode::Value},
    Case{"TIMEVALUE(\"1/15/2024 18:00\")", 0.75},
    Case{"TIMEVALUE(\"30:00\")", 0.25},
    Case{"TIMEVALUE(\"noon\")", ErrorCode::Value},
    Case{"NUMBERVALUE(\"1.234,5\",\",\",\".\")", 1234.5},
    Case{"NUMBERVALUE(\" 1 234 \")", 1234.0},
    Case{"NUMBERVALUE(\"50%%\")", 0.005},
    Case{"NUMBERVALUE(\"\")", 0.0},
    Case{"NUMBERVALUE(\"1.2.3\")", ErrorCode::Value},
    Case{"NUMBERVALUE(\"1.5,0\")", ErrorCode::Value},          // a group after the decimals
    Case{"NUMBERVALUE(\"1\",\",\",\",\")", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(WritingValues, TextFunctions, ::testing::Values(
    Case{"DOLLAR(1234.567)", "$1,234.57"},
    Case{"DOLLAR(-1234.567,-2)", "($1,200)"},
    Case{"DOLLAR(0.5,0)", "$1"},
    Case{"DOLLAR(2.5,)", "$3"},
    Case{"DOLLAR(1,128)", ErrorCode::Value},
    Case{"VALUETOTEXT(C2)", "say \"hi\""},
    Case{"VALUETOTEXT(C2,1)", "\"say \"\"hi\"\"\""},
    Case{"VALUETOTEXT(B1)", "#DIV/0!"},
    Case{"VALUETOTEXT(1,2)", ErrorCode::Value},
    Case{"ARRAYTOTEXT({1,\"a\";TRUE,#N/A})", "1, a, TRUE, #N/A"},
    Case{"ARRAYTOTEXT({1,\"a\";TRUE,#N/A},1)", "{1,\"a\";TRUE,#N/A}"},
    Case{"ARRAYTOTEXT(C1:D2,1)", "{1,TRUE;\"say \"\"hi\"\"\",#N/A}"},
    Case{"ARRAYTOTEXT(C1:C3)", "1, say \"hi\", "},
    Case{"ARRAYTOTEXT(A:A)", ErrorCode::Value}));               // a whole column passes the limit

}  // namespace
}  // namespace calc::testing
