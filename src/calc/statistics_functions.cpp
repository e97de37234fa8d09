// Statistics of one list of numbers: MEDIAN, MODE, the variances and standard deviations
// (sample and population, old and new names), DEVSQ, AVEDEV, GEOMEAN, HARMEAN, SKEW, SKEW.P,
// KURT.
// They read their arguments as SUM does: numbers in ranges, text and booleans given directly
// converted. The ...A forms (STDEVA, VARA ...) also count text in ranges as 0 and TRUE as 1.
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "collect.h"

namespace calc {
namespace {

// The numbers of the arguments, or the error that stopped the walk.
std::optional<ErrorCode> listOf(const Args& args, std::vector<double>& xs, const CollectRule& rule = kSumRule) {
  return collectNumbers(args, rule, [&](double x) { xs.push_back(x); });
}

double meanOf(const std::vector<double>& xs) {
  double total = 0;
  for (double x : xs) total += x;
  return total / static_cast<double>(xs.size());
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
  const double mean = meanOf(xs);
  double total = 0;
  for (double x : xs) total += (x - mean) * (x - mean);
  return total;
}

// The variance of a sample (divided by n - 1) or of a whole population (by n).
template <bool Sample, bool Root, bool AllValues = false>
Value spread(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs, AllValues ? kAllValuesRule : kSumRule)) return *error;
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
  const double mean = meanOf(xs);
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

// The most frequent values in the order they first appear; none when no value repeats.
// Equal values are grouped by sorting their places, so that long lists stay n log n.
std::vector<double> modesOf(const std::vector<double>& xs) {
  std::vector<std::size_t> places(xs.size());
  for (std::size_t i = 0; i < places.size(); ++i) places[i] = i;
  std::stable_sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) { return xs[a] < xs[b]; });
  std::vector<std::pair<std::size_t, std::size_t>> groups;  // (first place, count)
  std::size_t bestCount = 2;
  for (std::size_t start = 0, end = 0; start < places.size(); start = end) {
    while (end < places.size() && xs[places[end]] == xs[places[start]]) ++end;
    groups.emplace_back(places[start], end - start);
    bestCount = std::max(bestCount, end - start);
  }
  std::vector<std::size_t> firstPlaces;
  for (const auto& [first, count] : groups)
    if (count == bestCount) firstPlaces.push_back(first);
  std::sort(firstPlaces.begin(), firstPlaces.end());
  std::vector<double> modes;
  for (std::size_t place : firstPlaces) modes.push_back(xs[place]);
  return modes;
}

// The most frequent value; of equally frequent ones, the first given. No repeat is #N/A.
Value mode(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  const std::vector<double> modes = modesOf(xs);
  return modes.empty() ? Value(ErrorCode::NA) : Value(modes.front());
}

// MODE.MULT: every most frequent value, as a column.
Operand modes(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return errorOperand(*error);
  const std::vector<double> found = modesOf(xs);
  if (found.empty()) return errorOperand(ErrorCode::NA);
  auto column = std::make_shared<Array>();
  column->rows = static_cast<std::int32_t>(found.size());
  column->columns = 1;
  column->values.assign(found.begin(), found.end());
  return arrayOperand(std::move(column));
}

// Sums of the 3rd or 4th powers of the standardised values (the sample standard deviation).
double standardisedPowers(const std::vector<double>& xs, int power) {
  const double mean = meanOf(xs);
  const double sd = std::sqrt(squaredDeviations(xs) / static_cast<double>(xs.size() - 1));
  double total = 0;
  for (double x : xs) total += std::pow((x - mean) / sd, power);
  return total;
}

Value skew(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.size() < 3 || squaredDeviations(xs) == 0) return ErrorCode::Div0;
  const double n = static_cast<double>(xs.size());
  return numberResult(n / ((n - 1) * (n - 2)) * standardisedPowers(xs, 3));
}

// SKEW.P: the skewness of a whole population, by its own standard deviation.
Value skewPopulation(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.size() < 3 || squaredDeviations(xs) == 0) return ErrorCode::Div0;
  const double n = static_cast<double>(xs.size());
  const double mean = meanOf(xs);
  const double sd = std::sqrt(squaredDeviations(xs) / n);
  double total = 0;
  for (double x : xs) total += std::pow((x - mean) / sd, 3);
  return numberResult(total / n);
}

Value kurt(const Args& args) {
  std::vector<double> xs;
  if (auto error = listOf(args, xs)) return *error;
  if (xs.size() < 4 || squaredDeviations(xs) == 0) return ErrorCode::Div0;
  const double n = static_cast<double>(xs.size());
  return numberResult(n * (n + 1) / ((n - 1) * (n - 2) * (n - 3)) * standardisedPowers(xs, 4) -
                      3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3)));
}

const FunctionSpec kStatistics[] = {
    raw("MODE", 1, kManyArgs, mode),
    newer(raw("MODE.SNGL", 1, kManyArgs, mode)),
    arrayArguments(newer(rawOperand("MODE.MULT", 1, kManyArgs, modes))),
    newer(raw("SKEW.P", 1, kManyArgs, skewPopulation)),
    raw("SKEW", 1, kManyArgs, skew),
    raw("KURT", 1, kManyArgs, kurt),
    raw("VARA", 1, kManyArgs, spread<true, false, true>),
    raw("VARPA", 1, kManyArgs, spread<false, false, true>),
    raw("STDEVA", 1, kManyArgs, spread<true, true, true>),
    raw("STDEVPA", 1, kManyArgs, spread<false, true, true>),
    raw("MEDIAN", 1, kManyArgs, median),
    raw("VAR", 1, kManyArgs, spread<true, false>),
    newer(raw("VAR.S", 1, kManyArgs, spread<true, false>)),
    raw("VARP", 1, kManyArgs, spread<false, false>),
    newer(raw("VAR.P", 1, kManyArgs, spread<false, false>)),
    raw("STDEV", 1, kManyArgs, spread<true, true>),
    newer(raw("STDEV.S", 1, kManyArgs, spread<true, true>)),
    raw("STDEVP", 1, kManyArgs, spread<false, true>),
    newer(raw("STDEV.P", 1, kManyArgs, spread<false, true>)),
    raw("DEVSQ", 1, kManyArgs, devsq),
    raw("AVEDEV", 1, kManyArgs, avedev),
    raw("GEOMEAN", 1, kManyArgs, geomean),
    raw("HARMEAN", 1, kManyArgs, harmean),
};

}  // namespace

std::span<const FunctionSpec> statisticsFunctions() { return kStatistics; }

}  // namespace calc
