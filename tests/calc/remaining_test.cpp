// REGEXTEST, REGEXEXTRACT, REGEXREPLACE, ASC, JIS, DBCS, BAHTTEXT, PHONETIC, HYPERLINK,
// ENCODEURL, PERCENTOF and TRIMRANGE, computed in the workbook model.
#include <string>

#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1:A3 texts, B1:B4 numbers with a text and a gap, C2:D3 a block inside blank cells, E1 an error.
Book remainingData() {
  return Book{{"A1", "LonelyPlanet"}, {"A2", "Mr. Sherlock Holmes"}, {"A3", "カタカナ"},
              {"B1", 10.0},           {"B2", "x"},                     {"B4", 30.0},
              {"C2", 1.0},            {"D3", "end"},                   {"E1", ErrorCode::Div0},
              {"F1", 5.0},            {"F2", -5.0}};
}

class Remaining : public ::testing::TestWithParam<Case> {};

TEST_P(Remaining, GivesExcelsResult) {
  Book book = remainingData();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula))) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(RegexTest, Remaining, ::testing::Values(
    Case{"REGEXTEST(A2,\"^Mr\\.\")", true},
    Case{"REGEXTEST(A2,\"^mr\")", false},
    Case{"REGEXTEST(A2,\"^mr\",1)", true},                  // case ignored
    Case{"REGEXTEST(A2,\"[a-z]OLMES\",1)", true},           // classes too
    Case{"REGEXTEST(A2,\"(?i)^MR\")", true},                // or asked for in the pattern
    Case{"REGEXTEST(\"ÉTÉ\",\"été\",1)", true},
    Case{"REGEXTEST(A2,\"\\bHolm\")", true},
    Case{"REGEXTEST(A2,\"\\Bolm\\b\")", false},
    Case{"REGEXTEST(12345,\"^\\d{5}$\")", true},            // numbers are read as text
    Case{"REGEXTEST(A2,\"(\")", ErrorCode::Value},           // malformed
    Case{"REGEXTEST(\"aa\",\"(a)\\1\")", ErrorCode::Value},  // back-references are not offered
    Case{"REGEXTEST(A2,\"x\",2)", ErrorCode::Value},
    Case{"REGEXTEST(E1,\"x\")", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(RegexExtract, Remaining, ::testing::Values(
    Case{"REGEXEXTRACT(A1,\"[A-Z][a-z]+\")", "Lonely"},
    Case{"INDEX(REGEXEXTRACT(A1,\"[A-Z][a-z]+\",1),1,2)", "Planet"},  // every match, in a row
    Case{"COLUMNS(REGEXEXTRACT(\"a1b22c333\",\"\\d+\",1))", 3.0},
    Case{"INDEX(REGEXEXTRACT(A2,\"(\\w+)\\s+(\\w+)$\",2),1,1)", "Sherlock"},  // the groups
    Case{"INDEX(REGEXEXTRACT(A2,\"(\\w+)\\s+(\\w+)$\",2),1,2)", "Holmes"},
    Case{"REGEXEXTRACT(\"aaa\",\"a+?\")", "a"},                       // lazy
    Case{"REGEXEXTRACT(\"<b><i>\",\"<.*>\")", "<b><i>"},              // greedy
    Case{"REGEXEXTRACT(\"abcd\",\"b|bc\")", "b"},                     // the pattern's first choice wins
    Case{"REGEXEXTRACT(\"xay\",\"(z)?a\",2)", ""},                    // a group that took no part
    Case{"REGEXEXTRACT(A1,\"\\d\")", ErrorCode::NA},
    Case{"REGEXEXTRACT(A1,\"L\",2)", ErrorCode::NA},                  // no groups to give
    Case{"REGEXEXTRACT(A1,\"L\",3)", ErrorCode::Value},
    Case{"REGEXEXTRACT(A3,\"タ.\")", "タカ"}));                        // characters, not bytes

INSTANTIATE_TEST_SUITE_P(RegexReplace, Remaining, ::testing::Values(
    Case{"REGEXREPLACE(\"JamesBond\",\"([A-Z][a-z]+)([A-Z][a-z]+)\",\"$2, $1 ${2}\")", "Bond, James Bond"},
    Case{"REGEXREPLACE(\"a1b2c3\",\"\\d\",\"#\")", "a#b#c#"},
    Case{"REGEXREPLACE(\"a1b2c3\",\"\\d\",\"#\",2)", "a1b#c3"},
    Case{"REGEXREPLACE(\"a1b2c3\",\"\\d\",\"#\",-1)", "a1b2c#"},
    Case{"REGEXREPLACE(\"a1b2c3\",\"\\d\",\"#\",4)", "a1b2c3"},        // no fourth match
    Case{"REGEXREPLACE(\"abc\",\"x*\",\"-\")", "-a-b-c-"},              // empty matches advance
    Case{"REGEXREPLACE(\"ABC\",\"b\",\"$$\",0,1)", "A$C"},
    Case{"REGEXREPLACE(\"abc\",\"b\",\"$0$0\")", "abbc"},
    Case{"REGEXREPLACE(\"abc\",\"b\",\"$x\")", "a$xc"},                // names no group
    Case{"REGEXREPLACE(\"abc\",\"b\",\"$1\")", ErrorCode::Value},      // a group the pattern lacks
    Case{"REGEXREPLACE(\"abc\",\"[\",\"-\")", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(Widths, Remaining, ::testing::Values(
    Case{"ASC(\"ＡＢＣ　１２３\")", "ABC 123"},
    Case{"ASC(\"ガパン\")", "ｶﾞﾊﾟﾝ"},                                 // sound marks written apart
    Case{"ASC(\"ヴ\")", "ｳﾞ"},
    Case{"ASC(\"ひらがな\")", "ひらがな"},                            // no half-width forms
    Case{"JIS(\"ABC 123\")", "ＡＢＣ　１２３"},
    Case{"JIS(\"ｶﾞﾊﾟﾝｯ\")", "ガパンッ"},                              // marks joined to their kana
    Case{"JIS(\"ﾝﾞ\")", "ン゛"},                                       // a mark no kana takes
    Case{"DBCS(\"a\")", "ａ"},
    Case{"JIS(ASC(A3))", "カタカナ"},
    Case{"JIS(TRUE)", "ＴＲＵＥ"},
    Case{"ASC(E1)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Baht, Remaining, ::testing::Values(
    Case{"BAHTTEXT(1234)", "หนึ่งพันสองร้อยสามสิบสี่บาทถ้วน"},
    Case{"BAHTTEXT(0)", "ศูนย์บาทถ้วน"},
    Case{"BAHTTEXT(21)", "ยี่สิบเอ็ดบาทถ้วน"},
    Case{"BAHTTEXT(11.5)", "สิบเอ็ดบาทห้าสิบสตางค์"},
    Case{"BAHTTEXT(1)", "หนึ่งบาทถ้วน"},
    Case{"BAHTTEXT(101)", "หนึ่งร้อยเอ็ดบาทถ้วน"},
    Case{"BAHTTEXT(0.01)", "หนึ่งสตางค์"},
    Case{"BAHTTEXT(-2.005)", "ลบสองบาทหนึ่งสตางค์"},               // rounded to the satang
    Case{"BAHTTEXT(2000000)", "สองล้านบาทถ้วน"},
    Case{"BAHTTEXT(1000001)", "หนึ่งล้านเอ็ดบาทถ้วน"},
    Case{"BAHTTEXT(12000000000)", "หนึ่งหมื่นสองพันล้านบาทถ้วน"},
    Case{"BAHTTEXT(\"x\")", ErrorCode::Value},
    Case{"BAHTTEXT(1E307)", ErrorCode::Num}));

INSTANTIATE_TEST_SUITE_P(LinksAndReadings, Remaining, ::testing::Values(
    Case{"HYPERLINK(\"http://example.com\",\"Example\")", "Example"},
    Case{"HYPERLINK(\"http://example.com\")", "http://example.com"},
    Case{"HYPERLINK(\"http://example.com\",F1)", 5.0},                // the name keeps its type
    Case{"HYPERLINK(\"http://example.com\",Z1)", 0.0},                // an empty cell shows 0
    Case{"HYPERLINK(E1,\"x\")", "x"},
    Case{"HYPERLINK(\"x\",E1)", ErrorCode::Div0},
    Case{"ENCODEURL(\"a b&c=d/é~\")", "a%20b%26c%3Dd%2F%C3%A9~"},
    Case{"ENCODEURL(1.5)", "1.5"},
    Case{"ENCODEURL(E1)", ErrorCode::Div0},
    Case{"PHONETIC(A3)", "カタカナ"},
    Case{"PHONETIC(A1:B2)", "LonelyPlanetMr. Sherlock Holmesx"},     // texts joined, numbers left out
    Case{"PHONETIC(F1)", ""}));

INSTANTIATE_TEST_SUITE_P(PercentOf, Remaining, ::testing::Values(
    Case{"PERCENTOF(B1,B1:B4)", 0.25},
    Case{"PERCENTOF({1,2},{1,2,5})", 0.375},
    Case{"PERCENTOF(F2,F1:F2)", ErrorCode::Div0},
    Case{"PERCENTOF(B1,Z1:Z5)", ErrorCode::Div0},                    // empty cells sum to 0
    Case{"PERCENTOF(E1,B1:B4)", ErrorCode::Div0},                    // the error of E1
    Case{"PERCENTOF(\"x\",B1:B4)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(TrimRange, Remaining, ::testing::Values(
    Case{"ROWS(TRIMRANGE(C1:D9))", 2.0},
    Case{"COLUMNS(TRIMRANGE(C1:D9))", 2.0},
    Case{"TRIMRANGE(C1:D9)", 1.0},                                   // the top-left is C2
    Case{"ROWS(TRIMRANGE(C:C))", 1.0},                               // a whole column
    Case{"ROWS(TRIMRANGE(C1:D9,2))", 3.0},                           // trailing rows only
    Case{"ROWS(TRIMRANGE(C1:D9,1))", 8.0},                           // leading rows only
    Case{"ROWS(TRIMRANGE(C1:D9,0,3))", 9.0},
    Case{"COLUMNS(TRIMRANGE(A1:Z1))", 6.0},                          // A1..F1
    Case{"ROWS(TRIMRANGE({\"\",1;2,3}))", 2.0},                      // an empty text is a value
    Case{"TRIMRANGE(X1:Y5)", ErrorCode::Ref},                        // nothing left
    Case{"ROWS(TRIMRANGE(X1:Y5,0,0))", 5.0},
    Case{"TRIMRANGE(C1:D9,4)", ErrorCode::Value},
    Case{"TRIMRANGE(C1:D9,\"x\")", ErrorCode::Value}));

// Patterns that make a backtracking matcher run for ages finish at once here.
INSTANTIATE_TEST_SUITE_P(HostilePatterns, Remaining, ::testing::Values(
    Case{"REGEXTEST(REPT(\"a\",5000)&\"c\",\"(a*)*b\")", false},
    Case{"LEN(REGEXEXTRACT(REPT(\"a\",5000),\"(a|aa)+$\"))", 5000.0},
    Case{"REGEXTEST(\"a\",\"(?=a)\")", ErrorCode::Value},        // look-around is not offered
    Case{"REGEXTEST(\"a\",\"a{1001}\")", ErrorCode::Value},      // nor huge repeats
    Case{"REGEXTEST(REPT(\"a\",1000),\"((a)|(b)){1000}\")", true},
    // Groups repeated that often would cost too much to track: refused where groups count.
    Case{"REGEXEXTRACT(REPT(\"a\",1000),\"((a)|(b)){300}\")", ErrorCode::Value}));

}  // namespace
}  // namespace calc::testing
