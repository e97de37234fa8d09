// Ranks, percentiles and the other order statistics of one list: LARGE, SMALL, PERCENTILE,
// QUARTILE, PERCENTRANK, RANK, TRIMMEAN and FREQUENCY. The list is read as SUM reads it:
// numbers in ranges and arrays, values given directly converted, errors returned.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "collect.h"
#include "excel_arithmetic.h"

namespace calc {
namespace {

// The numbers of argument i in ascending order, or the error that stopped the walk.
std::optional<ErrorCode> sortedNumbers(const Args& args, std::size_t i, std::vector<double>& xs) {
  if (auto error = numbersOf(onlyArgument(args, i), xs)) return error;
  std::sort(xs.begin(), xs.end());
  return std::nullopt;
}

// A single-valued argument as a number; a left-out one is 0.
Number numberAt(const Args& args, std::size_t i) { return toNumber(args.scalar(i)); }

// The k-th of the sorted list counted from the small end (LARGE counts from the other), k
// rounded up as the sheet shows it.
template <bool FromLarge>
Value orderStatistic(const Args& args) {
  std::vector<double> xs;
  if (auto error = sortedNumbers(args, 0, xs)) return *error;
  const Number k = numberAt(args, 1);
  if (k.failed) return k.error;
  const double rank = -floorShown(-k.value);
  if (rank < 1 || rank > static_cast<double>(xs.size())) return ErrorCode::Num;
  const auto index = static_cast<std::size_t>(rank) - 1;
  return FromLarge ? xs[xs.size() - 1 - index] : xs[index];
}

// The value at 1-based place `place` of the sorted list, between neighbours by interpolation.
double interpolateAt(const std::vector<double>& xs, double place) {
  const double whole = std::floor(place);
  const auto index = static_cast<std::size_t>(whole) - 1;
  if (index + 1 >= xs.size()) return xs[index];
  return xs[index] + (place - whole) * (xs[index + 1] - xs[index]);
}

// PERCENTILE.INC: k in [0, 1] over places 1..n.
Value percentileInclusive(const std::vector<double>& xs, double k) {
  if (xs.empty() || k < 0 || k > 1) return ErrorCode::Num;
  return numberResult(interpolateAt(xs, 1 + k * static_cast<double>(xs.size() - 1)));
}

// PERCENTILE.EXC: k such that k(n+1) falls within places 1..n.
Value percentileExclusive(const std::vector<double>& xs, double k) {
  const double place = k * static_cast<double>(xs.size() + 1);
  if (xs.empty() || k <= 0 || k >= 1 || place < 1 || place > static_cast<double>(xs.size()))
    return ErrorCode::Num;
  return numberResult(interpolateAt(xs, place));
}

template <bool Exclusive>
Value percentile(const Args& args) {
  std::vector<double> xs;
  if (auto error = sortedNumbers(args, 0, xs)) return *error;
  const Number k = numberAt(args, 1);
  if (k.failed) return k.error;
  return Exclusive ? percentileExclusive(xs, k.value) : percentileInclusive(xs, k.value);
}

// QUARTILE: quart truncated; 0 and 4 (the extremes) only for the inclusive form.
template <bool Exclusive>
Value quartile(const Args& args) {
  std::vector<double> xs;
  if (auto error = sortedNumbers(args, 0, xs)) return *error;
  const Number quart = numberAt(args, 1);
  if (quart.failed) return quart.error;
  const double q = std::trunc(quart.value);
  if (Exclusive ? q <= 0 || q >= 4 : q < 0 || q > 4) return ErrorCode::Num;
  return Exclusive ? percentileExclusive(xs, q / 4) : percentileInclusive(xs, q / 4);
}

// PERCENTRANK: the place of x among the sorted values (interpolated between neighbours),
// as a fraction cut down (not rounded) to `significance` digits.
template <bool Exclusive>
Value percentRank(const Args& args) {
  std::vector<double> xs;
  if (auto error = sortedNumbers(args, 0, xs)) return *error;
  const Number x = numberAt(args, 1);
  if (x.failed) return x.error;
  double digits = 3;
  if (args.size() > 2 && !args.isMissing(2)) {
    const Number significance = numberAt(args, 2);
    if (significance.failed) return significance.error;
    digits = std::trunc(significance.value);
  }
  if (xs.empty() || digits < 1) return ErrorCode::Num;
  if (x.value < xs.front() || x.value > xs.back()) return ErrorCode::NA;
  const double n = static_cast<double>(xs.size());
  // The number of values below x, counting a fraction of the step to the next value.
  const auto above = std::lower_bound(xs.begin(), xs.end(), x.value);
  double below = static_cast<double>(above - xs.begin());
  if (*above != x.value) {
    const double lower = *(above - 1);
    below = below - 1 + (x.value - lower) / (*above - lower);
  }
  double rank = 0;
  if (Exclusive) rank = (below + 1) / (n + 1);
  else rank = xs.size() == 1 ? 1 : below / (n - 1);
  if (digits > 15) return numberResult(rank);
  const double scale = std::pow(10.0, digits);
  return numberResult(floorShown(rank * scale) / scale);
}

// RANK.EQ, and RANK.AVG with ties sharing the mean of their places. Order 0 or left out ranks
// the largest first.
template <bool Average>
Value rank(const Args& args) {
  const Number x = numberAt(args, 0);
  if (x.failed) return x.error;
  std::vector<double> xs;
  if (auto error = numbersOf(onlyArgument(args, 1), xs)) return *error;
  bool ascending = false;
  if (args.size() > 2) {
    const Number order = numberAt(args, 2);
    if (order.failed) return order.error;
    ascending = order.value != 0;
  }
  double before = 0, ties = 0;
  for (double v : xs) {
    if (v == x.value) ++ties;
    else if (ascending ? v < x.value : v > x.value) ++before;
  }
  if (ties == 0) return ErrorCode::NA;
  return Average ? before + (ties + 1) / 2 : before + 1;
}

// The mean without the given fraction of the values, half of them (rounded down to a whole
// number of values) from each end.
Value trimMean(const Args& args) {
  std::vector<double> xs;
  if (auto error = sortedNumbers(args, 0, xs)) return *error;
  const Number percent = numberAt(args, 1);
  if (percent.failed) return percent.error;
  if (xs.empty() || percent.value < 0 || percent.value >= 1) return ErrorCode::Num;
  const auto cut = static_cast<std::size_t>(floorShown(static_cast<double>(xs.size()) * percent.value / 2));
  double total = 0;
  for (std::size_t i = cut; i < xs.size() - cut; ++i) total += xs[i];
  return numberResult(total / static_cast<double>(xs.size() - 2 * cut));
}

// How many values fall at or below each bin and above the bin below it (bins taken in
// ascending order, counts given back in the bins' own order), and how many above the highest:
// a column one longer than the bins.
Operand frequency(const Args& args) {
  std::vector<double> data, bins;
  if (auto error = numbersOf(onlyArgument(args, 0), data)) return errorOperand(*error);
  if (auto error = numbersOf(onlyArgument(args, 1), bins)) return errorOperand(*error);
  std::sort(data.begin(), data.end());
  std::vector<std::size_t> order(bins.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return bins[a] < bins[b]; });
  auto counts = std::make_shared<Array>();
  counts->rows = static_cast<std::int32_t>(bins.size() + 1);
  counts->columns = 1;
  counts->values.assign(bins.size() + 1, Value(0.0));
  auto counted = data.begin();
  for (std::size_t i : order) {
    const auto upTo = std::upper_bound(counted, data.end(), bins[i]);
    counts->values[i] = static_cast<double>(upTo - counted);
    counted = upTo;
  }
  counts->values.back() = static_cast<double>(data.end() - counted);
  return arrayOperand(std::move(counts));
}

const FunctionSpec kRanking[] = {
    arrayArguments(raw("LARGE", 2, 2, orderStatistic<true>)),
    arrayArguments(raw("SMALL", 2, 2, orderStatistic<false>)),
    arrayArguments(raw("PERCENTILE", 2, 2, percentile<false>)),
    arrayArguments(newer(raw("PERCENTILE.INC", 2, 2, percentile<false>))),
    arrayArguments(newer(raw("PERCENTILE.EXC", 2, 2, percentile<true>))),
    arrayArguments(raw("QUARTILE", 2, 2, quartile<false>)),
    arrayArguments(newer(raw("QUARTILE.INC", 2, 2, quartile<false>))),
    arrayArguments(newer(raw("QUARTILE.EXC", 2, 2, quartile<true>))),
    raw("PERCENTRANK", 2, 3, percentRank<false>),
    newer(raw("PERCENTRANK.INC", 2, 3, percentRank<false>)),
    newer(raw("PERCENTRANK.EXC", 2, 3, percentRank<true>)),
    raw("RANK", 2, 3, rank<false>),
    newer(raw("RANK.EQ", 2, 3, rank<false>)),
    newer(raw("RANK.AVG", 2, 3, rank<true>)),
    arrayArguments(raw("TRIMMEAN", 2, 2, trimMean)),
    arrayArguments(rawOperand("FREQUENCY", 2, 2, frequency)),
};

}  // namespace

std::span<const FunctionSpec> rankingFunctions() { return kRanking; }

}  // namespace calc
