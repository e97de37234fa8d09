// Tests of hypotheses over ranges and arrays: T.TEST, CHISQ.TEST, F.TEST and Z.TEST with their
// older names. Numbers in ranges and arrays count; text, booleans and empty cells are passed
// over; an error anywhere is the result.
#include <optional>
#include <vector>

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

#include "collect.h"
#include "distribution_grid.h"
#include "distribution_support.h"

namespace calc::distribution {
namespace {

using boost::math::complement;

// The numbers of argument i, or the error that stopped the walk.
std::optional<ErrorCode> numbersOf(const Args& args, std::size_t i, std::vector<double>& xs) {
  return collectNumbers(Args(std::span(&args.operand(i), 1), args.context()), kSumRule,
                        [&](double x) { xs.push_back(x); });
}

struct Sample {
  double count = 0, mean = 0, variance = 0;  // the variance of a sample (n - 1)
};

Sample describe(const std::vector<double>& xs) {
  Sample s;
  s.count = static_cast<double>(xs.size());
  for (double x : xs) s.mean += x;
  s.mean /= s.count;
  for (double x : xs) s.variance += (x - s.mean) * (x - s.mean);
  s.variance /= s.count - 1;
  return s;
}

// The whole number argument i, or nullopt with `error` set.
std::optional<double> wholeNumber(const Args& args, std::size_t i, Value& error) {
  const Number n = toNumber(args.scalar(i));
  if (n.failed) {
    error = n.error;
    return std::nullopt;
  }
  return std::trunc(n.value);
}

// ---- T.TEST(first, second, tails, type): 1 paired, 2 equal variances, 3 unequal variances.

struct TStatistic {
  double t = 0, degrees = 0;
};

std::optional<TStatistic> pairedT(const Args& args, Value& error) {
  const Grid first(args.operand(0), args.context()), second(args.operand(1), args.context());
  if (first.count() != second.count()) {
    error = ErrorCode::NA;
    return std::nullopt;
  }
  std::vector<double> differences;
  auto failure = forEachPair(first, second, [&](const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) differences.push_back(a.number() - b.number());
  });
  if (failure) {
    error = *failure;
    return std::nullopt;
  }
  const Sample d = describe(differences);
  if (differences.size() < 2 || d.variance == 0) {
    error = ErrorCode::Div0;
    return std::nullopt;
  }
  return TStatistic{d.mean / std::sqrt(d.variance / d.count), d.count - 1};
}

std::optional<TStatistic> twoSampleT(const Args& args, bool equalVariances, Value& error) {
  std::vector<double> a, b;
  if (auto e = numbersOf(args, 0, a)) error = *e;
  else if (auto e2 = numbersOf(args, 1, b)) error = *e2;
  if (!error.isEmpty()) return std::nullopt;
  if (a.size() < 2 || b.size() < 2) {
    error = ErrorCode::Div0;
    return std::nullopt;
  }
  const Sample x = describe(a), y = describe(b);
  double spread = 0, degrees = 0;
  if (equalVariances) {
    degrees = x.count + y.count - 2;
    spread = ((x.count - 1) * x.variance + (y.count - 1) * y.variance) / degrees * (1 / x.count + 1 / y.count);
  } else {
    const double vx = x.variance / x.count, vy = y.variance / y.count;
    spread = vx + vy;
    degrees = spread * spread / (vx * vx / (x.count - 1) + vy * vy / (y.count - 1));
  }
  if (!(spread > 0)) {
    error = ErrorCode::Div0;
    return std::nullopt;
  }
  return TStatistic{(x.mean - y.mean) / std::sqrt(spread), degrees};
}

Value tTest(const Args& args) {
  Value error;
  const auto tails = wholeNumber(args, 2, error);
  if (!tails) return error;
  const auto type = wholeNumber(args, 3, error);
  if (!type) return error;
  if ((*tails != 1 && *tails != 2) || *type < 1 || *type > 3) return ErrorCode::Num;
  const auto statistic = *type == 1 ? pairedT(args, error) : twoSampleT(args, *type == 2, error);
  if (!statistic) return error;
  const boost::math::students_t_distribution<double, Policy> t(statistic->degrees);
  return numberResult(*tails * cdf(complement(t, std::fabs(statistic->t))));
}

// ---- CHISQ.TEST(observed, expected): ranges of one shape.

Value chiSqTest(const Args& args) {
  const Grid observed(args.operand(0), args.context()), expected(args.operand(1), args.context());
  if (!observed.sameShape(expected)) return ErrorCode::NA;
  double statistic = 0;
  bool zeroExpected = false;
  auto error = forEachPair(observed, expected, [&](const Value& o, const Value& e) {
    if (!o.isNumber() || !e.isNumber()) return;
    if (e.number() == 0) zeroExpected = true;
    else statistic += (o.number() - e.number()) * (o.number() - e.number()) / e.number();
  });
  if (error) return *error;
  if (zeroExpected) return ErrorCode::Div0;
  const std::int64_t rows = observed.rows(), columns = observed.columns();
  const double degrees = rows > 1 && columns > 1 ? double(rows - 1) * double(columns - 1) : double(rows * columns - 1);
  if (degrees < 1) return ErrorCode::NA;
  const boost::math::chi_squared_distribution<double, Policy> chi(degrees);
  return numberResult(cdf(complement(chi, statistic)));
}

// ---- F.TEST(first, second): the two-tailed chance that the variances are equal.

Value fTest(const Args& args) {
  std::vector<double> a, b;
  if (auto e = numbersOf(args, 0, a)) return *e;
  if (auto e = numbersOf(args, 1, b)) return *e;
  if (a.size() < 2 || b.size() < 2) return ErrorCode::Div0;
  const Sample x = describe(a), y = describe(b);
  if (x.variance == 0 || y.variance == 0) return ErrorCode::Div0;
  const boost::math::fisher_f_distribution<double, Policy> f(x.count - 1, y.count - 1);
  const double ratio = x.variance / y.variance;
  return numberResult(2 * std::min(cdf(f, ratio), cdf(complement(f, ratio))));
}

// ---- Z.TEST(data, mean, [sigma]): the one-tailed chance of a sample mean this high; sigma
// left out is the sample's own standard deviation.

Value zTest(const Args& args) {
  std::vector<double> xs;
  if (auto e = numbersOf(args, 0, xs)) return *e;
  const Number mean = toNumber(args.scalar(1));
  if (mean.failed) return mean.error;
  if (xs.empty()) return ErrorCode::NA;
  const Sample s = describe(xs);
  double sigma = std::sqrt(s.variance);
  if (args.size() > 2 && !args.isMissing(2)) {
    const Number given = toNumber(args.scalar(2));
    if (given.failed) return given.error;
    if (!(given.value > 0)) return ErrorCode::Num;
    sigma = given.value;
  } else if (xs.size() < 2 || s.variance == 0) {
    return ErrorCode::Div0;
  }
  return numberResult(1 - normalCdf((s.mean - mean.value) / (sigma / std::sqrt(s.count))));
}

const FunctionSpec kTests[] = {
    arrayArguments(newer(raw("T.TEST", 4, 4, tTest))),
    arrayArguments(raw("TTEST", 4, 4, tTest)),
    arrayArguments(newer(raw("CHISQ.TEST", 2, 2, chiSqTest))),
    arrayArguments(raw("CHITEST", 2, 2, chiSqTest)),
    arrayArguments(newer(raw("F.TEST", 2, 2, fTest))),
    arrayArguments(raw("FTEST", 2, 2, fTest)),
    newer(raw("Z.TEST", 2, 3, zTest)),
    raw("ZTEST", 2, 3, zTest),
};

}  // namespace

std::span<const FunctionSpec> hypothesisTestFunctions() { return kTests; }

}  // namespace calc::distribution
