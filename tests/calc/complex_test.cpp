// Complex numbers as text: COMPLEX and the IM... functions. Sources: Microsoft's documentation
// of each function (its examples, where they are exact to 15 digits), the texts the spreadsheet
// accepts and writes ("3+4i", "-j", "1E-20"), and values from an arbitrary-precision library
// rounded to the 15 digits a result keeps.
#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1: empty, A2: TRUE, A3: "3+4i", A4: #DIV/0!, A5: "1+j", A6: 2, A7: "" as text.
Book complexBook() {
  return Book{{"A2", true}, {"A3", "3+4i"}, {"A4", ErrorCode::Div0}, {"A5", "1+j"}, {"A6", 2.0}, {"A7", ""}};
}

class ComplexFunctions : public ::testing::TestWithParam<Case> {};

TEST_P(ComplexFunctions, GiveExcelsResult) {
  Book book = complexBook();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Written, ComplexFunctions, ::testing::Values(
    Case{"COMPLEX(3,4)", "3+4i"},
    Case{"COMPLEX(3,4,\"j\")", "3+4j"},
    Case{"COMPLEX(3,-4,\"\")", "3-4i"},
    Case{"COMPLEX(0,1)", "i"},                      // a coefficient of 1 is left out
    Case{"COMPLEX(0,-1,\"j\")", "-j"},
    Case{"COMPLEX(2,1)", "2+i"},
    Case{"COMPLEX(1,0)", "1"},                      // a zero part is dropped
    Case{"COMPLEX(0,-2.5)", "-2.5i"},
    Case{"COMPLEX(0,0)", "0"},
    Case{"COMPLEX(-0.5,0.25)", "-0.5+0.25i"},
    Case{"COMPLEX(1/3,2/3)", "0.333333333333333+0.666666666666667i"},  // 15 digits
    Case{"COMPLEX(123456789012345,0)", "123456789012345"},
    Case{"COMPLEX(1234567890123456,0)", "1.23456789012346E+15"},
    Case{"COMPLEX(1E+100,0)", "1E+100"},
    Case{"COMPLEX(1E-16,0)", "0.0000000000000001"},  // decimals while they stay short
    Case{"COMPLEX(1E-18,0)", "0.000000000000000001"},
    Case{"COMPLEX(1E-20,0)", "1E-20"},
    Case{"COMPLEX(1.2E-45,-3)", "1.2E-45-3i"},
    Case{"COMPLEX(1/300000,0)", "3.33333333333333E-06"},
    Case{"COMPLEX(0.00490825806749606,0)", "0.00490825806749606"},
    Case{"COMPLEX(\"1\",\"2\")", "1+2i"},
    Case{"COMPLEX(A6,A1,A1)", "2"},                 // empty cells: 0 and the default unit
    Case{"COMPLEX(1,2,\"I\")", ErrorCode::Value},    // the unit is a lower-case i or j
    Case{"COMPLEX(1,2,0)", ErrorCode::Value},
    Case{"COMPLEX(TRUE,2)", ErrorCode::Value},
    Case{"COMPLEX(1,)", ErrorCode::NA},
    Case{"COMPLEX(A4,2)", ErrorCode::Div0},
    Case{"COMPLEX(1,2,A4)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Read, ComplexFunctions, ::testing::Values(
    Case{"IMREAL(\"6-9i\")", 6.0},
    Case{"IMAGINARY(\"3+4i\")", 4.0},
    Case{"IMAGINARY(\"0-j\")", -1.0},
    Case{"IMAGINARY(\"i\")", 1.0},
    Case{"IMAGINARY(\"+i\")", 1.0},
    Case{"IMAGINARY(\"-4.5j\")", -4.5},
    Case{"IMAGINARY(\"2-i\")", -1.0},
    Case{"IMREAL(\"1E3+2E-1i\")", 1000.0},
    Case{"IMAGINARY(\"1E3+2E-1i\")", 0.2},
    Case{"IMAGINARY(\"1e5i\")", 100000.0},
    Case{"IMREAL(\".5+.25i\")", 0.5},
    Case{"IMREAL(\"+7\")", 7.0},
    Case{"IMAGINARY(4)", 0.0},                       // a number is real
    Case{"IMREAL(A1)", 0.0},                         // an empty cell is 0
    Case{"IMREAL(A7)", 0.0},                         // and so is an empty text
    Case{"IMREAL(A3)", 3.0},
    Case{"IMREAL(\"3 + 4i\")", ErrorCode::Num},      // no spaces
    Case{"IMREAL(\"3+4\")", ErrorCode::Num},
    Case{"IMREAL(\"4i+3\")", ErrorCode::Num},        // the real part comes first
    Case{"IMREAL(\"3+4I\")", ErrorCode::Num},
    Case{"IMREAL(\"i3\")", ErrorCode::Num},
    Case{"IMREAL(\"3+4ii\")", ErrorCode::Num},
    Case{"IMREAL(\"3++4i\")", ErrorCode::Num},
    Case{"IMREAL(\"1e\")", ErrorCode::Num},
    Case{"IMREAL(\"inf\")", ErrorCode::Num},
    Case{"IMREAL(\"=3+4i\")", ErrorCode::Num},
    Case{"IMREAL(TRUE)", ErrorCode::Value},
    Case{"IMREAL(A2)", ErrorCode::Value},
    Case{"IMREAL(A4)", ErrorCode::Div0}));

// Microsoft's examples and a few more, checked against an arbitrary-precision library.
INSTANTIATE_TEST_SUITE_P(DocumentedExamples, ComplexFunctions, ::testing::Values(
    Case{"IMABS(\"5+12i\")", 13.0},
    Case{"IMARGUMENT(\"3+4i\")", 0.92729521800161223},
    Case{"IMCONJUGATE(\"3+4i\")", "3-4i"},
    Case{"IMCOS(\"1+i\")", "0.833730025131149-0.988897705762865i"},
    Case{"_xlfn.IMCOSH(\"4+3i\")", "-27.0349456030742+3.85115333481178i"},
    Case{"_xlfn.IMCOT(\"4+3i\")", "0.00490118239430447-0.999266927805902i"},
    Case{"_xlfn.IMCSC(\"4+3i\")", "-0.0754898329158637+0.0648774713706355i"},
    Case{"_xlfn.IMCSCH(\"0.5-j\")", "0.287408174140753+0.968610889043279j"},
    Case{"_xlfn.IMCSCH(\"4+3i\")", "-0.036275889628626-0.0051744731840194i"},
    Case{"IMDIV(\"-238+240i\",\"10+24i\")", "5+12i"},
    Case{"IMEXP(\"1+i\")", "1.46869393991589+2.28735528717884i"},
    Case{"IMLN(\"3+4i\")", "1.6094379124341+0.927295218001612i"},
    Case{"IMLOG10(\"3+4i\")", "0.698970004336019+0.402719196273373i"},
    Case{"IMLOG2(\"3+4i\")", "2.32192809488736+1.33780421245098i"},
    Case{"IMPRODUCT(\"3+4i\",\"5-3i\")", "27+11i"},
    Case{"IMPRODUCT(\"1+2i\",30)", "30+60i"},
    Case{"_xlfn.IMSECH(\"4+3i\")", "-0.0362534969158689-0.00516434460775318i"},
    Case{"IMSIN(\"4+3i\")", "-7.61923172032141-6.548120040911i"},
    Case{"_xlfn.IMSINH(\"4+3i\")", "-27.0168132580039+3.85373803791938i"},
    Case{"IMSQRT(\"1+i\")", "1.09868411346781+0.455089860562227i"},
    Case{"IMSUB(\"13+4i\",\"5+3i\")", "8+i"},
    Case{"IMSUM(\"3+4i\",\"5-3i\")", "8+i"},
    Case{"_xlfn.IMTAN(\"4+3i\")", "0.00490825806749606+1.00070953606723i"}));

// Powers and roots go through the polar form, as in the spreadsheet, whose examples show
// its rounding: (2+3i)^3 is written with a last digit off, i^2 with a tiny imaginary part.
// The reciprocal functions show the 15 digits of the double nearest the exact value (taken
// in 40-digit arithmetic), though it sits a fraction of a unit from a rounding boundary; one
// that overflows is still #NUM!.
INSTANTIATE_TEST_SUITE_P(ExactDigits, ComplexFunctions, ::testing::Values(
    Case{"_xlfn.IMCSC(\"1+i\")", "0.621518017170428-0.303931001628426i"},
    Case{"_xlfn.IMCSCH(\"1+i\")", "0.303931001628426-0.621518017170428i"},
    Case{"_xlfn.IMCSC(\"12-3i\")", "-0.0536737609428415+0.0839938618035557i"},
    Case{"_xlfn.IMSEC(\"4+3i\")", "-0.0652940278579471-0.0752249603027732i"},
    Case{"_xlfn.IMSEC(\"1+700i\")", "1.06544119434148E-304+1.65932634623297E-304i"},
    Case{"_xlfn.IMSEC(\"1+800i\")", ErrorCode::Num},
    Case{"_xlfn.IMCSCH(\"800+i\")", ErrorCode::Num}));

INSTANTIATE_TEST_SUITE_P(PolarForm, ComplexFunctions, ::testing::Values(
    Case{"IMPOWER(\"2+3i\",3)", "-46+9.00000000000001i"},
    Case{"IMPOWER(\"i\",2)", "-1+1.22464679914735E-16i"},
    Case{"IMSQRT(-1)", "6.12323399573677E-17+i"},
    Case{"IMPOWER(\"4\",0.5)", "2"},
    Case{"IMPOWER(\"1+j\",0)", "1"},
    Case{"IMPOWER(0,2)", "0"},
    Case{"IMPOWER(0,0)", ErrorCode::Num},
    Case{"IMPOWER(0,-1)", ErrorCode::Num},
    Case{"IMPOWER(\"1+i\",TRUE)", ErrorCode::Value},
    Case{"IMPOWER(\"1+i\",)", ErrorCode::NA},
    Case{"IMPOWER(\"1E200\",2)", ErrorCode::Num}));  // beyond the largest number

INSTANTIATE_TEST_SUITE_P(Domains, ComplexFunctions, ::testing::Values(
    Case{"IMLN(0)", ErrorCode::Num},
    Case{"IMLOG10(\"0\")", ErrorCode::Num},
    Case{"IMLOG2(A1)", ErrorCode::Num},
    Case{"_xlfn.IMCOT(0)", ErrorCode::Num},
    Case{"_xlfn.IMCSC(0)", ErrorCode::Num},
    Case{"_xlfn.IMCSCH(0)", ErrorCode::Num},
    Case{"_xlfn.IMSEC(0)", "1"},
    Case{"_xlfn.IMSECH(0)", "1"},
    Case{"IMARGUMENT(0)", ErrorCode::Div0},
    Case{"IMDIV(1,0)", ErrorCode::Num},
    Case{"IMEXP(1000)", ErrorCode::Num},
    Case{"IMLN(-1)", "3.14159265358979i"},
    Case{"_xlfn.IMCOT(1E-16)", "1E+16"},              // no cancellation near the pole
    Case{"_xlfn.IMCOT(1E-8)", "100000000"},
    Case{"_xlfn.IMTAN(\"1+400i\")", "i"},             // far off the axis: i, not an overflow
    Case{"_xlfn.IMCOT(\"1-400i\")", "i"},
    Case{"IMCOS(\"1.2E-45-3i\")", "10.0676619957778+1.20214499128919E-44i"}));

INSTANTIATE_TEST_SUITE_P(Units, ComplexFunctions, ::testing::Values(
    Case{"IMCONJUGATE(\"1-2j\")", "1+2j"},           // the unit read is the unit written
    Case{"IMSUM(A5,2)", "3+j"},
    Case{"IMSUB(A5,\"j\")", "1"},
    Case{"IMPRODUCT(A5,A5)", "2j"},
    Case{"IMSUM(A3,A5)", ErrorCode::Value},           // i and j do not mix
    Case{"IMDIV(\"1+i\",\"1-j\")", ErrorCode::Value},
    Case{"IMSQRT(\"-4\")", "1.22464679914735E-16+2i"}));

INSTANTIATE_TEST_SUITE_P(ManyOperands, ComplexFunctions, ::testing::Values(
    Case{"IMSUM(\"1+i\",\"2-3i\",4)", "7-2i"},
    Case{"IMSUM({\"1+i\",\"2\";\"3i\",4})", "7+4i"},  // arrays
    Case{"IMSUM(A3:A3,A6)", "5+4i"},
    Case{"IMPRODUCT(A6,A1)", "0"},                    // an empty cell given alone is 0
    Case{"IMPRODUCT(A5:A7)", "0"},                    // "" is 0 as well
    Case{"IMPRODUCT(A5:A6,A8:A9)", "2+2j"},           // empty cells of a range are skipped
    Case{"IMSUM(A1,A7)", "0"},
    Case{"IMSUM(A3,A4)", ErrorCode::Div0},
    Case{"IMSUM(A3,A2)", ErrorCode::Value},
    Case{"IMSUM(A3,\"x\")", ErrorCode::Num},
    Case{"IMSUM(A3,)", ErrorCode::NA},
    Case{"IMSUB(A3,TRUE)", ErrorCode::Value},
    Case{"IMDIV(A4,1)", ErrorCode::Div0}));

}  // namespace
}  // namespace calc::testing
