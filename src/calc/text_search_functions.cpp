// Finding, replacing and joining text, and characters by code: CHAR, CODE, UNICHAR, UNICODE,
// CLEAN, FIND, SEARCH (and their B forms), SUBSTITUTE, REPLACE, PROPER, CONCAT, CONCATENATE,
// TEXTJOIN, TEXTBEFORE, TEXTAFTER, TEXTSPLIT. Positions count characters; the B forms count the same on a
// system whose language uses one byte per character.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coercion.h"
#include "function_spec.h"
#include "text_utf8.h"
#include "wildcard.h"

namespace calc {
namespace {

// A count or position argument, truncated toward zero.
Number wholeOf(const Value& v) {
  Number n = toNumber(v);
  if (!n.failed) n.value = std::trunc(n.value);
  return n;
}

// ---- characters by code ----------------------------------------------------------------------

// Windows-1252 0x80-0x9F; the five codes it leaves unassigned stand for themselves.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

Value charOf(const Value* a, std::size_t) {
  const Number n = wholeOf(a[0]);
  if (n.failed) return n.error;
  if (n.value < 1 || n.value > 255) return ErrorCode::Value;
  const auto code = static_cast<char32_t>(n.value);
  std::string out;
  appendUtf8(out, code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : code);
  return out;
}

// The Windows-1252 code of a character; '?' for one that code page lacks, as Excel writes it.
double cp1252Code(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<double>(c);
  for (char32_t i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return static_cast<double>(0x80 + i);
  return '?';
}

template <bool Unicode>
Value codeOf(const Value* a, std::size_t) {
  if (a[0].isError()) return a[0];
  const std::string text = toText(a[0]);
  if (text.empty()) return ErrorCode::Value;
  std::size_t length = 0;
  const char32_t c = decodeAt(text, 0, length);
  return Unicode ? static_cast<double>(c) : cp1252Code(c);
}

Value unichar(const Value* a, std::size_t) {
  const Number n = wholeOf(a[0]);
  if (n.failed) return n.error;
  if (n.value < 1 || n.value > 0x10FFFF) return ErrorCode::Value;
  const auto code = static_cast<char32_t>(n.value);
  if (code >= 0xD800 && code <= 0xDFFF) return ErrorCode::NA;  // half of a surrogate pair
  std::string out;
  appendUtf8(out, code);
  return out;
}

// CLEAN drops the control characters 0-31.
Value clean(const Value* a, std::size_t) {
  if (a[0].isError()) return a[0];
  std::string out;
  for (char c : toText(a[0]))
    if (static_cast<unsigned char>(c) >= 32) out += c;
  return out;
}

// PROPER: a letter after a letter is lower case, any other letter upper case.
Value proper(const Value* a, std::size_t) {
  if (a[0].isError()) return a[0];
  bool afterLetter = false;
  return textResult(mapCharacters(toText(a[0]), [&](char32_t c) {
    const char32_t mapped = afterLetter ? toLowerLetter(c) : toUpperLetter(c);
    afterLetter = isLetter(c);
    return mapped;
  }));
}

// ---- finding ---------------------------------------------------------------------------------

// In SEARCH a tilde makes any character after it plain, and a tilde at the end stands for
// nothing; the shared matcher keeps a tilde before other characters, so those are dropped here.
std::string literalTildes(std::string_view pattern) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '~') {
      out += pattern[i];
    } else if (i + 1 < pattern.size()) {
      const char next = pattern[++i];
      if (next == '*' || next == '?' || next == '~') out += '~';
      out += next;
    }
  }
  return out;
}

// FIND and SEARCH(find_text, within_text, [start_num = 1]): the position of the first match
// at or after start_num, #VALUE! when there is none or start_num lies outside the text.
template <bool Search>
Value find(const Value* a, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (a[i].isError()) return a[i];
  const std::string needle = toText(a[0]);
  const std::string text = toText(a[1]);
  double start = 1;
  if (n > 2) {
    const Number s = wholeOf(a[2]);
    if (s.failed) return s.error;
    start = s.value;
  }
  const double length = static_cast<double>(characterCount(text));
  if (start < 1 || start > length + 1) return ErrorCode::Value;
  if (needle.empty()) return start;
  const std::size_t from = byteOffsetOf(text, static_cast<std::size_t>(start) - 1);
  std::optional<std::size_t> at;
  if (Search) {
    at = wildcardFind(foldCase(literalTildes(needle)), foldCase(text), from);  // Latin-1 folded too
  } else if (const std::size_t found = text.find(needle, from); found != std::string::npos) {
    at = found;
  }
  if (!at) return ErrorCode::Value;
  return static_cast<double>(characterCount(std::string_view(text).substr(0, *at)) + 1);
}

// ---- replacing -------------------------------------------------------------------------------

// SUBSTITUTE(text, old_text, new_text, [instance_num]): every match, or only the n-th.
Value substitute(const Value* a, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (a[i].isError()) return a[i];
  const std::string text = toText(a[0]), old = toText(a[1]), replacement = toText(a[2]);
  double instance = 0;
  if (n > 3) {
    const Number k = wholeOf(a[3]);
    if (k.failed) return k.error;
    if (k.value < 1) return ErrorCode::Value;
    instance = k.value;
  }
  if (old.empty()) return text;
  std::string out;
  std::size_t from = 0;
  double seen = 0;
  for (std::size_t at = text.find(old); at != std::string::npos; at = text.find(old, from)) {
    ++seen;
    out.append(text, from, at - from);
    out += instance == 0 || seen == instance ? replacement : old;
    from = at + old.size();
    if (seen == instance) break;
    if (!fitsTextLimit(out)) return ErrorCode::Value;
  }
  out.append(text, from);
  return textResult(std::move(out));
}

// REPLACE(old_text, start_num, num_chars, new_text).
Value replace(const Value* a, std::size_t) {
  for (std::size_t i = 0; i < 4; ++i)
    if (a[i].isError()) return a[i];
  const std::string text = toText(a[0]), replacement = toText(a[3]);
  const Number start = wholeOf(a[1]);
  if (start.failed) return start.error;
  const Number count = wholeOf(a[2]);
  if (count.failed) return count.error;
  if (start.value < 1 || count.value < 0) return ErrorCode::Value;
  const double length = static_cast<double>(characterCount(text));
  const double first = std::min(start.value - 1, length);
  const double last = std::min(first + count.value, length);
  const std::size_t begin = byteOffsetOf(text, static_cast<std::size_t>(first));
  const std::size_t end = byteOffsetOf(text, static_cast<std::size_t>(last));
  return textResult(text.substr(0, begin) + replacement + text.substr(end));
}

// ---- joining ---------------------------------------------------------------------------------

// CONCATENATE: one value per argument.
Value concatenate(const Args& args) {
  Value out = std::string();
  for (std::size_t i = 0; i < args.size() && !out.isError(); ++i)
    if (!args.isMissing(i)) appendText(out, args.scalar(i));
  return out;
}

// CONCAT: every value of every argument, ranges and arrays included.
Value concat(const Args& args) {
  Value out = std::string();
  for (std::size_t i = 0; i < args.size() && !out.isError(); ++i)
    args.forEach(i, [&](const Value& v) {
      appendText(out, v);
      return !out.isError();
    });
  return out;
}

// TEXTJOIN(delimiter, ignore_empty, text1, ...): the delimiters, if several, are used in turn.
Value textjoin(const Args& args) {
  std::vector<std::string> delimiters;
  std::optional<ErrorCode> error;
  args.forEach(0, [&](const Value& v) {
    if (v.isError()) error = v.error();
    delimiters.push_back(toText(v));
    return !error;
  });
  if (error) return *error;
  if (delimiters.empty()) delimiters.emplace_back();
  const Truth ignoreEmpty = toTruth(args.scalar(1));
  if (ignoreEmpty.failed) return ignoreEmpty.error;
  std::string out;
  std::size_t joined = 0;
  for (std::size_t i = 2; i < args.size() && !error; ++i) {
    if (args.isMissing(i)) continue;
    args.forEach(i, [&](const Value& v) {
      if (v.isError()) return error = v.error(), false;
      const std::string piece = toText(v);
      if (piece.empty() && ignoreEmpty.value) return true;
      if (joined > 0) out += delimiters[(joined - 1) % delimiters.size()];
      out += piece;
      ++joined;
      if (!fitsTextLimit(out)) error = ErrorCode::Value;
      return !error;
    });
  }
  if (error) return *error;
  return textResult(std::move(out));
}

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
template <bool Before>
Value textAround(const Args& args) {
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
  return Before ? text.substr(0, m.begin) : text.substr(m.end);
}

// ---- splitting -------------------------------------------------------------------------------

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

// TEXTSPLIT(text, col_delimiter, [row_delimiter], [ignore_empty = FALSE], [match_mode = 0],
// [pad_with = #N/A]): a row per row piece, a column per column piece, short rows padded.
Operand textsplit(const Args& args) {
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

const FunctionSpec kTextSearch[] = {
    scalars("CHAR", 1, 1, charOf),
    scalars("CODE", 1, 1, codeOf<false>),
    scalars("UNICHAR", 1, 1, unichar),
    scalars("UNICODE", 1, 1, codeOf<true>),
    scalars("CLEAN", 1, 1, clean),
    scalars("PROPER", 1, 1, proper),
    scalars("FIND", 2, 3, find<false>),
    scalars("FINDB", 2, 3, find<false>),
    scalars("SEARCH", 2, 3, find<true>),
    scalars("SEARCHB", 2, 3, find<true>),
    scalars("SUBSTITUTE", 3, 4, substitute),
    scalars("REPLACE", 4, 4, replace),
    scalars("REPLACEB", 4, 4, replace),
    raw("CONCATENATE", 1, kManyArgs, concatenate),
    raw("CONCAT", 1, kManyArgs, concat),
    raw("TEXTJOIN", 3, kManyArgs, textjoin),
    raw("TEXTBEFORE", 2, 6, textAround<true>),
    raw("TEXTAFTER", 2, 6, textAround<false>),
    rawOperand("TEXTSPLIT", 2, 6, textsplit),
};

}  // namespace

std::span<const FunctionSpec> textSearchFunctions() { return kTextSearch; }

}  // namespace calc
