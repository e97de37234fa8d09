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
#include "calc/formula_tokens.h"
#include "function_spec.h"
#include "lambda_forms.h"
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

}  // namespace

std::string_view fileFunctionPrefix(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return {};
  char upper[kLongestName];
  for (std::size_t i = 0; i < name.size(); ++i)
    upper[i] = asciiUpper(name[i]);
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
    upper[i] = asciiUpper(name[i]);
  const std::string_view key(upper, name.size());
  return std::find(std::begin(kOutsideData), std::end(kOutsideData), key) != std::end(kOutsideData);
}

namespace {

// The name a call is written with, without the prefixes files give newer functions.
std::string_view plainName(std::string_view name) {
  const auto prefixed = [&name](std::string_view upperPrefix) {
    return name.size() > upperPrefix.size() && equalsInAnyCase(name.substr(0, upperPrefix.size()), upperPrefix);
  };
  while (prefixed("_XLFN.") || prefixed("_XLWS.")) name.remove_prefix(6);
  return name;
}

// Whether a call of this name may bind names or pass a function by its name alone: LET,
// LAMBDA or a function that takes a LAMBDA (MAP, REDUCE, GROUPBY...).
bool mayBindNames(std::string_view called) {
  const std::string_view name = plainName(called);
  return equalsInAnyCase(name, "LET") || equalsInAnyCase(name, "LAMBDA") || findLambdaForm(name);
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

bool appendWithFunctionPrefixes(std::string_view formula, std::string& out);

}  // namespace

void appendFileFormula(std::string_view formula, std::string& out) {
  const std::size_t start = out.size();
  if (!appendWithFunctionPrefixes(formula, out)) return;
  // It may bind names: the parser knows where they stand.
  const std::vector<BoundNameSpan> spans = boundNameSpans(formula);
  if (spans.empty()) return;
  out.resize(start);
  appendWithFunctionPrefixes(withBoundNamePrefixes(formula, spans), out);
}

namespace {

// Appends the formula with its calls prefixed; true when it calls a function that may bind
// names (see mayBindNames).
bool appendWithFunctionPrefixes(std::string_view formula, std::string& out) {
  // Most formulas call no function newer than the 2007 format: the text goes out as it is.
  if (formula.find('(') == std::string_view::npos) {
    out.append(formula);
    return false;
  }
  out.reserve(out.size() + formula.size());
  FormulaLexer lexer(formula);
  std::size_t copied = 0;
  bool afterSheet = false, bindsNames = false;
  for (FormulaToken token; lexer.next(token);) {
    // A name after a sheet's is a reference there, never a function.
    if (token.kind == TokenKind::Name && token.called && !afterSheet) {
      bindsNames = bindsNames || mayBindNames(lexer.text(token));
      const std::string_view prefix = fileFunctionPrefix(lexer.text(token));
      if (!prefix.empty()) {
        out.append(formula.substr(copied, token.offset - copied));
        out.append(prefix);
        copied = token.offset;
      }
    }
    afterSheet = token.kind == TokenKind::SheetPrefix;
  }
  out.append(formula.substr(copied));
  return bindsNames;
}

// The word without the file's prefixes; `optional` is set when one of them was "_xlop.".
std::string_view withoutFilePrefixes(std::string_view word, bool& optional) {
  optional = false;
  for (;;) {
    if (word.size() > 7 && equalsInAnyCase(word.substr(0, 7), "_XLETA.")) {
      word.remove_prefix(7);
      continue;
    }
    if (word.size() <= 6 || word[0] != '_') return word;
    const std::string_view prefix = word.substr(0, 6);
    if (equalsInAnyCase(prefix, "_XLOP.")) optional = true;
    else if (!equalsInAnyCase(prefix, "_XLFN.") && !equalsInAnyCase(prefix, "_XLWS.") && !equalsInAnyCase(prefix, "_XLPM.")) return word;
    word.remove_prefix(6);
  }
}

}  // namespace

std::string displayFormula(std::string_view formula) {
  std::string out;
  out.reserve(formula.size());
  FormulaLexer lexer(formula);
  for (FormulaToken token; lexer.next(token);) {
    const std::string_view text = lexer.text(token);
    bool optional = false;
    const std::string_view shown = token.kind == TokenKind::Name ? withoutFilePrefixes(text, optional) : text;
    if (optional) out.push_back('[');
    out.append(shown);
    if (optional) out.push_back(']');
  }
  return out;
}

}  // namespace calc
