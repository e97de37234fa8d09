// PROB: the chance that a value of a discrete distribution, given as a table of values and
// their probabilities, falls between two limits.
#include <cmath>

#include "distribution_grid.h"
#include "distribution_support.h"

namespace calc::distribution {
namespace {

// Probabilities that add up to 1 but for the rounding of their sum.
constexpr double kSumTolerance = 1e-10;

struct Limits {
  double lower = 0, upper = 0;
};

// The limits of PROB(values, chances, lower, [upper]); upper left out is lower.
std::optional<Limits> limitsOf(const Args& args, Value& error) {
  const Number lower = toNumber(args.scalar(2));
  if (lower.failed) {
    error = lower.error;
    return std::nullopt;
  }
  Limits limits{lower.value, lower.value};
  if (args.size() > 3 && !args.isMissing(3)) {
    const Number upper = toNumber(args.scalar(3));
    if (upper.failed) {
      error = upper.error;
      return std::nullopt;
    }
    limits.upper = upper.value;
  }
  return limits;
}

}  // namespace

Value prob(const Args& args) {
  const Grid values(args.operand(0), args.context()), chances(args.operand(1), args.context());
  if (values.count() != chances.count()) return ErrorCode::NA;
  Value error;
  const auto limits = limitsOf(args, error);
  if (!limits) return error;
  double total = 0, inside = 0;
  bool outOfRange = false;
  const auto failure = forEachPair(values, chances, [&](const Value& x, const Value& chance) {
    if (!chance.isNumber()) return;
    const double p = chance.number();
    outOfRange = outOfRange || p < 0 || p > 1;
    total += p;
    if (x.isNumber() && x.number() >= limits->lower && x.number() <= limits->upper) inside += p;
  });
  if (failure) return *failure;
  if (outOfRange) return ErrorCode::Num;
  if (total == 0) return ErrorCode::Div0;
  if (std::fabs(total - 1) > kSumTolerance) return ErrorCode::Num;
  return numberResult(inside);
}

}  // namespace calc::distribution
