// Functions over lists of numbers: sums, averages, counts, extremes (MAXA and MINA also count
// text in ranges as 0 and booleans as 1 or 0), GCD/LCM and series.
#include <cmath>
#include <limits>
#include <vector>

#include "collect.h"
#include "excel_arithmetic.h"
#include "operators.h"

namespace calc {
namespace {

template <class Fold>
Value fold(const Args& args, const CollectRule& rule, double start, Fold fold) {
  double acc = start;
  if (auto error = collectNumbers(args, rule, [&](double x) { acc = fold(acc, x); })) return *error;
  return numberResult(acc);
}

// SUM's last addition follows the rule of a formula's final + (finalSum): a list whose values
// cancel up to their conversion error sums to 0.
Value sum(const Args& args) {
  double total = 0, beforeLast = 0, last = 0;
  if (auto error = collectNumbers(args, kSumRule, [&](double x) {
        beforeLast = total;
        last = x;
        total += x;
      }))
    return *error;
  return numberResult(finalSum(beforeLast, last));
}
Value sumOfSquares(const Args& args) {
  return fold(args, kSumRule, 0, [](double a, double x) { return a + x * x; });
}

Value product(const Args& args) {
  bool any = false;
  double acc = 1;
  if (auto error = collectNumbers(args, kSumRule, [&](double x) { any = true, acc *= x; })) return *error;
  return any ? numberResult(acc) : Value(0.0);
}

Value average(const Args& args, const CollectRule& rule) {
  double total = 0, count = 0;
  if (auto error = collectNumbers(args, rule, [&](double x) { total += x, ++count; })) return *error;
  return count == 0 ? Value(ErrorCode::Div0) : numberResult(total / count);
}

template <class Better>
Value extreme(const Args& args, Better better, const CollectRule& rule = kSumRule) {
  bool any = false;
  double best = 0;
  if (auto error = collectNumbers(args, rule, [&](double x) {
        if (!any || better(x, best)) best = x;
        any = true;
      }))
    return *error;
  return best;
}

Value count(const Args& args) {
  constexpr CollectRule rule{Take::Number, Take::Number, Take::Ignore, Take::Ignore, Take::Ignore, true};
  double n = 0;
  collectNumbers(args, rule, [&](double) { ++n; });
  return n;
}

Value countNonEmpty(const Args& args) {
  double n = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args.isMissing(i)) continue;
    const bool listed = args.isCollection(i);
    args.forEach(i, [&](const Value& v) {
      if (!listed || !v.isEmpty()) ++n;
      return true;
    });
  }
  return n;
}

// GCD, LCM and MULTINOMIAL want non-negative whole numbers: text is converted wherever it
// stands, booleans are refused, a left-out argument is #N/A. An empty cell named alone is
// skipped; GCD and LCM read the empty cells of a range of several cells as 0.
constexpr CollectRule kIntegerRule{Take::Number, Take::Reject, Take::Number, Take::Reject, Take::Ignore, false};
constexpr CollectRule kDivisorRangeRule{Take::Number, Take::Reject, Take::Number, Take::Reject, Take::Zero, false};

enum class EmptyInRange : bool { Skipped, Zero };

bool severalCells(const Operand& o) {
  return o.kind == Operand::Kind::Range && !o.range.isSingleCell();
}

Value integers(const Args& args, std::vector<double>& out, EmptyInRange empty = EmptyInRange::Skipped) {
  for (std::size_t i = 0; i < args.size(); ++i)
    if (args.isMissing(i)) return ErrorCode::NA;
  bool negative = false;
  const auto take = [&](double x) {
    if (x < 0) negative = true;
    out.push_back(std::trunc(x));
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool zero = empty == EmptyInRange::Zero && severalCells(args.operand(i));
    if (auto error = collectNumbers(onlyArgument(args, i), zero ? kDivisorRangeRule : kIntegerRule, take))
      return *error;
  }
  if (out.empty()) return ErrorCode::Value;
  if (negative) return ErrorCode::Num;
  for (double x : out)
    if (x >= 9007199254740992.0) return ErrorCode::Num;
  return 0.0;
}

double gcdOf(double a, double b) {
  while (b != 0) {
    const double t = std::fmod(a, b);
    a = b;
    b = t;
  }
  return a;
}

Value gcd(const Args& args) {
  std::vector<double> xs;
  if (Value check = integers(args, xs, EmptyInRange::Zero); check.isError()) return check;
  double g = 0;
  for (double x : xs) g = gcdOf(g, x);
  return g;
}

Value lcm(const Args& args) {
  std::vector<double> xs;
  if (Value check = integers(args, xs, EmptyInRange::Zero); check.isError()) return check;
  double l = 1;
  for (double x : xs) {
    if (x == 0) return 0.0;
    l = l / gcdOf(l, x) * x;
    if (l >= 9007199254740992.0) return ErrorCode::Num;  // past 2^53 it would not be exact
  }
  return l;
}

// (a+b+...)! / (a! b! ...), exactly while the result is a whole double.
Value multinomial(const Args& args) {
  std::vector<double> xs;
  if (Value check = integers(args, xs); check.isError()) return check;
  double total = 0;
  for (double x : xs) total += x;
  if (total > 170) return ErrorCode::Num;  // (a+b+...)! itself overflows
  return numberResult(multinomialOf(xs.data(), xs.size()));
}

// SERIESSUM(x, n, m, coefficients): sum of a_i * x^(n + i*m).
Value seriesSum(const Args& args) {
  double head[3];
  for (std::size_t i = 0; i < 3; ++i) {
    const Value v = args.scalar(i);
    if (v.isBool()) return ErrorCode::Value;
    const Number n = toNumber(v);
    if (n.failed) return n.error;
    head[i] = n.value;
  }
  constexpr CollectRule rule{Take::Number, Take::Reject, Take::Reject, Take::Reject, Take::Zero, false};
  std::vector<double> coefficients;
  if (auto error = collectNumbers(args.from(3), rule, [&](double a) { coefficients.push_back(a); }))
    return *error;
  double total = 0, exponent = head[1];
  for (double a : coefficients) {
    const Value term = power(head[0], exponent);
    if (term.isError()) return term;
    total += a * term.number();
    exponent += head[2];
  }
  return numberResult(total);
}

const FunctionSpec kAggregates[] = {
    raw("SUM", 1, kManyArgs, sum),
    raw("SUMSQ", 1, kManyArgs, sumOfSquares),
    raw("PRODUCT", 1, kManyArgs, product),
    raw("AVERAGE", 1, kManyArgs, [](const Args& a) { return average(a, kSumRule); }),
    raw("AVERAGEA", 1, kManyArgs, [](const Args& a) { return average(a, kAllValuesRule); }),
    raw("COUNT", 1, kManyArgs, count),
    raw("COUNTA", 1, kManyArgs, countNonEmpty),
    raw("MAX", 1, kManyArgs, [](const Args& a) { return extreme(a, [](double x, double b) { return x > b; }); }),
    raw("MIN", 1, kManyArgs, [](const Args& a) { return extreme(a, [](double x, double b) { return x < b; }); }),
    raw("MAXA", 1, kManyArgs,
        [](const Args& a) { return extreme(a, [](double x, double b) { return x > b; }, kAllValuesRule); }),
    raw("MINA", 1, kManyArgs,
        [](const Args& a) { return extreme(a, [](double x, double b) { return x < b; }, kAllValuesRule); }),
    raw("GCD", 1, kManyArgs, gcd),
    raw("LCM", 1, kManyArgs, lcm),
    raw("MULTINOMIAL", 1, kManyArgs, multinomial),
    raw("SERIESSUM", 4, 4, seriesSum),
};

}  // namespace

std::span<const FunctionSpec> aggregateFunctions() { return kAggregates; }

}  // namespace calc
