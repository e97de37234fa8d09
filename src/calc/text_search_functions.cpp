// Finding, replacing and joining text, and characters by code: CHAR, CODE, UNICHAR, UNICODE,
// CLEAN, FIND, SEARCH (and their B forms), SUBSTITUTE, REPLACE, PROPER, CONCAT, CONCATENATE,
// TEXTJOIN, and the delimiter functions of text_delimited.h. Positions count characters; the B forms count the same on a
// system whose language uses one byte per character.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "coercion.h"
#include "function_spec.h"
#include "text_builder.h"
#include "text_delimited.h"
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
  TextBuilder out;
  std::size_t from = 0;
  double seen = 0;
  for (std::size_t at = text.find(old); at != std::string::npos; at = text.find(old, from)) {
    ++seen;
    const bool replaced = instance == 0 || seen == instance;
    if (!out.append(std::string_view(text).substr(from, at - from)) || !out.append(replaced ? replacement : old))
      return ErrorCode::Value;
    from = at + old.size();
    if (seen == instance) break;
  }
  if (!out.append(std::string_view(text).substr(from))) return ErrorCode::Value;
  return out.take();
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
  TextBuilder out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args.isMissing(i)) continue;
    const Value v = args.scalar(i);
    if (v.isError()) return v;
    if (!out.append(toText(v))) return ErrorCode::Value;
  }
  return out.take();
}

// CONCAT: every value of every argument, ranges and arrays included.
Value concat(const Args& args) {
  TextBuilder out;
  std::optional<ErrorCode> error;
  for (std::size_t i = 0; i < args.size() && !error; ++i)
    args.forEach(i, [&](const Value& v) {
      if (v.isError()) error = v.error();
      else if (!out.append(toText(v))) error = ErrorCode::Value;
      return !error;
    });
  if (error) return *error;
  return out.take();
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
  TextBuilder out;
  std::size_t joined = 0;
  for (std::size_t i = 2; i < args.size() && !error; ++i) {
    if (args.isMissing(i)) continue;
    args.forEach(i, [&](const Value& v) {
      if (v.isError()) return error = v.error(), false;
      const std::string piece = toText(v);
      if (piece.empty() && ignoreEmpty.value) return true;
      if ((joined > 0 && !out.append(delimiters[(joined - 1) % delimiters.size()])) || !out.append(piece))
        error = ErrorCode::Value;
      ++joined;
      return !error;
    });
  }
  if (error) return *error;
  return out.take();
}

const FunctionSpec kTextSearch[] = {
    scalars("CHAR", 1, 1, charOf),
    scalars("CODE", 1, 1, codeOf<false>),
    newer(scalars("UNICHAR", 1, 1, unichar)),
    newer(scalars("UNICODE", 1, 1, codeOf<true>)),
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
    newer(raw("CONCAT", 1, kManyArgs, concat)),
    newer(raw("TEXTJOIN", 3, kManyArgs, textjoin)),
    newer(raw("TEXTBEFORE", 2, 6, textBefore)),
    newer(raw("TEXTAFTER", 2, 6, textAfter)),
    newer(rawOperand("TEXTSPLIT", 2, 6, textSplit)),
};

}  // namespace

std::span<const FunctionSpec> textSearchFunctions() { return kTextSearch; }

}  // namespace calc
