// REGEXTEST, REGEXEXTRACT and REGEXREPLACE over the linear-time matcher of lookup_regex.h: a
// pattern it does not offer (back-references, look-around) or a malformed one is #VALUE!.
#include <cmath>
#include <optional>
#include <string>

#include "collect.h"
#include "coercion.h"
#include "lookup_regex.h"
#include "remaining_functions.h"

namespace calc {
namespace {

// A text argument, or the error it carries.
std::optional<ErrorCode> textArgument(const Value& v, std::string& out) {
  if (v.isError()) return v.error();
  out = toText(v);
  return std::nullopt;
}

// A whole-number option (truncated); an empty or left-out one takes `fallback`.
std::optional<ErrorCode> optionArgument(const Value* a, std::size_t n, std::size_t i, double fallback,
                                        double& out) {
  out = fallback;
  if (i >= n || a[i].isEmpty()) return std::nullopt;
  const Number x = toNumber(a[i]);
  if (x.failed) return x.error;
  out = std::trunc(x.value);
  return std::nullopt;
}

// The case argument: 0 matches case, 1 ignores it.
std::optional<ErrorCode> caseArgument(const Value* a, std::size_t n, std::size_t i, bool& ignoreCase) {
  double mode = 0;
  if (auto e = optionArgument(a, n, i, 0, mode)) return e;
  if (mode != 0 && mode != 1) return ErrorCode::Value;
  ignoreCase = mode == 1;
  return std::nullopt;
}

// Where the search goes on after `m`: past it, or one character on after an empty match.
std::size_t resumeAfter(const RegexMatch& m, std::string_view text) {
  std::size_t next = m.end();
  if (m.begin() == m.end() && next < text.size()) {
    ++next;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
  }
  return next;
}

// Every match, left to right; `limit` stops early.
std::vector<RegexMatch> allMatches(const Regex& regex, std::string_view text,
                                   std::size_t limit = static_cast<std::size_t>(-1)) {
  std::vector<RegexMatch> matches;
  std::size_t from = 0;
  while (from <= text.size() && matches.size() < limit) {
    std::optional<RegexMatch> m = regex.find(text, from);
    if (!m) break;
    from = resumeAfter(*m, text);
    const bool emptyAtEnd = m->begin() == m->end() && m->end() == text.size();
    matches.push_back(std::move(*m));
    if (emptyAtEnd) break;  // nothing further to find
  }
  return matches;
}

std::string_view groupText(std::string_view text, const RegexMatch& m, std::size_t group) {
  const auto [b, e] = m.groups[group];
  return b == RegexMatch::kNone ? std::string_view{} : text.substr(b, e - b);
}

// The replacement with "$n", "${n}" and "$0" put in, "$$" a dollar sign; false for a group
// the pattern does not have.
bool expand(std::string_view replacement, std::string_view text, const RegexMatch& m, std::string& out) {
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char c = replacement[i];
    if (c != '$' || i + 1 == replacement.size()) {
      out.push_back(c);
      continue;
    }
    const char d = replacement[i + 1];
    if (d == '$') {
      out.push_back('$');
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    const bool braced = d == '{';
    if (braced) ++j;
    std::size_t group = 0, digits = 0;
    while (j < replacement.size() && replacement[j] >= '0' && replacement[j] <= '9' && digits < 3)
      group = group * 10 + static_cast<std::size_t>(replacement[j++] - '0'), ++digits;
    if (digits == 0 || (braced && (j >= replacement.size() || replacement[j] != '}'))) {
      out.push_back(c);  // a dollar sign that names no group stays as it is
      continue;
    }
    if (group >= m.groups.size()) return false;
    out.append(groupText(text, m, group));
    i = braced ? j : j - 1;
  }
  return true;
}

Operand rowOf(std::vector<Value> values) {
  auto array = std::make_shared<Array>();
  array->rows = 1;
  array->columns = static_cast<std::int32_t>(values.size());
  array->values = std::move(values);
  return arrayOperand(std::move(array));
}

}  // namespace

// REGEXTEST(text, pattern, [case_sensitivity])
Value regexTest(const Value* a, std::size_t n) {
  std::string text, pattern;
  bool ignoreCase = false;
  if (auto e = textArgument(a[0], text)) return *e;
  if (auto e = textArgument(a[1], pattern)) return *e;
  if (auto e = caseArgument(a, n, 2, ignoreCase)) return *e;
  const Regex regex(pattern, ignoreCase);
  if (!regex.valid()) return ErrorCode::Value;
  return regex.search(text);
}

// REGEXEXTRACT(text, pattern, [return_mode], [case_sensitivity]): the first match (0), every
// match (1) or the first match's groups (2), the last two as a row; no match is #N/A.
Operand regexExtract(const Args& args) {
  Value a[4];
  for (std::size_t i = 0; i < args.size(); ++i) a[i] = args.scalar(i);
  std::string text, pattern;
  double mode = 0;
  bool ignoreCase = false;
  if (auto e = textArgument(a[0], text)) return errorOperand(*e);
  if (auto e = textArgument(a[1], pattern)) return errorOperand(*e);
  if (auto e = optionArgument(a, args.size(), 2, 0, mode)) return errorOperand(*e);
  if (auto e = caseArgument(a, args.size(), 3, ignoreCase)) return errorOperand(*e);
  if (mode < 0 || mode > 2) return errorOperand(ErrorCode::Value);
  const Regex regex(pattern, ignoreCase);
  if (!regex.capturable()) return errorOperand(ErrorCode::Value);
  const std::vector<RegexMatch> matches = allMatches(regex, text, mode == 1 ? static_cast<std::size_t>(-1) : 1);
  if (matches.empty()) return errorOperand(ErrorCode::NA);
  std::vector<Value> values;
  if (mode == 0) {
    values.push_back(std::string(groupText(text, matches.front(), 0)));
  } else if (mode == 1) {
    for (const RegexMatch& m : matches) values.push_back(std::string(groupText(text, m, 0)));
  } else {
    if (matches.front().groups.size() < 2) return errorOperand(ErrorCode::NA);
    for (std::size_t g = 1; g < matches.front().groups.size(); ++g)
      values.push_back(std::string(groupText(text, matches.front(), g)));
  }
  if (values.size() == 1) {
    Operand one;
    one.set(std::move(values.front()));
    return one;
  }
  return rowOf(std::move(values));
}

// REGEXREPLACE(text, pattern, replacement, [occurrence], [case_sensitivity]): every match
// (occurrence 0), the n-th, or the n-th from the end when negative.
Value regexReplace(const Value* a, std::size_t n) {
  std::string text, pattern, replacement;
  double occurrence = 0;
  bool ignoreCase = false;
  if (auto e = textArgument(a[0], text)) return *e;
  if (auto e = textArgument(a[1], pattern)) return *e;
  if (auto e = textArgument(a[2], replacement)) return *e;
  if (auto e = optionArgument(a, n, 3, 0, occurrence)) return *e;
  if (auto e = caseArgument(a, n, 4, ignoreCase)) return *e;
  const Regex regex(pattern, ignoreCase);
  if (!regex.capturable()) return ErrorCode::Value;
  const std::vector<RegexMatch> matches = allMatches(regex, text);
  const double count = static_cast<double>(matches.size());
  const double chosen = occurrence < 0 ? count + occurrence : occurrence - 1;  // -1: all of them
  if (occurrence != 0 && (chosen < 0 || chosen >= count)) return textResult(text);
  std::string out;
  std::size_t copied = 0;
  for (std::size_t k = 0; k < matches.size(); ++k) {
    if (occurrence != 0 && static_cast<double>(k) != chosen) continue;
    const RegexMatch& m = matches[k];
    out.append(text, copied, m.begin() - copied);
    if (!expand(replacement, text, m, out)) return ErrorCode::Value;
    copied = m.end();
  }
  out.append(text, copied, std::string::npos);
  return textResult(std::move(out));
}

}  // namespace calc
