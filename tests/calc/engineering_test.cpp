// Engineering functions: Bessel, error functions, DELTA/GESTEP, bits, base conversions and
// CONVERT. Sources: Microsoft's documentation of each function (limits, error values, the
// examples it gives); Bessel and error function values from an arbitrary-precision library,
// so that they judge the engine's computation rather than restate it.
#include <cmath>

#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A1: empty, A2: TRUE, A3: "12", A4: #DIV/0!, A5: "" as text, B1:B3 1, 2, 3.
Book dataBook() {
  return Book{{"A2", true}, {"A3", "12"}, {"A4", ErrorCode::Div0}, {"A5", ""},
              {"B1", 1.0},  {"B2", 2.0},  {"B3", 3.0}};
}

class EngineeringExact : public ::testing::TestWithParam<Case> {};

TEST_P(EngineeringExact, GiveExcelsResult) {
  Book book = dataBook();
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

// Values against a reference to 13 significant digits: the library's last bits may differ.
class EngineeringNear : public ::testing::TestWithParam<Case> {};

TEST_P(EngineeringNear, AgreeWithTheReference) {
  Book book = dataBook();
  const Value got = book.eval(GetParam().formula);
  ASSERT_TRUE(got.isNumber()) << show(got);
  const double want = GetParam().expected.number();
  EXPECT_NEAR(want, got.number(), 1e-13 * std::fabs(want));
}

// The Bessel functions follow the classic fits spreadsheets use, which are good to about 1e-8.
// Each branch of each fit, its break points and the recurrences above order 1 are checked against
// an arbitrary-precision reference within 3e-7: a wrong coefficient, break point, recurrence or
// scaling misses by far more, while the exact library values would not tell the fits apart.
struct BesselCase {
  const char* formula;
  double reference;
};

void PrintTo(const BesselCase& c, std::ostream* os) { *os << c.formula; }

class BesselFits : public ::testing::TestWithParam<BesselCase> {};

TEST_P(BesselFits, StayWithinTheFitsError) {
  Book book = dataBook();
  const Value got = book.eval(GetParam().formula);
  ASSERT_TRUE(got.isNumber()) << show(got);
  const double want = GetParam().reference;
  EXPECT_NEAR(want, got.number(), 3e-7 * std::fabs(want));
}

INSTANTIATE_TEST_SUITE_P(BesselJ, BesselFits, ::testing::Values(
    BesselCase{"BESSELJ(0.5,0)", 0.9384698072408129},
    BesselCase{"BESSELJ(7.99,0)", 0.17399001312793258},      // the rational fits end below 8
    BesselCase{"BESSELJ(7.99,1)", 0.23320071425350178},
    BesselCase{"BESSELJ(8,0)", 0.1716508071375539},          // the asymptotic form from 8 on
    BesselCase{"BESSELJ(8,1)", 0.23463634685391463},
    BesselCase{"BESSELJ(12,1)", -0.2234471044906276},
    BesselCase{"BESSELJ(20,1)", 0.06683312417585005},
    BesselCase{"BESSELJ(3,5)", 0.043028434877047585},        // x below the order: downward
    BesselCase{"BESSELJ(2,40)", 1.1960774581136801e-48},
    BesselCase{"BESSELJ(30,4)", -0.052609000321320355},      // x above the order: upward
    BesselCase{"BESSELJ(1000,2)", -0.024777229528605997},
    BesselCase{"BESSELJ(-6,3)", -0.1147683848207753},
    BesselCase{"BESSELJ(1,1.999)", 0.44005058574493352}));   // the order is truncated

INSTANTIATE_TEST_SUITE_P(BesselY, BesselFits, ::testing::Values(
    BesselCase{"BESSELY(0.3,0)", -0.8072735778045195},
    BesselCase{"BESSELY(7.99,0)", 0.22192874178576452},
    BesselCase{"BESSELY(7.99,1)", -0.16048695141166464},
    BesselCase{"BESSELY(8,0)", 0.22352148938756622},
    BesselCase{"BESSELY(8,1)", -0.1580604617312475},
    BesselCase{"BESSELY(25,1)", -0.09882996478323741},
    BesselCase{"BESSELY(3,4)", -0.9166828387251396},
    BesselCase{"BESSELY(0.001,2)", -1273239.8630456675},
    BesselCase{"BESSELY(60,7)", -0.10311201709526646},
    BesselCase{"BESSELY(\"1\",2)", -1.6506826068162544}));    // numeric text is read

INSTANTIATE_TEST_SUITE_P(BesselI, BesselFits, ::testing::Values(
    BesselCase{"BESSELI(3.7,0)", 8.738617524169397},
    BesselCase{"BESSELI(3.75,0)", 9.118945860844567},        // e^x/sqrt(x) times a fit from 3.75 on
    BesselCase{"BESSELI(3.75,1)", 7.780015229824416},
    BesselCase{"BESSELI(20,0)", 43558282.559553534},
    BesselCase{"BESSELI(-3,3)", -0.9597536294960078},
    BesselCase{"BESSELI(2,5)", 0.009825679323131702},
    BesselCase{"BESSELI(0.01,4)", 2.604179687527127e-11},
    BesselCase{"BESSELI(30,3)", 671140461797.4396},
    BesselCase{"BESSELI(711,1)", 9.080770067322847e+306}));  // e^711 alone would overflow

INSTANTIATE_TEST_SUITE_P(BesselK, BesselFits, ::testing::Values(
    BesselCase{"BESSELK(0.01,1)", 99.97389411829624},
    BesselCase{"BESSELK(2,0)", 0.11389387274953344},         // the fits through I end at 2
    BesselCase{"BESSELK(2,1)", 0.13986588181652243},
    BesselCase{"BESSELK(2.01,1)", 0.1380408773192077},
    BesselCase{"BESSELK(5,1)", 0.004044613445452165},
    BesselCase{"BESSELK(3,6)", 3.431763217942136},
    BesselCase{"BESSELK(0.5,20)", 6.665549874417156e+28},
    BesselCase{"BESSELK(600,0)", 1.3558285309948523e-262}));

INSTANTIATE_TEST_SUITE_P(BesselDomain, EngineeringExact, ::testing::Values(
    Case{"BESSELJ(0,0)", 57568490574.0 / 57568490411.0},  // the fit's value at 0, as spreadsheets show it
    Case{"BESSELJ(A1,0)", 57568490574.0 / 57568490411.0},  // an empty cell is 0
    Case{"BESSELI(0,0)", 1.0},
    Case{"BESSELI(0,3)", 0.0},
    Case{"BESSELJ(0,5)", 0.0},
    Case{"BESSELJ(1,-1)", ErrorCode::Num},      // negative order
    Case{"BESSELK(0,1)", ErrorCode::Num},       // K and Y only for x > 0
    Case{"BESSELY(-1,1)", ErrorCode::Num},
    Case{"BESSELJ(1,10000)", 0.0},              // the largest order; below the smallest number
    Case{"BESSELI(1,10000)", 0.0},
    Case{"BESSELJ(1,10001)", ErrorCode::Num},   // beyond the largest order
    Case{"BESSELK(1,10000)", ErrorCode::Num},   // beyond the largest number
    Case{"BESSELY(1,10000)", ErrorCode::Num},
    Case{"BESSELI(800,0)", ErrorCode::Num},
    Case{"BESSELY(1E-300,9999)", ErrorCode::Num},
    Case{"BESSELK(1E-300,9999)", ErrorCode::Num},
    Case{"BESSELK(800,0)", 0.0},                // below the smallest number
    Case{"BESSELJ(A2,1)", ErrorCode::Value},    // booleans are refused
    Case{"BESSELJ(TRUE,1)", ErrorCode::Value},
    Case{"BESSELJ(1,)", ErrorCode::NA},         // a left-out argument
    Case{"BESSELJ(A4,1)", ErrorCode::Div0},
    Case{"BESSELJ(\"x\",1)", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(ErrorFunctions, EngineeringNear, ::testing::Values(
    Case{"ERF(1)", 0.84270079294971487},
    Case{"ERF(1,2)", 0.15262147206923786},        // from the lower to the upper limit
    Case{"ERF(2,1)", -0.15262147206923786},
    Case{"ERF(\"1\",\"2\")", 0.15262147206923786},
    Case{"ERF(-0.5)", -0.52049987781304654},       // negative limits are accepted
    Case{"_xlfn.ERF.PRECISE(0.5)", 0.52049987781304654},
    Case{"ERFC(2)", 0.0046777349810472658},
    Case{"ERFC(-1)", 1.8427007929497149},
    Case{"ERFC(10)", 2.0884875837625448e-45},      // not 1 - ERF(10), which is 0
    Case{"_xlfn.ERFC.PRECISE(2)", 0.0046777349810472658}));

INSTANTIATE_TEST_SUITE_P(ErrorFunctionArguments, EngineeringExact, ::testing::Values(
    Case{"ERF(0)", 0.0},
    Case{"ERF(A1)", 0.0},                // an empty cell is 0
    Case{"ERF(A1,A1)", 0.0},
    Case{"ERFC(A1)", 1.0},
    Case{"ERF(-100,100)", 2.0},
    Case{"ERFC(-100)", 2.0},
    Case{"ERFC(100)", 0.0},              // below the smallest number
    Case{"ERF(TRUE)", ErrorCode::Value},
    Case{"ERF(1,TRUE)", ErrorCode::Value},
    Case{"ERFC(A2)", ErrorCode::Value},
    Case{"_xlfn.ERF.PRECISE(TRUE)", ErrorCode::Value},
    Case{"ERF(1,)", ErrorCode::NA},
    Case{"ERF(A4)", ErrorCode::Div0},
    Case{"ERF(\"x\")", ErrorCode::Value}));

INSTANTIATE_TEST_SUITE_P(DeltaAndGestep, EngineeringExact, ::testing::Values(
    Case{"DELTA(5,4)", 0.0},
    Case{"DELTA(5,5)", 1.0},
    Case{"DELTA(0.5,0)", 0.0},
    Case{"DELTA(0)", 1.0},                       // the second number defaults to 0
    Case{"DELTA(A1)", 1.0},
    Case{"DELTA(3,3.000000000000001)", 0.0},     // exact, not to 15 digits
    Case{"DELTA(A3,12)", 1.0},
    Case{"DELTA(TRUE,1)", ErrorCode::Value},
    Case{"DELTA(1,)", ErrorCode::NA},
    Case{"GESTEP(5,4)", 1.0},
    Case{"GESTEP(5,5)", 1.0},
    Case{"GESTEP(-4,-5)", 1.0},
    Case{"GESTEP(-1)", 0.0},                     // the step defaults to 0
    Case{"GESTEP(3,3.000000000000001)", 0.0},
    Case{"GESTEP(A2)", ErrorCode::Value},
    Case{"GESTEP(A4,1)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Bits, EngineeringExact, ::testing::Values(
    Case{"_xlfn.BITAND(13,25)", 9.0},
    Case{"_xlfn.BITOR(23,10)", 31.0},
    Case{"_xlfn.BITXOR(5,3)", 6.0},
    Case{"_xlfn.BITAND(2^48-1,2^48-1)", 281474976710655.0},  // the largest operand
    Case{"_xlfn.BITAND(2^48,1)", ErrorCode::Num},
    Case{"_xlfn.BITOR(-1,1)", ErrorCode::Num},
    Case{"_xlfn.BITXOR(1.5,1)", ErrorCode::Num},               // whole numbers only
    Case{"_xlfn.BITAND(TRUE,3)", 1.0},                         // booleans count as 1 and 0
    Case{"_xlfn.BITOR(A3,1)", 13.0},
    Case{"_xlfn.BITAND(A4,1)", ErrorCode::Div0},
    Case{"_xlfn.BITLSHIFT(4,2)", 16.0},
    Case{"_xlfn.BITLSHIFT(4,-2)", 1.0},                        // a negative shift goes right
    Case{"_xlfn.BITLSHIFT(12,34.9)", 206158430208.0},          // the shift is truncated
    Case{"_xlfn.BITLSHIFT(1,47)", 140737488355328.0},
    Case{"_xlfn.BITLSHIFT(1,48)", ErrorCode::Num},             // the result must stay below 2^48
    Case{"_xlfn.BITLSHIFT(0,53)", 0.0},
    Case{"_xlfn.BITLSHIFT(1,54)", ErrorCode::Num},             // at most 53 places either way
    Case{"_xlfn.BITRSHIFT(13,2)", 3.0},
    Case{"_xlfn.BITRSHIFT(13,-2)", 52.0},
    Case{"_xlfn.BITRSHIFT(12,53)", 0.0},
    Case{"_xlfn.BITRSHIFT(12,-54)", ErrorCode::Num},
    Case{"_xlfn.BITRSHIFT(3,A1)", 3.0}));

INSTANTIATE_TEST_SUITE_P(BaseConversions, EngineeringExact, ::testing::Values(
    Case{"BIN2DEC(1100100)", 100.0},                  // a number is read as its digits
    Case{"BIN2DEC(\"1111111111\")", -1.0},            // ten digits, top bit set: negative
    Case{"BIN2DEC(\"1000000000\")", -512.0},
    Case{"BIN2DEC(\"0111111111\")", 511.0},
    Case{"BIN2DEC(\"11111111111\")", ErrorCode::Num},  // more than ten digits
    Case{"BIN2DEC(2)", ErrorCode::Num},
    Case{"BIN2DEC(1.5)", ErrorCode::Num},
    Case{"BIN2DEC(-1)", ErrorCode::Num},
    Case{"BIN2DEC(\" 1\")", ErrorCode::Num},
    Case{"BIN2DEC(TRUE)", ErrorCode::Value},
    Case{"BIN2DEC(A1)", 0.0},                         // an empty cell
    Case{"BIN2DEC(A5)", 0.0},                         // an empty text
    Case{"BIN2DEC(A4)", ErrorCode::Div0},
    Case{"BIN2HEX(11111011,4)", "00FB"},
    Case{"BIN2HEX(1110)", "E"},
    Case{"BIN2HEX(\"1110111011\",4)", "FFFFFFFFBB"},    // negative: ten digits, places ignored
    Case{"BIN2OCT(1001,3)", "011"},
    Case{"BIN2OCT(\"1000000000\")", "7777777000"},
    Case{"DEC2BIN(9,4)", "1001"},
    Case{"DEC2BIN(-100)", "1110011100"},
    Case{"DEC2BIN(511)", "111111111"},
    Case{"DEC2BIN(512)", ErrorCode::Num},
    Case{"DEC2BIN(-512)", "1000000000"},
    Case{"DEC2BIN(-513)", ErrorCode::Num},
    Case{"DEC2BIN(2.9)", "10"},                       // truncated toward zero
    Case{"DEC2BIN(-2.9)", "1111111110"},
    Case{"DEC2BIN(A3)", "1100"},
    Case{"DEC2BIN(A1,3)", "000"},
    Case{"DEC2BIN(TRUE)", ErrorCode::Value},
    Case{"DEC2HEX(100,4)", "0064"},
    Case{"DEC2HEX(-54)", "FFFFFFFFCA"},
    Case{"DEC2HEX(549755813887)", "7FFFFFFFFF"},
    Case{"DEC2HEX(-549755813888)", "8000000000"},
    Case{"DEC2HEX(549755813888)", ErrorCode::Num},
    Case{"DEC2HEX(1E300)", ErrorCode::Num},
    Case{"DEC2OCT(58,3)", "072"},
    Case{"DEC2OCT(-100)", "7777777634"},
    Case{"DEC2OCT(536870911)", "3777777777"},
    Case{"DEC2OCT(536870912)", ErrorCode::Num},
    Case{"DEC2OCT(-536870912)", "4000000000"},
    Case{"HEX2BIN(\"F\",8)", "00001111"},
    Case{"HEX2BIN(\"B7\")", "10110111"},
    Case{"HEX2BIN(\"FFFFFFFE00\")", "1000000000"},     // -512 still fits ten bits
    Case{"HEX2BIN(\"FFFFFFFDFF\")", ErrorCode::Num},
    Case{"HEX2BIN(\"200\")", ErrorCode::Num},
    Case{"HEX2DEC(\"A5\")", 165.0},
    Case{"HEX2DEC(\"ff\")", 255.0},                    // either case
    Case{"HEX2DEC(\"FFFFFFFF5B\")", -165.0},
    Case{"HEX2DEC(\"3DA408B9\")", 1034160313.0},
    Case{"HEX2DEC(\"8000000000\")", -549755813888.0},
    Case{"HEX2DEC(\"G\")", ErrorCode::Num},
    Case{"HEX2DEC(10)", 16.0},
    Case{"HEX2OCT(\"F\",3)", "017"},
    Case{"HEX2OCT(\"3B4E\")", "35516"},
    Case{"HEX2OCT(\"FFFFFFFF00\")", "7777777400"},
    Case{"HEX2OCT(\"FFFFFFFF\")", ErrorCode::Num},       // beyond 30 bits
    Case{"OCT2BIN(3,3)", "011"},
    Case{"OCT2BIN(\"7777777000\")", "1000000000"},
    Case{"OCT2BIN(1000)", ErrorCode::Num},
    Case{"OCT2DEC(54)", 44.0},
    Case{"OCT2DEC(\"7777777533\")", -165.0},
    Case{"OCT2DEC(8)", ErrorCode::Num},
    Case{"OCT2HEX(100,4)", "0040"},
    Case{"OCT2HEX(\"7777777533\")", "FFFFFFFF5B"},
    Case{"OCT2HEX(\"4000000000\")", "FFE0000000"}));

INSTANTIATE_TEST_SUITE_P(Places, EngineeringExact, ::testing::Values(
    Case{"DEC2BIN(3,10)", "0000000011"},
    Case{"DEC2BIN(3,2.9)", "11"},                     // truncated
    Case{"DEC2BIN(3,1)", ErrorCode::Num},             // fewer places than digits
    Case{"DEC2BIN(3,0)", ErrorCode::Num},
    Case{"DEC2BIN(3,11)", ErrorCode::Num},
    Case{"DEC2BIN(-3,0)", ErrorCode::Num},            // checked even when ignored
    Case{"DEC2BIN(-3,1)", "1111111101"},
    Case{"DEC2HEX(3,A1)", ErrorCode::Num},            // an empty cell is 0 places
    Case{"DEC2HEX(3,\"4\")", "0003"},
    Case{"DEC2HEX(3,TRUE)", ErrorCode::Value},
    Case{"DEC2HEX(3,)", ErrorCode::NA},
    Case{"DEC2HEX(3,A4)", ErrorCode::Div0}));

INSTANTIATE_TEST_SUITE_P(Units, EngineeringNear, ::testing::Values(
    Case{"CONVERT(1,\"lbm\",\"kg\")", 0.45359237},
    Case{"CONVERT(68,\"F\",\"C\")", 20.0},
    Case{"CONVERT(0,\"K\",\"C\")", -273.15},
    Case{"CONVERT(1,\"Rank\",\"K\")", 5.0 / 9},
    Case{"CONVERT(1,\"Reau\",\"C\")", 1.25},
    Case{"CONVERT(300,\"mK\",\"K\")", 0.3},             // kelvins take prefixes
    Case{"CONVERT(2.5,\"ft\",\"in\")", 30.0},
    Case{"CONVERT(6,\"tsp\",\"tbs\")", 2.0},
    Case{"CONVERT(1,\"gal\",\"l\")", 3.785411784},
    Case{"CONVERT(100,\"ft^2\",\"m2\")", 9.290304},
    Case{"CONVERT(1,\"km2\",\"m2\")", 1e6},              // the prefix is squared
    Case{"CONVERT(1,\"cm3\",\"m^3\")", 1e-6},            // and cubed
    Case{"CONVERT(1,\"kar\",\"m2\")", 1e5},              // but not for a unit of area itself
    Case{"CONVERT(1,\"ha\",\"ar\")", 100.0},             // a hectare, not a hecto-are
    Case{"CONVERT(1,\"mi\",\"km\")", 1.609344},          // a mile, not a milli-i
    Case{"CONVERT(1,\"Pa\",\"mmHg\")", 1 / 133.322},     // a pascal, not a peta-a
    Case{"CONVERT(1,\"dam\",\"m\")", 10.0},              // deka
    Case{"CONVERT(1,\"kibyte\",\"bit\")", 8192.0},       // binary prefixes on bytes
    Case{"CONVERT(1,\"Mibit\",\"kbit\")", 1048.576},
    Case{"CONVERT(1,\"mph\",\"m/s\")", 0.44704},
    Case{"CONVERT(1,\"kn\",\"m/h\")", 1852.0},
    Case{"CONVERT(1,\"yr\",\"day\")", 365.25},
    Case{"CONVERT(1,\"atm\",\"Torr\")", 760.0},
    Case{"CONVERT(1,\"HP\",\"W\")", 745.69987158227022},
    Case{"CONVERT(1,\"BTU\",\"J\")", 1055.05585262},
    Case{"CONVERT(1,\"ly\",\"pc\")", 9460730472580800 / 3.0856775812815532e16},
    Case{"CONVERT(1,\"T\",\"ga\")", 1e4},
    Case{"CONVERT(1,\"lbf\",\"dyn\")", 444822.16152605},
    Case{"CONVERT(A3,\"in\",\"ft\")", 1.0}));

INSTANTIATE_TEST_SUITE_P(Temperatures, EngineeringExact, ::testing::Values(
    Case{"CONVERT(100,\"C\",\"F\")", 212.0},   // exact, not 211.99999999999997
    Case{"CONVERT(-40,\"fah\",\"cel\")", -40.0},
    Case{"CONVERT(0.1,\"C\",\"cel\")", 0.1},
    Case{"CONVERT(300,\"K\",\"kel\")", 300.0},
    Case{"CONVERT(300,\"K\",\"kK\")", 0.3},
    Case{"CONVERT(273.15,\"K\",\"C\")", 0.0},
    Case{"CONVERT(80,\"Reau\",\"C\")", 100.0},
    Case{"CONVERT(491.67,\"Rank\",\"F\")", 32.0},
    Case{"CONVERT(9,\"Rank\",\"K\")", 5.0}));     // through kelvins, no 491.67 rounding

INSTANTIATE_TEST_SUITE_P(UnitErrors, EngineeringExact, ::testing::Values(
    Case{"CONVERT(1,\"m\",\"kg\")", ErrorCode::NA},     // different quantities
    Case{"CONVERT(1,\"furlong\",\"m\")", ErrorCode::NA},
    Case{"CONVERT(1,\"M\",\"m\")", ErrorCode::NA},      // names are case sensitive
    Case{"CONVERT(1,\"kft\",\"m\")", ErrorCode::NA},    // feet take no prefix
    Case{"CONVERT(1,\"kim\",\"m\")", ErrorCode::NA},    // binary prefixes only on bits and bytes
    Case{"CONVERT(1,\"kC\",\"K\")", ErrorCode::NA},
    Case{"CONVERT(1,\"\",\"m\")", ErrorCode::NA},
    Case{"CONVERT(1,A1,\"m\")", ErrorCode::NA},
    Case{"CONVERT(1,5,\"m\")", ErrorCode::NA},
    Case{"CONVERT(TRUE,\"m\",\"m\")", ErrorCode::Value},
    Case{"CONVERT(\"x\",\"m\",\"m\")", ErrorCode::Value},
    Case{"CONVERT(A4,\"m\",\"m\")", ErrorCode::Div0},
    Case{"CONVERT(1,\"m\",A4)", ErrorCode::Div0},
    Case{"CONVERT(1E300,\"ly3\",\"m3\")", ErrorCode::Num}));  // beyond the largest number

// Every unit converted to its quantity's first unit and back returns to where it started.
TEST(Units, ConvertBackAndForth) {
  const std::pair<const char*, const char*> pairs[] = {
      {"sg", "g"}, {"u", "ozm"}, {"grain", "stone"}, {"uk_ton", "LTON"}, {"Nmi", "m"}, {"ell", "Picapt"},
      {"pica", "survey_mi"}, {"parsec", "ly"}, {"hr", "mn"}, {"psi", "at"}, {"pond", "N"}, {"eV", "cal"},
      {"flb", "HPh"}, {"PS", "h"}, {"fah", "cel"}, {"Reau", "Rank"}, {"uk_pt", "barrel"}, {"bushel", "MTON"},
      {"Nmi3", "regton"}, {"us_acre", "Morgen"}, {"Pica^2", "ly2"}, {"admkn", "m/hr"}, {"byte", "Gibit"}};
  Book book;
  for (const auto& [a, b] : pairs) {
    const std::string there = std::string("CONVERT(7,\"") + a + "\",\"" + b + "\")";
    const Value back = book.eval("CONVERT(" + there + ",\"" + b + "\",\"" + a + "\")");
    ASSERT_TRUE(back.isNumber()) << a << " " << b << " " << show(back);
    EXPECT_NEAR(7.0, back.number(), 1e-12) << a << " " << b;
  }
}

}  // namespace
}  // namespace calc::testing
