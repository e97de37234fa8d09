#pragma once
// Runs the formula cells that Excel saved (tests/calc/excel-cases/all-cases.json) through the
// workbook core and compares. A case is covered when every function it calls, directly or
// through the cells it reads, is one the engine offers.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "json_reader.h"
#include "calc/cell_address.h"
#include "calc/formula.h"
#include "calc/number_text.h"
#include "core/workbook_model.h"

namespace calc::testing {

struct CaseCell {
  std::string sheet, address;
  std::optional<std::string> formula;
  Value saved;  // Excel's value; Empty for null
  Value computed;
  std::string parseError;
};

struct Disagreement {
  std::string workbook, sheet, address, formula, expected, actual;
};

struct CategoryCounts {
  std::size_t total = 0, covered = 0, agreeing = 0;
};

// A workbook's category is the folder its name carries ("STATISTICAL/NORM_DIST"); the operator
// files at the top of the corpus are "OPERATORS".
inline std::string categoryOf(const std::string& workbook) {
  const auto slash = workbook.find('/');
  return slash == std::string::npos ? "OPERATORS" : workbook.substr(0, slash);
}

struct ConformanceReport {
  std::size_t total = 0, covered = 0, agreeing = 0;
  std::vector<Disagreement> disagreements;
  std::vector<Disagreement> uncovered;  // `actual` names what the engine lacks
  std::map<std::string, CategoryCounts> byCategory;

  double coverage() const { return total ? double(covered) / double(total) : 0; }
  double agreement() const { return covered ? double(agreeing) / double(covered) : 0; }
};

inline std::string describe(const Value& v) {
  if (v.isEmpty()) return "(empty)";
  if (v.isError()) return std::string(errorText(v.error()));
  if (v.isBool()) return v.boolean() ? "TRUE" : "FALSE";
  if (v.isText()) return "\"" + v.text() + "\"";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v.number());
  return buf;
}

// Numbers agree to 15 significant digits or within a few units in the last place; a saved
// empty value is an empty text. Errors agree as the file holds them: an .xlsx stores the newer
// ones (#CALC!, #SPILL!...) as #VALUE!, with the real one in rich-value parts the cases left out.
inline bool agrees(const Value& expected, const Value& actual) {
  if (expected.isEmpty()) return actual.isEmpty() || (actual.isText() && actual.text().empty());
  if (expected.isError() && actual.isError()) return fileErrorText(expected.error()) == fileErrorText(actual.error());
  if (expected.isNumber() && actual.isNumber()) {
    const double e = expected.number(), a = actual.number();
    if (e == a || roundToSignificant15(e) == roundToSignificant15(a)) return true;
    return std::fabs(e - a) <= 4 * std::numeric_limits<double>::epsilon() * std::max(std::fabs(e), std::fabs(a));
  }
  return expected == actual;
}

// The file stores characters XML cannot hold as _xHHHH_ (CHAR(1) is "_x0001_"); the
// extraction kept that form, so it is read back here.
inline std::string decodedCellText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool escape = i + 7 <= text.size() && text[i] == '_' && text[i + 1] == 'x' && text[i + 6] == '_' &&
                        std::all_of(text.begin() + i + 2, text.begin() + i + 6, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (!escape) {
      out += text[i];
      continue;
    }
    const unsigned code = static_cast<unsigned>(std::stoul(text.substr(i + 2, 4), nullptr, 16));
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
    i += 6;
  }
  return out;
}

inline Value savedValue(const Json& j) {
  if (j.isNull()) return Value();
  if (auto* n = j.find("n")) return std::get<double>(n->v);
  if (auto* s = j.find("s")) return decodedCellText(s->string());
  if (auto* b = j.find("b")) return std::get<bool>(b->v);
  if (auto* e = j.find("e")) {
    if (const auto code = errorNamed(e->string())) return *code;
    return e->string();  // an error the engine does not know: kept as text
  }
  return Value();
}

// One workbook of the cases, loaded into the workbook core and computed there, as the program
// computes its own workbooks. Formula cells are judged against the value Excel saved; the reads
// each one makes are traced so that coverage follows the cells it depends on.
class CaseBook {
 public:
  explicit CaseBook(const std::vector<std::string>& sheetNames)
      : model_(static_cast<int>(sheetNames.size()), core::seededRandomSource(1)) {
    // Through names of our own first, so that a case sheet named "Sheet2" meets no default.
    for (std::size_t i = 0; i < sheetNames.size(); ++i)
      model_.rename(*model_.at(static_cast<int>(i) + 1), "~case~" + std::to_string(i));
    for (std::size_t i = 0; i < sheetNames.size(); ++i)
      model_.rename(*model_.at(static_cast<int>(i) + 1), sheetNames[i]);
    model_.setReadObserver([this](const core::WorkbookModel::CellRead& read) { noteRead(read); });
  }

  void add(CaseCell cell) {
    const auto a = parseCellAddress(cell.address);
    if (!a) return;
    core::SheetNode& sheet = *model_.find(cell.sheet);
    if (cell.formula) {
      try {
        model_.setText(sheet, a->row, a->column, "=" + *cell.formula);
      } catch (const core::WorkbookError&) {
        auto parsed = parseFormula(*cell.formula);
        const ParseError& error = std::get<ParseError>(parsed);
        cell.parseError = error.message + " at " + std::to_string(error.position);
        model_.setValue(sheet, a->row, a->column, ErrorCode::Value);
      }
    } else {
      model_.setValue(sheet, a->row, a->column, cell.saved);
    }
    cells_[{&sheet, a->row, a->column}] = std::move(cell);
  }

  // Computes every formula cell and judges it against the value Excel saved.
  void judge(const std::string& workbook, ConformanceReport& report) {
    for (auto& [at, cell] : cells_) {
      if (!cell.formula) continue;
      cell.computed = model_.value(*at.sheet, at.row, at.column);
    }
    CategoryCounts& counts = report.byCategory[categoryOf(workbook)];
    for (auto& [at, cell] : cells_) {
      if (!cell.formula) continue;
      ++report.total;
      ++counts.total;
      if (!covered(at)) {
        report.uncovered.push_back({workbook, cell.sheet, cell.address, *cell.formula, describe(cell.saved),
                                    missingFunctions(at)});
        continue;
      }
      ++report.covered;
      ++counts.covered;
      if (agrees(cell.saved, cell.computed)) {
        ++report.agreeing;
        ++counts.agreeing;
      } else {
        report.disagreements.push_back({workbook, cell.sheet, cell.address, *cell.formula, describe(cell.saved),
                                        cell.parseError.empty() ? describe(cell.computed)
                                                                : "parse error: " + cell.parseError});
      }
    }
  }

 private:
  struct At {
    const core::SheetNode* sheet;
    std::int32_t row, column;
    auto operator<=>(const At&) const = default;
  };

  void noteRead(const core::WorkbookModel::CellRead& read) {
    const At reader{&read.reader, read.readerRow, read.readerColumn};
    if (!read.sheet) uncoveredInput_.insert(reader);  // a sheet the cases do not include
    else if (read.row > 0) reads_[reader].insert(At{read.sheet, read.row, read.column});
  }

  // A formula is covered when it and every formula it reads call only functions the engine
  // offers, and it reads no sheet outside the cases. A cycle is covered by its other inputs.
  bool covered(const At& at) {
    if (auto known = coverage_.find(at); known != coverage_.end()) return known->second;
    coverage_[at] = true;  // provisional, for cycles
    bool result = !uncoveredInput_.contains(at);
    auto cell = cells_.find(at);
    if (cell != cells_.end() && cell->second.formula && cell->second.parseError.empty()) {
      auto parsed = parseFormula(*cell->second.formula);
      result = result && unknownFunctions(std::get<Formula>(parsed)).empty();
    }
    if (auto inputs = reads_.find(at); result && inputs != reads_.end())
      for (const At& input : inputs->second)
        if (cells_.contains(input) && cells_.at(input).formula && !covered(input)) result = false;
    return coverage_[at] = result;
  }

  // The function names the formula at `at` calls that the engine lacks, else what else keeps it
  // uncovered.
  std::string missingFunctions(const At& at) const {
    const CaseCell& cell = cells_.at(at);
    if (uncoveredInput_.contains(at)) return "reads a sheet outside the cases";
    if (!cell.parseError.empty()) return "parse error: " + cell.parseError;
    auto parsed = parseFormula(*cell.formula);
    std::string names;
    for (const std::string& name : unknownFunctions(std::get<Formula>(parsed))) names += (names.empty() ? "" : " ") + name;
    return names.empty() ? "reads an uncovered cell" : "unknown: " + names;
  }

  core::WorkbookModel model_;
  std::map<At, CaseCell> cells_;
  std::map<At, std::set<At>> reads_;
  std::set<At> uncoveredInput_;
  std::map<At, bool> coverage_;
};

inline std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Where the cases live: a copy beside these tests, $TESSALINE_SOURCE_DIR/tests/calc/excel-cases.
inline std::string casesPath(const std::string& file = "all-cases.json") {
  const char* source = std::getenv("TESSALINE_SOURCE_DIR");
#ifdef TESSALINE_DEFAULT_SOURCE_DIR
  if (!source) source = TESSALINE_DEFAULT_SOURCE_DIR;
#endif
  return std::string(source ? source : ".") + "/tests/calc/excel-cases/" + file;
}

// The cells of one extracted worksheet.
inline std::vector<CaseCell> sheetCells(const Json& sheet, const std::string& name) {
  std::vector<CaseCell> cells;
  for (const Json& row : sheet.find("cells")->array()) {
    const auto& fields = row.array();
    CaseCell cell;
    cell.sheet = name;
    cell.address = fields[0].string();
    if (!fields[1].isNull()) cell.formula = fields[1].string();
    cell.saved = savedValue(fields[2]);
    cells.push_back(std::move(cell));
  }
  return cells;
}

inline ConformanceReport runConformance(const std::string& jsonText) {
  const Json document = JsonReader(jsonText).document();
  ConformanceReport report;
  std::map<std::string, std::vector<std::string>> sheetNames;  // per workbook, in order
  for (const Json& sheet : document.array())
    sheetNames[sheet.find("workbook")->string()].push_back(sheet.find("sheet")->string());
  std::map<std::string, std::unique_ptr<CaseBook>> books;
  for (const auto& [workbook, names] : sheetNames) books[workbook] = std::make_unique<CaseBook>(names);
  for (const Json& sheet : document.array()) {
    CaseBook& book = *books[sheet.find("workbook")->string()];
    const std::string& name = sheet.find("sheet")->string();
    std::vector<CaseCell> cells = sheetCells(sheet, name);
    for (CaseCell& cell : cells) book.add(std::move(cell));
  }
  for (auto& [name, book] : books) book->judge(name, report);
  return report;
}

// The list of known disagreements: "WORKBOOK/SHEET!CELL<TAB>KIND<TAB>reason" per line, '#'
// starts a comment. KIND is "engine", "spill" or "extraction" (see known_disagreements.py).
inline std::map<std::string, std::string> knownDisagreements() {
  std::map<std::string, std::string> known;
  const auto text = readFile(casesPath("known-disagreements.txt"));
  if (!text) return known;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line.front() == '#') continue;
    const auto tab = line.find('\t');
    const auto kindEnd = line.find('\t', tab + 1);
    known[line.substr(0, tab)] = tab == std::string::npos ? "" : line.substr(tab + 1, kindEnd - tab - 1);
  }
  return known;
}

inline std::string caseName(const Disagreement& d) { return d.workbook + "/" + d.sheet + "!" + d.address; }

// Per category, the covered cases the corpus can judge: those whose disagreement is a spill
// (Excel 365 spilled an array where a cell here holds one value) or an extraction fault are
// left out.
inline std::map<std::string, CategoryCounts> judgeableCounts(const ConformanceReport& report,
                                                             const std::map<std::string, std::string>& known) {
  std::map<std::string, CategoryCounts> counts = report.byCategory;
  for (const Disagreement& d : report.disagreements) {
    const auto entry = known.find(caseName(d));
    if (entry != known.end() && (entry->second == "spill" || entry->second == "extraction"))
      --counts[categoryOf(d.workbook)].covered;
  }
  return counts;
}

}  // namespace calc::testing
