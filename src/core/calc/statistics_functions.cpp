// Statistics of one list of numbers: MEDIAN, the variances and standard deviations (sample and
// population, old and new names), DEVSQ, AVEDEV, GEOMEAN, HARMEAN. They read their arguments
// as SUM does: numbers in ranges, text and booleans given directly converted.
#include <algorithm>
#include <cmath>
#include <vector>

#include "collect.h"

namespace calc {
namespace {

// The numbers of the arguments, or the error that stopped the walk.
std::optional<ErrorCode> listOf(const Args& args, std::vector<double>& xs) {
  return collectNumbers(args, kSumRule, [&](double x) { xs.push_back(x); });
}

Value median(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.empty()) return ErrorCode::Num;
  const std::size_t half = xs.size() / 2;
  std::nth_element(xs.begin(), xs.begin() + static_cast<std::ptrdiff_t>(half), xs.end());
  const double upper = xs[half];
  if (xs.size() % 2 == 1) return upper;
  const double lower = *std::max_element(xs.begin(), xs.begin() + static_cast<std::ptrdiff_t>(half));
  return numberResult(lower / 2 + upper / 2);
}

// Sum of squared deviations from the mean, in two passes for accuracy.
double squaredDeviations(const std::vector<double>& xs) {
  double mean = 0;
  for (double x : xs) mean += x;
  mean /= static_cast<double>(xs.size());
  double total = 0;
  for (double x : xs) total += (x - mean) * (x - mean);
  return total;
}

// The variance of a sample (divided by n - 1) or of a whole population (by n).
template <bool Sample, bool Root>
Value spread(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  const std::size_t minimum = Sample ? 2 : 1;
  if (xs.size() < minimum) return ErrorCode::Div0;
  const double variance = squaredDeviations(xs) / static_cast<double>(xs.size() - (Sample ? 1 : 0));
  return numberResult(Root ? std::sqrt(variance) : variance);
}

Value devsq(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.empty()) return ErrorCode::Num;
  return numberResult(squaredDeviations(xs));
}

Value avedev(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.empty()) return ErrorCode::Num;
  double mean = 0;
  for (double x : xs) mean += x;
  mean /= static_cast<double>(xs.size());
  double total = 0;
  for (double x : xs) total += std::fabs(x - mean);
  return numberResult(total / static_cast<double>(xs.size()));
}

// GEOMEAN and HARMEAN want positive numbers only.
Value geomean(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.empty()) return ErrorCode::Num;
  double logs = 0;
  for (double x : xs) {
    if (x <= 0) return ErrorCode::Num;
    logs += std::log(x);
  }
  return numberResult(std::exp(logs / static_cast<double>(xs.size())));
}

Value harmean(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.empty()) return ErrorCode::Num;
  double reciprocals = 0;
  for (double x : xs) {
    if (x <= 0) return ErrorCode::Num;
    reciprocals += 1 / x;
  }
  return numberResult(static_cast<double>(xs.size()) / reciprocals);
}

const FunctionSpec kStatistics[] = {
    raw("MEDIAN", 1, kManyArgs, median),
    raw("VAR", 1, kManyArgs, spread<true, false>),
    raw("VAR.S", 1, kManyArgs, spread<true, false>),
    raw("VARP", 1, kManyArgs, spread<false, false>),
    raw("VAR.P", 1, kManyArgs, spread<false, false>),
    raw("STDEV", 1, kManyArgs, spread<true, true>),
    raw("STDEV.S", 1, kManyArgs, spread<true, true>),
    raw("STDEVP", 1, kManyArgs, spread<false, true>),
    raw("STDEV.P", 1, kManyArgs, spread<false, true>),
    raw("DEVSQ", 1, kManyArgs, devsq),
    raw("AVEDEV", 1, kManyArgs, avedev),
    raw("GEOMEAN", 1, kManyArgs, geomean),
    raw("HARMEAN", 1, kManyArgs, harmean),
};

}  // namespace

std::span<const FunctionSpec> statisticsFunctions() { return kStatistics; }

}  // namespace calc
