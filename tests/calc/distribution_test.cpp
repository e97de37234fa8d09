// Probability distributions, their inverses and the tests over ranges. Source: Microsoft's
// documentation of each function (the examples' values to the digits it prints, and the
// argument checks it states), computed in a cell of the workbook model.
#include <cmath>

#include "workbook_eval.h"

namespace calc::testing {
namespace {

// A documented value, good to the digits the documentation prints.
struct Approx {
  const char* formula;
  double expected;
  double tolerance;
};

inline void PrintTo(const Approx& c, std::ostream* os) { *os << c.formula; }

class DocumentedValue : public ::testing::TestWithParam<Approx> {};

TEST_P(DocumentedValue, MatchesTheDocumentation) {
  const Value v = Book().eval(GetParam().formula);
  ASSERT_TRUE(v.isNumber()) << show(v);
  EXPECT_NEAR(GetParam().expected, v.number(), GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(Continuous, DocumentedValue, ::testing::Values(
    Approx{"NORM.DIST(42,40,1.5,TRUE)", 0.9087888, 1e-7},
    Approx{"NORMDIST(42,40,1.5,FALSE)", 0.10934, 1e-5},
    Approx{"NORM.INV(0.908789,40,1.5)", 42.000002, 1e-6},
    Approx{"NORM.S.DIST(1.333333,TRUE)", 0.908788726, 1e-9},
    Approx{"NORMSINV(0.908789)", 1.3333347, 1e-7},
    Approx{"LOGNORM.DIST(4,3.5,1.2,TRUE)", 0.0390836, 1e-7},
    Approx{"LOGNORM.DIST(4,3.5,1.2,FALSE)", 0.0176176, 1e-7},
    Approx{"LOGINV(0.039084,3.5,1.2)", 4.0000252, 1e-7},
    Approx{"EXPON.DIST(0.2,10,TRUE)", 0.86466472, 1e-8},
    Approx{"EXPONDIST(0.2,10,FALSE)", 1.35335283, 1e-8},
    Approx{"WEIBULL.DIST(105,20,100,TRUE)", 0.929581, 1e-6},
    Approx{"WEIBULL(105,20,100,FALSE)", 0.035589, 1e-6},
    Approx{"GAMMA.DIST(10.00001131,9,2,FALSE)", 0.032639, 1e-6},
    Approx{"GAMMADIST(10.00001131,9,2,TRUE)", 0.068094, 1e-6},
    Approx{"GAMMA.INV(0.068094,9,2)", 10.0000112, 1e-6},
    Approx{"BETA.DIST(2,8,10,TRUE,1,3)", 0.6854706, 1e-7},
    Approx{"BETA.DIST(2,8,10,FALSE,1,3)", 1.4837646, 1e-7},
    Approx{"BETADIST(2,8,10,1,3)", 0.6854706, 1e-7},
    Approx{"BETA.INV(0.685470581,8,10,1,3)", 2, 1e-8},
    Approx{"GAMMA(2.5)", 1.329340388, 1e-9},
    Approx{"GAMMA(-3.75)", 0.267866129, 1e-9},
    Approx{"GAMMALN(4)", 1.791759469, 1e-9},
    Approx{"GAMMALN.PRECISE(4)", 1.791759469, 1e-9},
    Approx{"GAUSS(2)", 0.47725, 1e-5},
    Approx{"PHI(0.75)", 0.301137432, 1e-9},
    Approx{"FISHER(0.75)", 0.972955, 1e-6},
    Approx{"FISHERINV(0.972955)", 0.75, 1e-6},
    Approx{"STANDARDIZE(42,40,1.5)", 1.333333, 1e-6},
    Approx{"CONFIDENCE.NORM(0.05,2.5,50)", 0.692952, 1e-6},
    Approx{"CONFIDENCE(0.05,2.5,50)", 0.692952, 1e-6}));

INSTANTIATE_TEST_SUITE_P(Sampling, DocumentedValue, ::testing::Values(
    Approx{"T.DIST(60,1,TRUE)", 0.99469533, 1e-8},
    Approx{"T.DIST(8,3,FALSE)", 0.00073691, 1e-8},
    Approx{"T.DIST.2T(1.959999998,60)", 0.054645, 1e-6},
    Approx{"T.DIST.RT(1.959999998,60)", 0.027322, 1e-6},
    Approx{"TDIST(1.959999998,60,2)", 0.054644930, 1e-9},
    Approx{"T.INV(0.75,2)", 0.8164966, 1e-7},
    Approx{"T.INV.2T(0.546449,60)", 0.606533, 1e-6},
    Approx{"TINV(0.054644927,60)", 1.96, 1e-6},
    Approx{"CONFIDENCE.T(0.05,1,50)", 0.284196855, 1e-9},
    Approx{"CHISQ.DIST(0.5,1,TRUE)", 0.52049988, 1e-8},
    Approx{"CHISQ.DIST(2,3,FALSE)", 0.20755375, 1e-8},
    Approx{"CHISQ.DIST.RT(18.307,10)", 0.0500006, 1e-7},
    Approx{"CHIDIST(18.307,10)", 0.050000589, 1e-9},
    Approx{"CHISQ.INV(0.93,1)", 3.283020287, 1e-9},
    Approx{"CHISQ.INV(0.6,2)", 1.832581464, 1e-9},
    Approx{"CHISQ.INV.RT(0.050001,10)", 18.306973, 1e-6},
    Approx{"CHIINV(0.050001,10)", 18.306973, 1e-6},
    Approx{"F.DIST(15.2069,6,4,TRUE)", 0.99, 1e-6},
    Approx{"F.DIST(15.2069,6,4,FALSE)", 0.0012238, 1e-7},
    Approx{"F.DIST.RT(15.2068649,6,4)", 0.01, 1e-8},
    Approx{"FDIST(15.2068649,6,4)", 0.01, 1e-8},
    Approx{"F.INV(0.01,6,4)", 0.10930991, 1e-8},
    Approx{"F.INV.RT(0.01,6,4)", 15.20686, 1e-5},
    Approx{"FINV(0.01,6,4)", 15.20686, 1e-5}));

INSTANTIATE_TEST_SUITE_P(Discrete, DocumentedValue, ::testing::Values(
    Approx{"BINOM.DIST(6,10,0.5,FALSE)", 0.2050781, 1e-7},
    Approx{"BINOMDIST(6,10,0.5,TRUE)", 0.828125, 1e-12},
    Approx{"BINOM.DIST.RANGE(60,0.75,48)", 0.084, 1e-3},
    Approx{"BINOM.DIST.RANGE(60,0.75,45,50)", 0.524, 1e-3},
    Approx{"BINOM.INV(6,0.5,0.75)", 4, 0},
    Approx{"CRITBINOM(6,0.5,0.75)", 4, 0},
    Approx{"NEGBINOM.DIST(10,5,0.25,TRUE)", 0.3135141, 1e-7},
    Approx{"NEGBINOM.DIST(10,5,0.25,FALSE)", 0.0550487, 1e-7},
    Approx{"NEGBINOMDIST(10,5,0.25)", 0.0550487, 1e-7},
    Approx{"POISSON.DIST(2,5,TRUE)", 0.124652, 1e-6},
    Approx{"POISSON(2,5,FALSE)", 0.084224, 1e-6},
    Approx{"HYPGEOM.DIST(1,4,8,20,TRUE)", 0.4654, 1e-4},
    Approx{"HYPGEOM.DIST(1,4,8,20,FALSE)", 0.3633, 1e-4},
    Approx{"HYPGEOMDIST(1,4,8,20)", 0.3633, 1e-4}));

// The tests over ranges, with the documentation's data given as array constants.
INSTANTIATE_TEST_SUITE_P(Tests, DocumentedValue, ::testing::Values(
    Approx{"Z.TEST({3,6,7,8,6,5,4,2,1,9},4)", 0.090574, 1e-6},
    Approx{"ZTEST({3,6,7,8,6,5,4,2,1,9},6)", 0.863043, 1e-6},
    Approx{"T.TEST({3,4,5,8,9,1,2,4,5},{6,19,3,2,14,4,5,17,1},2,1)", 0.196016, 1e-6},
    Approx{"F.TEST({6,7,9,15,21},{20,28,31,38,40})", 0.64831785, 1e-8},
    Approx{"CHISQ.TEST({58,35;11,25;10,23},{45.35,47.65;17.56,18.44;16.09,16.91})", 0.0003082, 1e-7}));

// Domain checks and exact values at the edges of each distribution.
class Edge : public ::testing::TestWithParam<Case> {};

TEST_P(Edge, GivesExcelsResult) { EXPECT_TRUE(sameValue(GetParam().expected, Book().eval(GetParam().formula))); }

INSTANTIATE_TEST_SUITE_P(Domains, Edge, ::testing::Values(
    Case{"NORM.DIST(1,0,0,TRUE)", ErrorCode::Num},          // the spread must be positive
    Case{"NORM.INV(0,0,1)", ErrorCode::Num},                // a probability strictly inside (0, 1)
    Case{"NORM.S.INV(1)", ErrorCode::Num},
    Case{"NORM.S.INV(0.5)", 0.0},
    Case{"LOGNORM.DIST(0,0,1,TRUE)", ErrorCode::Num},
    Case{"EXPON.DIST(-0.001,1,TRUE)", ErrorCode::Num},
    Case{"EXPON.DIST(1,0,TRUE)", ErrorCode::Num},
    Case{"GAMMA.DIST(0,0.5,1,FALSE)", ErrorCode::Num},      // the density is infinite at 0
    Case{"GAMMA.DIST(0,1,2,FALSE)", 0.5},
    Case{"GAMMA.INV(0,9,2)", 0.0},
    Case{"GAMMA.INV(1,9,2)", ErrorCode::Num},
    Case{"BETA.DIST(0.5,2,3,TRUE,1,1)", ErrorCode::Num},    // an empty interval
    Case{"BETA.DIST(1.5,2,3,TRUE)", ErrorCode::Num},        // outside [0, 1]
    Case{"BETA.INV(1,2,3)", ErrorCode::Num},
    Case{"GAMMA(0)", ErrorCode::Num},
    Case{"GAMMA(-2)", ErrorCode::Num},
    Case{"GAMMA(172)", ErrorCode::Num},                     // overflows
    Case{"GAMMALN(0)", ErrorCode::Num},
    Case{"FISHER(1)", ErrorCode::Num},
    Case{"FISHERINV(1000)", 1.0},                           // no overflow on the way
    Case{"STANDARDIZE(1,0,0)", ErrorCode::Num},
    Case{"T.DIST(1,0.9,TRUE)", ErrorCode::Num},
    Case{"T.DIST.2T(-1,5)", ErrorCode::Num},
    Case{"TDIST(1,5,3)", ErrorCode::Num},
    Case{"T.INV.2T(1,5)", 0.0},
    Case{"ABS(T.INV(0.5000001,3)/2.720699044919316E-07-1)<1E-14", true},  // close to the median
    Case{"CHISQ.DIST(-1,2,TRUE)", ErrorCode::Num},
    Case{"CHISQ.DIST(1,1E10,TRUE)", ErrorCode::Num},
    Case{"CHISQ.INV(0,3)", 0.0},
    Case{"CHISQ.INV.RT(0,3)", ErrorCode::Num},
    Case{"F.DIST(1,0,4,TRUE)", ErrorCode::Num},
    Case{"CONFIDENCE.NORM(1,1,50)", ErrorCode::Num},
    Case{"CONFIDENCE.NORM(0.05,1,0.5)", ErrorCode::Num},
    Case{"CONFIDENCE.T(0.05,1,1)", ErrorCode::Div0},        // no degrees of freedom left
    Case{"BINOM.DIST(3,2,0.5,TRUE)", ErrorCode::Num},       // more successes than trials
    Case{"BINOM.DIST(0,0,0,TRUE)", 1.0},
    Case{"BINOM.DIST(2,10,1,TRUE)", 0.0},
    Case{"BINOM.DIST(10,10,0.3,TRUE)", 1.0},                 // every outcome: exactly 1
    Case{"ABS(BINOM.DIST(1,1000000,0.00001,TRUE)/0.0004993787976951218-1)<1E-13", true},  // many trials
    Case{"BINOM.DIST(1E10,1E30,0.3,TRUE)", ErrorCode::Num}, // trials past exact whole numbers
    Case{"BINOM.DIST.RANGE(10,0.5,6,5)", ErrorCode::Num},
    Case{"BINOM.DIST.RANGE(10,0,0)", 1.0},
    Case{"BINOM.INV(10,0.5,1)", ErrorCode::Num},
    Case{"BINOM.INV(10,1,0.5)", ErrorCode::Num},
    // The fewest successes reaching alpha, found among trials near 2^53 without looping forever.
    Case{"BINOM.DIST(CRITBINOM(9007199254740991,0.9,0.5),9007199254740991,0.9,TRUE)>=0.5", true},
    Case{"BINOM.DIST(CRITBINOM(9007199254740991,0.9,0.5)-1,9007199254740991,0.9,TRUE)<0.5", true},
    Case{"NEGBINOM.DIST(1,0,0.5,TRUE)", ErrorCode::Num},    // at least one success
    Case{"NEGBINOM.DIST(1,1,1,TRUE)", ErrorCode::Num},
    Case{"NEGBINOMDIST(0,3,1)", 1.0},
    Case{"POISSON.DIST(-0.5,5,TRUE)", ErrorCode::Num},      // negative before truncation
    Case{"POISSON.DIST(3,0,TRUE)", 1.0},
    Case{"POISSON.DIST(3,0,FALSE)", 0.0},
    Case{"HYPGEOM.DIST(5,4,8,20,TRUE)", ErrorCode::Num},    // more drawn than the sample
    Case{"HYPGEOM.DIST(0,15,8,20,FALSE)", ErrorCode::Num},  // 15 drawn from 20 take 3 of the 8
    Case{"HYPGEOMDIST(1,4,8,0)", ErrorCode::Num}));

// How the arguments are read: numbers, text and booleans in cells, the cumulative flag, counts
// truncated, left-out arguments, and the first error in argument order.
INSTANTIATE_TEST_SUITE_P(Arguments, Edge, ::testing::Values(
    Case{"BINOM.DIST(2.99,10.5,0.5,TRUE)=BINOM.DIST(2,10,0.5,TRUE)", true},
    Case{"T.DIST(3,5.9,TRUE)=T.DIST(3,5,TRUE)", true},
    Case{"CHISQ.DIST(8,3.34,TRUE)=CHISQ.DIST(8,3,TRUE)", true},
    Case{"EXPON.DIST(0.2,10,\"true\")=EXPON.DIST(0.2,10,TRUE)", true},
    Case{"EXPON.DIST(0.2,10,6)=EXPON.DIST(0.2,10,TRUE)", true},
    Case{"EXPON.DIST(0.2,10,)=EXPON.DIST(0.2,10,FALSE)", true},
    Case{"EXPON.DIST(0.2,10,\"yes\")", ErrorCode::Value},
    Case{"EXPON.DIST(\"0.2\",\"10\",TRUE)=EXPON.DIST(0.2,10,TRUE)", true},
    Case{"EXPON.DIST(\"x\",1/0,TRUE)", ErrorCode::Value},   // the first argument's fault first
    Case{"EXPON.DIST(0.2,NA(),1/0)", ErrorCode::NA},
    Case{"NORM.S.DIST(,)", 0.3989422804014327},             // left out: 0 and FALSE
    Case{"BINOM.DIST(,,,)", 1.0},
    Case{"BETA.DIST(0.5,2,2,TRUE,,)", ErrorCode::Num},      // bounds given empty are 0 and 0
    Case{"GAMMA(TRUE)", 1.0},
    Case{"GAMMALN(\"x\")", ErrorCode::Value}));

// Digits Excel's workbooks hold where the order of its rounding shows: the upper tail is
// rounded before it is taken from 1, which moves a result just above 0.5 by one unit, and an
// inverse near 0.5 magnifies that unit a billion times.
INSTANTIATE_TEST_SUITE_P(ExcelsRounding, Edge, ::testing::Values(
    Case{"NORM.S.DIST(1E-6,TRUE)-0.5", 3.989422803218900526e-7},
    Case{"0.5-NORM.S.DIST(-1E-6,TRUE)", 3.989422803774012e-07},
    Case{"NORM.S.INV(NORM.S.DIST(1E-6,TRUE))", 9.99999999800783e-07},
    Case{"NORM.INV(NORM.DIST(1E-6,0,1,TRUE),0,1)", 9.99999999800783e-07},
    Case{"NORM.S.DIST(-10,TRUE)", 7.619853024160475e-24},
    Case{"NORM.S.DIST(3,TRUE)", 0.9986501019683699}));

// Binomial chances over very many trials, to the last digits (exact values from 40-digit
// arithmetic): the terms of large factorials must not cancel.
INSTANTIATE_TEST_SUITE_P(ManyTrials, Edge, ::testing::Values(
    Case{"BINOM.DIST(0,1000000,1E-5,FALSE)", 4.539765980761299e-5},
    Case{"BINOM.DIST(1,1000000,1E-5,TRUE)", 0.0004993787976951218},
    Case{"BINOM.DIST(300000,1000000,0.3,FALSE)", 0.00087056315463668078},
    Case{"BINOM.DIST(2,100000000,3E-8,FALSE)", 0.22404180877559679},
    Case{"BINOM.DIST.RANGE(1000000,1E-5,0,1)", 0.0004993787976951218},
    Case{"NEGBINOM.DIST(20,1000000,0.99999,FALSE)", 0.0018663425806592033},
    Case{"BINOM.DIST(1000000,1000000,1,FALSE)", 1.0},
    Case{"BINOM.DIST(0,1000000,0,TRUE)", 1.0},
    Case{"BINOM.DIST(3,1000000,0,FALSE)", 0.0},
    // The inverse reads the same tail: each count is found again from its own probability.
    Case{"BINOM.INV(1000000,1E-5,BINOM.DIST(1,1000000,1E-5,TRUE))", 1.0},
    Case{"BINOM.INV(1000000,1E-5,BINOM.DIST(0,1000000,1E-5,TRUE))", 0.0},
    Case{"BINOM.INV(1000000,1E-5,BINOM.DIST(40,1000000,1E-5,TRUE))", 40.0}));

// Each inverse undoes its distribution, across the range of probabilities.
class InverseRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(InverseRoundTrip, GivesBackTheArgument) {
  Book book;
  for (double x : {0.05, 0.3, 1.0, 2.5, 7.0}) {
    const std::string_view pattern = GetParam();
    const std::size_t at = pattern.find('x');
    const std::string formula = std::string(pattern.substr(0, at)) + std::to_string(x) + std::string(pattern.substr(at + 1));
    const Value v = book.eval(formula);
    ASSERT_TRUE(v.isNumber()) << formula << " gave " << show(v);
    EXPECT_NEAR(x, v.number(), 1e-9 * std::max(1.0, x)) << formula;
  }
}

INSTANTIATE_TEST_SUITE_P(Pairs, InverseRoundTrip, ::testing::Values(
    "NORM.INV(NORM.DIST(x,2,3,TRUE),2,3)",
    "LOGNORM.INV(LOGNORM.DIST(x,0.5,1.2,TRUE),0.5,1.2)",
    "GAMMA.INV(GAMMA.DIST(x,2.5,1.5,TRUE),2.5,1.5)",
    "BETA.INV(BETA.DIST(x,2,3,TRUE,0,8),2,3,0,8)",
    "T.INV(T.DIST(x,4,TRUE),4)",
    "T.INV.2T(T.DIST.2T(x,7),7)",
    "CHISQ.INV(CHISQ.DIST(x,3,TRUE),3)",
    "CHISQ.INV.RT(CHISQ.DIST.RT(x,5),5)",
    "F.INV(F.DIST(x,3,9,TRUE),3,9)",
    "F.INV.RT(F.DIST.RT(x,4,6),4,6)",
    "FISHERINV(FISHER(x/10))*10"));

// Ranges and arrays: text, booleans and empty cells skipped, shapes and counts checked.
class OverRanges : public ::testing::TestWithParam<Case> {};

TEST_P(OverRanges, GiveExcelsResult) {
  // A1:A6 1 2 3 4 "x" TRUE; B1:B6 2 -3.3 0 TRUE "no" 2; C1:C2 5 5; D1 #N/A; E1:E4 chances.
  Book book{{"A1", 1.0}, {"A2", 2.0}, {"A3", 3.0}, {"A4", 4.0}, {"A5", "x"}, {"A6", true},
            {"B1", 2.0}, {"B2", -3.3}, {"B3", 0.0}, {"B4", true}, {"B5", "no"}, {"B6", 2.0},
            {"C1", 5.0}, {"C2", 5.0}, {"D1", ErrorCode::NA},
            {"E1", 0.2}, {"E2", 0.3}, {"E3", 0.1}, {"E4", 0.4}};
  EXPECT_TRUE(sameValue(GetParam().expected, book.eval(GetParam().formula)));
}

INSTANTIATE_TEST_SUITE_P(Tests, OverRanges, ::testing::Values(
    // Paired: only rows where both hold numbers; the same data as arrays agrees.
    Case{"T.TEST(A1:A6,B1:B6,2,1)=T.TEST({1,2,3},{2,-3.3,0},2,1)", true},
    Case{"T.TEST(A1:A6,B1:B5,2,1)", ErrorCode::NA},          // paired data of unequal counts
    Case{"T.TEST(A1:A3,{1,2,3.5},2,1)=T.TEST({1;2;3},{1;2;3.5},2,1)", true},  // paired in reading order
    Case{"T.TEST(A1:A6,B1:B6,2,2)=T.TEST({1,2,3,4},{2,-3.3,0,2},2,2)", true},
    Case{"T.TEST(A1:A6,B1:B6,1.9,3)=T.TEST(A1:A6,B1:B6,1,3)", true},  // tails truncated
    Case{"T.TEST(A1:A6,B1:B6,0,1)", ErrorCode::Num},
    Case{"TTEST(A1:A6,B1:B6,2,4)", ErrorCode::Num},
    Case{"T.TEST(A1:A6,C1,2,2)", ErrorCode::Div0},           // one number is no sample
    Case{"T.TEST(A1:A6,B1:D1,2,2)", ErrorCode::NA},          // an error in a range is the result
    Case{"F.TEST(A1:A6,C1:C2)", ErrorCode::Div0},            // no spread in the second
    Case{"F.TEST(A1:A4,{1,2,3,4})", 1.0},
    Case{"CHISQ.TEST(A1:A4,B1:B3)", ErrorCode::NA},          // shapes differ
    Case{"CHISQ.TEST(A1:A3,{1;2;3})", 1.0},
    Case{"CHITEST(A1,A2)", ErrorCode::NA},                   // no degrees of freedom
    Case{"CHISQ.TEST(A1:A2,C1:D1)", ErrorCode::NA},
    Case{"Z.TEST(A5:A6,1)", ErrorCode::NA},                  // no numbers
    Case{"Z.TEST(C1:C2,1)", ErrorCode::Div0},                // no spread and no sigma given
    Case{"Z.TEST(A1:A6,2,0)", ErrorCode::Num},
    Case{"Z.TEST(A1:A6,2.5)", 0.5},
    Case{"ZTEST(A1:D1,2)", ErrorCode::NA},
    // PROB: the values' chances between two limits, the chances adding up to 1.
    Case{"PROB(A1:A4,E1:E4,2,3)", 0.4},
    Case{"PROB(A1:A4,E1:E4,2)", 0.3},
    Case{"PROB(A1:A4,E1:E4,3,2)", 0.0},
    Case{"PROB({1,2,3,4},{0.2,0.3,0.1,0.4},0,9)", 1.0},
    Case{"PROB(A1:A4,E1:E3,2)", ErrorCode::NA},
    Case{"PROB(A1:A3,E1:E3,2)", ErrorCode::Num},
    Case{"PROB({1,2},{-0.5,1.5},1)", ErrorCode::Num},
    Case{"PROB(A5,B5,1)", ErrorCode::Div0},                  // no chances at all
    Case{"PROB(A1:A4,E1:E4,\"low\")", ErrorCode::Value}));

}  // namespace
}  // namespace calc::testing
