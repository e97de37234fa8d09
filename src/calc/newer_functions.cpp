// The formula text as files store it: functions the spreadsheet gained after the 2007 file
// format carry a prefix. A function of the table says its own prefix in its entry; this list
// holds only the newer ones the table does not (those the parser compiles itself, such as
// LAMBDA, and those the engine leaves to the spreadsheet application, such as WEBSERVICE), so
// that an application that knows them computes them.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "calc/file_formula.h"
#include "function_spec.h"
#include "parser.h"

namespace calc {
namespace {

constexpr std::string_view kXlfn = "_xlfn.";

struct NewerFunction {
  std::string_view name;  // upper case
  std::string_view prefix;
};

// In name order, for a binary search.
constexpr auto kNewerFunctions = std::to_array<NewerFunction>({
    {"ANCHORARRAY", kXlfn},
    {"BYCOL", kXlfn},
    {"BYROW", kXlfn},
    {"COPILOT", kXlfn},
    {"DETECTLANGUAGE", kXlfn},
    {"ECMA.CEILING", kXlfn},
    {"FIELDVALUE", kXlfn},
    {"FILTERXML", kXlfn},
    {"FORECAST.ETS", kXlfn},
    {"FORECAST.ETS.CONFINT", kXlfn},
    {"FORECAST.ETS.SEASONALITY", kXlfn},
    {"FORECAST.ETS.STAT", kXlfn},
    {"GROUPBY", kXlfn},
    {"IMAGE", kXlfn},
    {"ISOMITTED", kXlfn},
    {"LAMBDA", kXlfn},
    {"LET", kXlfn},
    {"MAKEARRAY", kXlfn},
    {"MAP", kXlfn},
    {"PIVOTBY", kXlfn},
    {"REDUCE", kXlfn},
    {"SCAN", kXlfn},
    {"STOCKHISTORY", kXlfn},
    {"TRANSLATE", kXlfn},
    {"WEBSERVICE", kXlfn},
});

constexpr bool sortedByName() {
  for (std::size_t i = 1; i < kNewerFunctions.size(); ++i)
    if (!(kNewerFunctions[i - 1].name < kNewerFunctions[i].name)) return false;
  return true;
}
static_assert(sortedByName(), "keep the list in name order");

constexpr std::size_t kLongestName = 24;  // FORECAST.ETS.SEASONALITY

bool isNameByte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         c == '\\' || static_cast<unsigned char>(c) >= 0x80;
}

// Copies a quoted stretch ("text" or 'sheet name', the quote doubled inside) from `at`, which
// is on the opening quote; returns the position after the closing one.
std::size_t copyQuoted(std::string_view formula, std::size_t at, std::string& out) {
  const char quote = formula[at];
  std::size_t end = at + 1;
  for (;;) {
    end = formula.find(quote, end);
    if (end == std::string_view::npos) {
      end = formula.size();
      break;
    }
    ++end;
    if (end < formula.size() && formula[end] == quote) {
      ++end;  // a doubled quote stays inside
      continue;
    }
    break;
  }
  out.append(formula.substr(at, end - at));
  return end;
}

// Whether the name starting at `at` is called: a '(' follows, perhaps after spaces.
bool isCall(std::string_view formula, std::size_t end) {
  while (end < formula.size() && formula[end] == ' ') ++end;
  return end < formula.size() && formula[end] == '(';
}

}  // namespace

std::string_view fileFunctionPrefix(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return {};
  char upper[kLongestName];
  for (std::size_t i = 0; i < name.size(); ++i)
    upper[i] = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
  const std::string_view key(upper, name.size());
  if (const FunctionSpec* spec = findFunction(key)) return spec->filePrefix;
  const auto it = std::lower_bound(kNewerFunctions.begin(), kNewerFunctions.end(), key,
                                   [](const NewerFunction& f, std::string_view k) { return f.name < k; });
  return it != kNewerFunctions.end() && it->name == key ? it->prefix : std::string_view{};
}

bool isSpreadsheetFunction(std::string_view name) {
  // Functions of the spreadsheet that need data from outside the workbook or a connection.
  static constexpr std::string_view kOutsideData[] = {
      "CALL", "COPILOT", "CUBEKPIMEMBER", "CUBEMEMBER", "CUBEMEMBERPROPERTY", "CUBERANKEDMEMBER", "CUBESET",
      "CUBESETCOUNT", "CUBEVALUE", "DETECTLANGUAGE", "EUROCONVERT", "FIELDVALUE", "FILTERXML", "GETPIVOTDATA",
      "IMAGE", "INFO", "PY", "REGISTER.ID", "RTD", "SQL.REQUEST", "STOCKHISTORY", "TRANSLATE", "WEBSERVICE"};
  if (!fileFunctionPrefix(name).empty()) return true;
  if (name.size() > kLongestName) return false;
  char upper[kLongestName];
  for (std::size_t i = 0; i < name.size(); ++i)
    upper[i] = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
  const std::string_view key(upper, name.size());
  return std::find(std::begin(kOutsideData), std::end(kOutsideData), key) != std::end(kOutsideData);
}

namespace {

// Whether the formula may pass a function by its name alone: it calls one of those that take
// a LAMBDA (MAP, REDUCE, SCAN, BYROW, BYCOL, GROUPBY, PIVOTBY; in any case).
bool mayPassFunctions(std::string_view formula) {
  std::string upper(formula);
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  for (std::string_view name : {"MAP", "BY", "REDUCE", "SCAN"})
    if (upper.find(name) != std::string::npos) return true;
  return false;
}

// Whether the formula may bind names: it mentions LET or LAMBDA (in any case).
bool mayBindNames(std::string_view formula) {
  for (std::size_t i = 0; i + 3 <= formula.size(); ++i) {
    const char c = static_cast<char>(formula[i] & ~0x20);
    if (c != 'L') continue;
    const auto upper = [&](std::size_t k) { return static_cast<char>(formula[i + k] & ~0x20); };
    if (upper(1) == 'E' && upper(2) == 'T') return true;
    if (i + 6 <= formula.size() && upper(1) == 'A' && upper(2) == 'M' && upper(3) == 'B' && upper(4) == 'D' &&
        upper(5) == 'A')
      return true;
  }
  return false;
}

// The formula with each name LET or LAMBDA binds written as files write it: "_xlpm.x", and
// "_xlop.x" for an optional parameter written "[x]"; a function passed by name "_xleta.SUM".
std::string withBoundNamePrefixes(std::string_view formula, const std::vector<BoundNameSpan>& spans) {
  std::string text;
  std::size_t copied = 0;
  for (const BoundNameSpan& span : spans) {
    text.append(formula.substr(copied, span.offset - copied));
    if (span.function) {
      text.append("_xleta.");
      text.append(formula.substr(span.offset, span.length));
    } else if (span.optional) {
      text.append("_xlop.");
      text.append(formula.substr(span.offset + 1, span.length - 2u));
    } else {
      text.append("_xlpm.");
      text.append(formula.substr(span.offset, span.length));
    }
    copied = span.offset + span.length;
  }
  text.append(formula.substr(copied));
  return text;
}

void appendWithFunctionPrefixes(std::string_view formula, std::string& out);

}  // namespace

void appendFileFormula(std::string_view formula, std::string& out) {
  if (mayBindNames(formula) || mayPassFunctions(formula)) {
    const std::vector<BoundNameSpan> spans = boundNameSpans(formula);
    if (!spans.empty()) return appendWithFunctionPrefixes(withBoundNamePrefixes(formula, spans), out);
  }
  appendWithFunctionPrefixes(formula, out);
}

namespace {

void appendWithFunctionPrefixes(std::string_view formula, std::string& out) {
  out.reserve(out.size() + formula.size());
  // Most formulas call only functions of the 2007 format: the text goes out as it is.
  std::size_t call = formula.find('(');
  std::size_t i = 0;
  while (i < formula.size()) {
    if (call == std::string_view::npos) {
      out.append(formula.substr(i));
      return;
    }
    const char c = formula[i];
    if (c == '"' || c == '\'') {
      i = copyQuoted(formula, i, out);
      if (call < i) call = formula.find('(', i);
      continue;
    }
    if (!isNameByte(c)) {
      out.push_back(c);
      ++i;
      if (call < i) call = formula.find('(', i);
      continue;
    }
    std::size_t end = i;
    while (end < formula.size() && isNameByte(formula[end])) ++end;
    const std::string_view name = formula.substr(i, end - i);
    // A name after '!' is on another sheet, never a function.
    const bool qualified = i > 0 && formula[i - 1] == '!';
    if (!qualified && isCall(formula, end)) out.append(fileFunctionPrefix(name));
    out.append(name);
    i = end;
  }
}

}  // namespace

}  // namespace calc
