#pragma once
// Finding a value in a row or column the way the spreadsheet's lookups do: exact matches with
// or without wildcards, the next smaller or larger value, scanning either way or halving the
// search on data taken to be sorted.
#include <cstdint>
#include <optional>

#include "lookup_grid.h"

namespace calc {

enum class MatchMode : std::uint8_t {
  Exact,
  ExactOrSmaller,  // else the largest value below the one sought
  ExactOrLarger,   // else the smallest value above it
  Wildcard,        // exact, with '*', '?' and '~' in a text sought
  Regex,           // the value sought, as text, a regular expression found in a text cell
};

enum class SearchMode : std::uint8_t {
  FirstToLast,
  LastToFirst,
  BinaryAscending,   // the line taken to be sorted ascending, as Excel takes it even when it is not
  BinaryDescending,
};

// The position (from 0) of the value found, nothing when none is. Only values of the sought
// value's type match: numbers, texts (without regard to case) or truth values; errors and empty
// cells never do, except that an empty value sought finds the first empty cell (the last when
// searching from the end).
// Values of another type count as smaller or larger by type: numbers, then texts, then truth
// values. Halving finds the first of equal values in the order searched.
std::optional<std::int64_t> findInLine(const GridLine& line, const Value& sought, MatchMode match,
                                       SearchMode search);

// The classic approximate lookups (MATCH 1 and -1, VLOOKUP and HLOOKUP unless exact, LOOKUP):
// on a line taken to be sorted, the last value not past the one sought, the last of equals;
// only a value of the sought value's type answers.
std::optional<std::int64_t> findSorted(const GridLine& line, const Value& sought, bool ascending);

}  // namespace calc
