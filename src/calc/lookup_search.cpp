#include "lookup_search.h"

#include <memory>
#include <string>

#include "lookup_regex.h"
#include "wildcard.h"

namespace calc {
namespace {

// Numbers sort before texts, texts before truth values; empty cells and errors take no part.
int typeRank(const Value& v) {
  if (v.isNumber()) return 0;
  if (v.isText()) return 1;
  if (v.isBool()) return 2;
  return -1;
}

bool comparable(const Value& v) { return typeRank(v) >= 0; }

// Ordering across types by rank, within a type as the spreadsheet compares.
int compareRanked(const Value& a, const Value& b) {
  const int ra = typeRank(a), rb = typeRank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  return compareValues(a, b);
}

class Matcher {
 public:
  Matcher(const Value& sought, MatchMode mode)
      : sought_(sought),
        wildcard_(mode == MatchMode::Wildcard && sought.isText() &&
                  (hasWildcards(sought.text()) || sought.text().find('~') != std::string::npos)) {
    if (mode == MatchMode::Regex) regex_ = std::make_unique<Regex>(toText(sought));
  }

  bool equal(const Value& v) const {
    if (regex_) return v.isText() && regex_->search(v.text());
    if (typeRank(v) != typeRank(sought_)) return false;
    if (wildcard_) return wildcardMatch(sought_.text(), v.text());
    return compareValues(v, sought_) == 0;
  }
  bool sameType(const Value& v) const { return typeRank(v) == typeRank(sought_); }
  int compare(const Value& v) const { return compareRanked(v, sought_); }

 private:
  const Value& sought_;
  bool wildcard_;
  std::unique_ptr<Regex> regex_;
};

// An empty value sought finds the first (or last) empty cell.
std::optional<std::int64_t> findEmpty(const GridLine& line, bool backwards) {
  const std::int64_t n = line.size(), used = line.used();
  if (backwards) {
    if (used < n) return n - 1;
    for (std::int64_t i = n - 1; i >= 0; --i)
      if (line.at(i).isEmpty()) return i;
    return std::nullopt;
  }
  for (std::int64_t i = 0; i < used; ++i)
    if (line.at(i).isEmpty()) return i;
  if (used < n) return used;
  return std::nullopt;
}

// A scan in either direction: the first exact match, or failing that the nearest value on the
// side the mode asks for (the first of equals met). Values of other types are nearer or further
// by their type's rank.
std::optional<std::int64_t> scan(const GridLine& line, const Matcher& matcher, MatchMode mode, bool backwards) {
  const std::int64_t n = line.used();
  const bool nearest = mode == MatchMode::ExactOrSmaller || mode == MatchMode::ExactOrLarger;
  std::optional<std::int64_t> best;
  Value bestValue;
  for (std::int64_t k = 0; k < n; ++k) {
    const std::int64_t i = backwards ? n - 1 - k : k;
    const Value v = line.at(i);
    if (matcher.equal(v)) return i;
    if (!nearest || !comparable(v)) continue;
    const int side = matcher.compare(v);
    if (mode == MatchMode::ExactOrSmaller ? side > 0 : side < 0) continue;
    const int order = best ? compareRanked(v, bestValue) : 0;
    if (!best || (mode == MatchMode::ExactOrSmaller ? order > 0 : order < 0)) {
      best = i;
      bestValue = v;
    }
  }
  return best;
}

// A line read forwards, or backwards so that a descending line is searched as an ascending one.
struct Ordered {
  const GridLine& line;
  bool reversed;
  std::int64_t n = line.used();

  Value at(std::int64_t i) const { return line.at(original(i)); }
  std::int64_t original(std::int64_t i) const { return reversed ? n - 1 - i : i; }
  // The nearest position at or after (`step` 1) or before (-1) `i` whose value takes part.
  std::optional<std::int64_t> comparableFrom(std::int64_t i, int step) const {
    for (; i >= 0 && i < n; i += step)
      if (comparable(at(i))) return i;
    return std::nullopt;
  }
};

// Halving over [lo, hi): the first position whose value is not below the one sought. A position
// that takes no part (empty, an error) gives way to the nearest one before it.
std::int64_t lowerBound(const Ordered& line, const Matcher& matcher) {
  std::int64_t lo = 0, hi = line.n;
  while (lo < hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    std::int64_t m = mid;
    while (m >= lo && !comparable(line.at(m))) --m;
    if (m < lo) lo = mid + 1;
    else if (matcher.compare(line.at(m)) < 0) lo = mid + 1;
    else hi = m;
  }
  return lo;
}

// XLOOKUP's and XMATCH's halving: the first of equal values in the order searched.
std::optional<std::int64_t> binary(const GridLine& grid, const Matcher& matcher, MatchMode mode, bool descending) {
  const Ordered line{grid, descending};
  const std::int64_t bound = lowerBound(line, matcher);
  const auto above = line.comparableFrom(bound, 1);
  std::optional<std::int64_t> pick;
  if (above && matcher.equal(line.at(*above))) pick = above;
  else if (mode == MatchMode::ExactOrLarger) pick = above;
  else if (mode == MatchMode::ExactOrSmaller) pick = line.comparableFrom(bound - 1, -1);
  if (!pick) return std::nullopt;
  return line.original(*pick);
}

// The classic lookups' halving (MATCH 1 and -1, VLOOKUP, HLOOKUP, LOOKUP): the last position
// whose value is on the sought value's side, at or below it when ascending, at or above when
// descending; it answers only when of the sought value's type.
std::optional<std::int64_t> lastNotPast(const GridLine& line, const Matcher& matcher, bool ascending) {
  std::int64_t lo = 0, hi = line.used() - 1;
  std::optional<std::int64_t> found;
  while (lo <= hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    std::int64_t m = mid;
    Value v = line.at(m);
    while (!comparable(v) && m > lo) v = line.at(--m);
    if (!comparable(v)) {
      lo = mid + 1;
      continue;
    }
    const int side = matcher.compare(v);
    if (ascending ? side <= 0 : side >= 0) {
      found = m;
      lo = mid + 1;
    } else {
      hi = m - 1;
    }
  }
  if (found && !matcher.sameType(line.at(*found))) return std::nullopt;
  return found;
}

}  // namespace

std::optional<std::int64_t> findInLine(const GridLine& line, const Value& sought, MatchMode match,
                                       SearchMode search) {
  const bool backwards = search == SearchMode::LastToFirst;
  if (sought.isEmpty()) return findEmpty(line, backwards);
  const Matcher matcher(sought, match);
  switch (search) {
    case SearchMode::FirstToLast:
    case SearchMode::LastToFirst: return scan(line, matcher, match, backwards);
    case SearchMode::BinaryAscending: return binary(line, matcher, match, false);
    case SearchMode::BinaryDescending: return binary(line, matcher, match, true);
  }
  return std::nullopt;
}

}  // namespace calc

namespace calc {

std::optional<std::int64_t> findSorted(const GridLine& line, const Value& sought, bool ascending) {
  if (sought.isEmpty()) return std::nullopt;
  return lastNotPast(line, Matcher(sought, MatchMode::Exact), ascending);
}

}  // namespace calc
