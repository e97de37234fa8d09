// Finding, replacing and joining text, and characters by code. Source: Microsoft's
// documentation of CHAR, CODE (Windows-1252), UNICHAR, UNICODE, CLEAN, PROPER, FIND, SEARCH
// (wildcards, ~ escapes), SUBSTITUTE, REPLACE, CONCAT, CONCATENATE, TEXTJOIN, TEXTBEFORE and
// TEXTAFTER (instances from either end, match modes, match_end, if_not_found).
#include "workbook_eval.h"

namespace calc::testing {
namespace {

class TextSearch : public ::testing::TestWithParam<Case> {};

TEST_P(TextSearch, GivesExcelsResult) {
  Book cells{{"A1", "a"}, {"A2", Value()}, {"A3", "c"}, {"A4", 4.0}, {"B1", ErrorCode::Div0},
             {"C1", "red-green-blue"}, {"D1", "\xC3\xA9t\xC3\xA9"}};
  EXPECT_TRUE(sameValue(GetParam().expected, cells.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Codes, TextSearch, ::testing::Values(
    Case{"CHAR(65)", "A"},
    Case{"CHAR(128)", "\xE2\x82\xAC"},              // the euro sign in Windows-1252
    Case{"CHAR(233)", "\xC3\xA9"},
    Case{"CHAR(255.9)", "\xC3\xBF"},
    Case{"CHAR(0)", ErrorCode::Value},
    Case{"CHAR(256)", ErrorCode::Value},
    Case{"CODE(\"Abc\")", 65.0},
    Case{"CODE(\"\xE2\x82\xAC\")", 128.0},
    Case{"CODE(\"\xE2\x88\x9A\")", 63.0},           // no Windows-1252 code: '?'
    Case{"CODE(\"\")", ErrorCode::Value},
    Case{"CODE(B1)", ErrorCode::Div0},
    Case{"UNICHAR(8364)", "\xE2\x82\xAC"},
    Case{"UNICHAR(128512)", "\xF0\x9F\x98\x80"},
    Case{"UNICHAR(0)", ErrorCode::Value},
    Case{"UNICHAR(55296)", ErrorCode::NA},            // half a surrogate pair
    Case{"UNICHAR(1114112)", ErrorCode::Value},
    Case{"UNICODE(\"\xF0\x9F\x98\x80!\")", 128512.0},
    Case{"UNICODE(D1)", 233.0},
    Case{"CLEAN(CHAR(9)&\"a\"&CHAR(10)&\"b\"&CHAR(127))", "ab\x7F"},
    Case{"PROPER(\"hello wORLD 2b o'neil\")", "Hello World 2B O'Neil"},
    Case{"PROPER(\"\xC3\xA9t\xC3\xA9 \xC3\xA0 rome\")", "\xC3\x89t\xC3\xA9 \xC3\x80 Rome"}));

INSTANTIATE_TEST_SUITE_P(Finding, TextSearch, ::testing::Values(
    Case{"FIND(\"g\",C1)", 5.0},
    Case{"FIND(\"G\",C1)", ErrorCode::Value},         // FIND tells case apart
    Case{"SEARCH(\"G\",C1)", 5.0},
    Case{"FIND(\"e\",C1,3)", 7.0},
    Case{"FIND(\"\",C1,15)", 15.0},                   // one past the end is still inside
    Case{"FIND(\"\",C1,16)", ErrorCode::Value},
    Case{"FIND(\"r\",C1,0)", ErrorCode::Value},
    Case{"FIND(\"t\",D1)", 2.0},                      // characters, not bytes
    Case{"SEARCH(\"g*n\",C1)", 5.0},
    Case{"SEARCH(\"?l\",C1)", 11.0},
    Case{"SEARCH(\"~*\",\"a*b\")", 2.0},
    Case{"SEARCH(\"~d\",\"My dear\")", 4.0},          // a tilde makes any character plain
    Case{"SEARCH(\"~\",\"Hello\")", 1.0},
    Case{"SEARCH(\"x\",C1)", ErrorCode::Value},
    Case{"FINDB(\"b\",C1)", 11.0},
    Case{"SEARCHB(\"B\",C1)", 11.0},
    Case{"FIND(B1,C1)", ErrorCode::Div0},
    Case{"FIND(\"b\",\"\xF0\x9F\x98\x80" "b\")", 3.0},      // after an emoji, two units on
    Case{"SEARCH(\"\xC3\x89\",D1)", 1.0},                   // Latin-1 letters match either case
    Case{"SEARCH(\"e\",C1,14)", 14.0},
    Case{"SEARCH(\"e\",C1,15)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(Replacing, TextSearch, ::testing::Values(
    Case{"SUBSTITUTE(C1,\"-\",\"+\")", "red+green+blue"},
    Case{"SUBSTITUTE(C1,\"-\",\"+\",2)", "red-green+blue"},
    Case{"SUBSTITUTE(C1,\"-\",\"+\",3)", "red-green-blue"},
    Case{"SUBSTITUTE(C1,\"-\",\"+\",0)", ErrorCode::Value},
    Case{"SUBSTITUTE(C1,\"\",\"+\")", "red-green-blue"},
    Case{"SUBSTITUTE(\"aaa\",\"aa\",\"b\")", "ba"},   // matches do not overlap
    Case{"SUBSTITUTE(REPT(\"a\",20000),\"a\",\"bb\")", ErrorCode::Value},
    Case{"REPLACE(C1,5,5,\"GREEN\")", "red-GREEN-blue"},
    Case{"REPLACE(\"abc\",10,1,\"x\")", "abcx"},
    Case{"REPLACE(\"abc\",1,0,\"x\")", "xabc"},
    Case{"REPLACE(D1,2,1,\"T\")", "\xC3\xA9T\xC3\xA9"},
    Case{"REPLACE(\"abc\",0,1,\"x\")", ErrorCode::Value},
    Case{"REPLACE(\"abc\",1,-1,\"x\")", ErrorCode::Value},
    Case{"REPLACEB(\"abc\",2,1,\"x\")", "axc"},
    Case{"SUBSTITUTE(D1,\"\xC3\xA9\",\"e\",2)", "\xC3\xA9te"},
    Case{"SUBSTITUTE(A4,4,\"four\")", "four"}));

INSTANTIATE_TEST_SUITE_P(Joining, TextSearch, ::testing::Values(
    Case{"CONCATENATE(A1,A4,TRUE,2.5)", "a4TRUE2.5"},
    Case{"CONCATENATE(A1,B1)", ErrorCode::Div0},
    Case{"CONCAT(A1:A4)", "ac4"},
    Case{"CONCAT({1,2;3,4},\"x\")", "1234x"},
    Case{"CONCAT(A1:B1)", ErrorCode::Div0},
    Case{"CONCAT(FALSE,A2,1/4)", "FALSE0.25"},
    Case{"TEXTJOIN(\"-\",TRUE,A1:A4)", "a-c-4"},
    Case{"TEXTJOIN(\"-\",FALSE,A1:A4)", "a--c-4"},
    Case{"TEXTJOIN({\"+\",\"=\"},TRUE,1,2,3)", "1+2=3"},
    Case{"TEXTJOIN(\"\",TRUE,A1,\"b\")", "ab"},
    Case{"TEXTJOIN(\",\",\"maybe\",A1)", ErrorCode::Value},
    Case{"TEXTJOIN(\",\",TRUE,A1,B1)", ErrorCode::Div0},
    Case{"CONCAT(REPT(\"a\",20000),REPT(\"b\",20000))", ErrorCode::Value},
    // The limit counts characters, not bytes, and stops a join before it grows.
    Case{"LEN(CONCAT(REPT(\"\xC3\xA9\",16000),REPT(\"\xC3\xA9\",16767)))", 32767.0},
    Case{"CONCAT(REPT(\"\xC3\xA9\",16000),REPT(\"\xC3\xA9\",16768))", ErrorCode::Value},
    Case{"LEN(TEXTJOIN(\",\",TRUE,REPT(\"a\",32765),\"b\"))", 32767.0},
    Case{"TEXTJOIN(\",\",TRUE,REPT(\"a\",32766),\"b\")", ErrorCode::Value},
    Case{"LEN(CONCATENATE(REPT(\"a\",32766),\"b\"))", 32767.0},
    Case{"CONCATENATE(REPT(\"a\",32767),\"b\")", ErrorCode::Value},
    Case{"SUBSTITUTE(REPT(\"a\",32767),\"a\",REPT(\"b\",32767))", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(BeforeAndAfter, TextSearch, ::testing::Values(
    Case{"TEXTBEFORE(C1,\"-\")", "red"},
    Case{"TEXTAFTER(C1,\"-\")", "green-blue"},
    Case{"TEXTBEFORE(C1,\"-\",2)", "red-green"},
    Case{"TEXTAFTER(C1,\"-\",-1)", "blue"},
    Case{"TEXTAFTER(C1,\"-\",-1.5)", "green-blue"},   // counts are rounded down
    Case{"TEXTBEFORE(C1,\"-\",3)", ErrorCode::NA},
    Case{"TEXTBEFORE(C1,\"-\",3,0,1)", "red-green-blue"},  // the end counts as a delimiter
    Case{"TEXTAFTER(C1,\"-\",-3,0,1)", "red-green-blue"},
    Case{"TEXTBEFORE(C1,\"-\",3,0,0,\"none\")", "none"},
    Case{"TEXTBEFORE(C1,\"-\",3,0,0,A2)", ""},
    Case{"TEXTAFTER(C1,\"GREEN\",1,1)", "-blue"},
    Case{"TEXTBEFORE(D1,\"T\",1,1)", "\xC3\xA9"},
    Case{"TEXTAFTER(C1,\"GREEN\")", ErrorCode::NA},
    Case{"TEXTAFTER(C1,{\"n-\",\"d-\"})", "green-blue"},
    Case{"TEXTBEFORE(C1,\"\")", ""},
    Case{"TEXTAFTER(C1,\"\",-1)", ""},
    Case{"TEXTBEFORE(C1,\"-\",0)", ErrorCode::Value},
    Case{"TEXTBEFORE(C1,\"-\",1,2)", ErrorCode::Value},
    Case{"TEXTBEFORE(C1,\"-\",1,0,2)", ErrorCode::Value},
    Case{"TEXTBEFORE(\"ab\",\"abc\",1)", ErrorCode::Value},
    Case{"TEXTBEFORE(\"ab\",\"abc\")", ErrorCode::NA},
    Case{"TEXTBEFORE(B1,\"-\")", ErrorCode::Div0}));

// The whole array is seen through TEXTJOIN, row by row.
INSTANTIATE_TEST_SUITE_P(Splitting, TextSearch, ::testing::Values(
    Case{"TEXTSPLIT(C1,\"-\")", "red"},
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(C1,\"-\"))", "red|green|blue"},
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(\"1,2;3\",\",\",\";\"))", ErrorCode::NA},  // the padding
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(\"1,2;3\",\",\",\";\",,,\"-\"))", "1|2|3|-"},
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(\"1,,2\",\",\"))", "1||2"},
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(\"1,,2\",\",\",,TRUE))", "1|2"},
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(\"aXbxc\",\"x\",,,1))", "a|b|c"},
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(\"1.2-3\",{\".\",\"-\"}))", "1|2|3"},
    Case{"TEXTJOIN(\"|\",FALSE,TEXTSPLIT(\"a;b\",,\";\"))", "a|b"},
    Case{"TEXTSPLIT(\"abc\",\"\")", ErrorCode::Value},
    Case{"TEXTSPLIT(\",,\",\",\",,TRUE)", ErrorCode::Value},
    Case{"TEXTSPLIT(\"abc\",\"b\",,,2)", ErrorCode::Value},
    Case{"TEXTSPLIT(B1,\",\")", ErrorCode::Div0},
    // A short text whose padding would make a huge array is refused, not built.
    Case{"TEXTSPLIT(REPT(\",\",3000)&REPT(\";\",3000),\",\",\";\")", ErrorCode::Value}));

}  // namespace
}  // namespace calc::testing
