#include "text_delimited.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coercion.h"
#include "text_utf8.h"

namespace calc {
namespace {

// ---- text before or after a delimiter --------------------------------------------------------

struct Match {
  std::size_t begin = 0, end = 0;  // bytes
};

// Every match of any delimiter, left to right, none overlapping; the earliest wins, and the
// first delimiter listed among those that match at one place.
std::vector<Match> delimiterMatches(const std::string& text, const std::vector<std::string>& delimiters) {
  std::vector<Match> matches;
  for (std::size_t from = 0; from <= text.size();) {
    std::optional<Match> best;
    for (const std::string& d : delimiters) {
      const std::size_t at = text.find(d, from);
      if (at != std::string::npos && (!best || at < best->begin)) best = Match{at, at + d.size()};
    }
    if (!best) break;
    matches.push_back(*best);
    from = best->end;
  }
  return matches;
}

// TEXTBEFORE / TEXTAFTER(text, delimiter, [instance_num = 1], [match_mode = 0],
// [match_end = 0], [if_not_found = #N/A]). A negative instance counts from the end.
Value textAround(const Args& args, bool before) {
  const Value source = args.scalar(0);
  if (source.isError()) return source;
  std::string text = toText(source);
  std::vector<std::string> delimiters;
  std::optional<ErrorCode> error;
  args.forEach(1, [&](const Value& v) {
    if (v.isError()) error = v.error();
    delimiters.push_back(toText(v));
    return !error;
  });
  if (error) return *error;
  // The counts are rounded down: -1.2 is the second match from the end.
  auto optionalNumber = [&](std::size_t i, double fallback) -> Number {
    if (args.size() <= i || args.isMissing(i)) return {fallback};
    Number n = toNumber(args.scalar(i));
    n.value = std::floor(n.value);
    return n;
  };
  const Number instance = optionalNumber(2, 1), mode = optionalNumber(3, 0), end = optionalNumber(4, 0);
  for (const Number& n : {instance, mode, end})
    if (n.failed) return n.error;
  const double length = static_cast<double>(characterCount(text));
  // Excel refuses a delimiter longer than the text once an instance is asked for.
  const bool instanceGiven = args.size() > 2 && !args.isMissing(2);
  const bool delimiterTooLong = instanceGiven && std::any_of(delimiters.begin(), delimiters.end(), [&](const std::string& d) {
    return static_cast<double>(characterCount(d)) > length;
  });
  if (instance.value == 0 || std::fabs(instance.value) > length + 1 || (mode.value != 0 && mode.value != 1) ||
      (end.value != 0 && end.value != 1) || delimiters.empty() || delimiterTooLong)
    return ErrorCode::Value;
  const std::string searched = mode.value == 1 ? foldCase(text) : text;
  for (std::string& d : delimiters)
    if (mode.value == 1) d = foldCase(d);
  std::vector<Match> matches;
  const bool anyEmpty = std::any_of(delimiters.begin(), delimiters.end(), [](const std::string& d) { return d.empty(); });
  if (anyEmpty) matches.push_back(instance.value > 0 ? Match{0, 0} : Match{text.size(), text.size()});
  else matches = delimiterMatches(searched, delimiters);
  // With match_end the ends of the text count as delimiters too.
  if (end.value != 0 && !anyEmpty) {
    if (instance.value > 0) matches.push_back({text.size(), text.size()});
    else matches.insert(matches.begin(), Match{0, 0});
  }
  const double count = static_cast<double>(matches.size());
  const double index = instance.value > 0 ? instance.value - 1 : count + instance.value;
  if (index < 0 || index >= count) {
    if (args.size() <= 5 || args.isMissing(5)) return ErrorCode::NA;
    const Value fallback = args.scalar(5);
    return fallback.isEmpty() ? Value(std::string()) : fallback;
  }
  const Match& m = matches[static_cast<std::size_t>(index)];
  return before ? text.substr(0, m.begin) : text.substr(m.end);
}

// ---- splitting --------------------------------------------------------------------------------

// The pieces of searched[begin, end) between matches of the delimiters, as byte ranges.
std::vector<Match> piecesOf(std::string_view searched, Match range, const std::vector<std::string>& delimiters) {
  std::vector<Match> pieces;
  const std::string part(searched.substr(range.begin, range.end - range.begin));
  std::size_t from = 0;
  if (!delimiters.empty())
    for (const Match& m : delimiterMatches(part, delimiters)) {
      pieces.push_back({range.begin + from, range.begin + m.begin});
      from = m.end;
    }
  pieces.push_back({range.begin + from, range.end});
  return pieces;
}

// The non-empty texts of a delimiter argument (folded for match_mode 1); none if left out.
std::optional<ErrorCode> delimitersOf(const Args& args, std::size_t i, bool fold, std::vector<std::string>& out) {
  if (args.size() <= i || args.isMissing(i)) return std::nullopt;
  std::optional<ErrorCode> error;
  args.forEach(i, [&](const Value& v) {
    if (v.isError()) return error = v.error(), false;
    std::string d = toText(v);
    if (!d.empty()) out.push_back(fold ? foldCase(d) : d);
    return true;
  });
  return error;
}

}  // namespace

Value textBefore(const Args& args) { return textAround(args, true); }
Value textAfter(const Args& args) { return textAround(args, false); }

// TEXTSPLIT(text, col_delimiter, [row_delimiter], [ignore_empty = FALSE], [match_mode = 0],
// [pad_with = #N/A]): a row per row piece, a column per column piece, short rows padded.
Operand textSplit(const Args& args) {
  Operand result;
  auto fail = [&](ErrorCode e) {
    result.kind = Operand::Kind::Value;
    result.value = e;
    return result;
  };
  const Value source = args.scalar(0);
  if (source.isError()) return fail(source.error());
  auto flag = [&](std::size_t i) -> Number {
    if (args.size() <= i || args.isMissing(i)) return {0};
    const Value v = args.scalar(i);
    return v.isText() ? Number::fail(ErrorCode::Value) : toNumber(v);
  };
  const Number ignoreEmpty = flag(3), mode = flag(4);
  if (ignoreEmpty.failed) return fail(ignoreEmpty.error);
  if (mode.failed) return fail(mode.error);
  if (mode.value != 0 && mode.value != 1) return fail(ErrorCode::Value);
  const bool fold = mode.value == 1;
  std::vector<std::string> columnDelimiters, rowDelimiters;
  for (auto error : {delimitersOf(args, 1, fold, columnDelimiters), delimitersOf(args, 2, fold, rowDelimiters)})
    if (error) return fail(*error);
  if (columnDelimiters.empty() && rowDelimiters.empty()) return fail(ErrorCode::Value);
  const std::string text = toText(source);
  const std::string searched = fold ? foldCase(text) : text;
  std::vector<std::vector<Match>> rows;
  std::size_t width = 0;
  for (const Match& line : piecesOf(searched, {0, text.size()}, rowDelimiters)) {
    std::vector<Match> row = piecesOf(searched, line, columnDelimiters);
    if (ignoreEmpty.value != 0) {
      std::erase_if(row, [](const Match& m) { return m.begin == m.end; });
      if (row.empty()) continue;
    }
    width = std::max(width, row.size());
    rows.push_back(std::move(row));
  }
  if (rows.empty()) return fail(ErrorCode::Value);  // nothing but delimiters, all ignored
  // Padding could make a short text a huge array ("a,a,...;b;b;..."): refuse past a sheet's worth.
  if (static_cast<double>(rows.size()) * static_cast<double>(width) > 4.0 * 1024 * 1024) return fail(ErrorCode::Value);
  Value pad = ErrorCode::NA;
  if (args.size() > 5 && !args.isMissing(5)) pad = args.scalar(5);
  auto array = std::make_shared<Array>();
  array->rows = static_cast<std::int32_t>(rows.size());
  array->columns = static_cast<std::int32_t>(width);
  array->values.reserve(rows.size() * width);
  for (const std::vector<Match>& row : rows)
    for (std::size_t column = 0; column < width; ++column)
      array->values.push_back(column < row.size() ? Value(text.substr(row[column].begin, row[column].end - row[column].begin)) : pad);
  result.kind = Operand::Kind::Array;
  result.array = std::move(array);
  return result;
}

}  // namespace calc
