#pragma once
// Runs the formula cells that Excel saved (tests/calc/excel-cases/cases.json) through the engine
// and compares. Formula cells read other formula cells, so the book computes them on demand,
// once each, with a guard against cycles. A case is covered when every function it calls,
// directly or through the cells it reads, is one the engine offers.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "json_reader.h"
#include "calc/cell_address.h"
#include "calc/formula.h"
#include "calc/number_text.h"

namespace calc::testing {

struct CaseCell {
  std::string sheet, address;
  std::optional<std::string> formula;
  Value saved;  // Excel's value; Empty for null
  // Computed on demand:
  enum class State { Pending, Computing, Done } state = State::Pending;
  Value computed;
  bool covered = true;
  std::string parseError;
};

struct Disagreement {
  std::string workbook, sheet, address, formula, expected, actual;
};

struct ConformanceReport {
  std::size_t total = 0, covered = 0, agreeing = 0;
  std::vector<Disagreement> disagreements;

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
// empty value is an empty text.
inline bool agrees(const Value& expected, const Value& actual) {
  if (expected.isEmpty()) return actual.isEmpty() || (actual.isText() && actual.text().empty());
  if (expected.isNumber() && actual.isNumber()) {
    const double e = expected.number(), a = actual.number();
    if (e == a || roundToSignificant15(e) == roundToSignificant15(a)) return true;
    return std::fabs(e - a) <= 4 * std::numeric_limits<double>::epsilon() * std::max(std::fabs(e), std::fabs(a));
  }
  return expected == actual;
}

inline Value savedValue(const Json& j) {
  if (j.isNull()) return Value();
  if (auto* n = j.find("n")) return std::get<double>(n->v);
  if (auto* s = j.find("s")) return s->string();
  if (auto* b = j.find("b")) return std::get<bool>(b->v);
  if (auto* e = j.find("e")) {
    for (ErrorCode code : {ErrorCode::Null, ErrorCode::Div0, ErrorCode::Value, ErrorCode::Ref,
                           ErrorCode::Name, ErrorCode::Num, ErrorCode::NA})
      if (errorText(code) == e->string()) return code;
    return e->string();  // an error the engine does not know (#SPILL!, #CALC!): kept as text
  }
  return Value();
}

inline std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// One workbook: its sheets' cells, keyed by lower-case sheet name and (row, column).
class CaseBook : public EvalContext {
 public:
  void add(CaseCell cell) {
    const auto a = parseCellAddress(cell.address);
    if (!a) return;
    const std::string k = key(lower(cell.sheet), a->row, a->column);
    auto& extent = extents_[lower(cell.sheet)];
    extent = {std::max(extent.first, a->row), std::max(extent.second, a->column)};
    cells_[k] = std::make_unique<CaseCell>(std::move(cell));
  }
  void addSheet(const std::string& name) { sheetNames_.push_back(lower(name)); }

  // Computes every formula cell and judges it against the value Excel saved.
  void judge(const std::string& workbook, ConformanceReport& report) {
    for (auto& [k, cell] : cells_) {
      if (!cell->formula) continue;
      compute(*cell);
      ++report.total;
      if (!cell->covered) continue;
      ++report.covered;
      if (agrees(cell->saved, cell->computed)) {
        ++report.agreeing;
      } else {
        report.disagreements.push_back({workbook, cell->sheet, cell->address, *cell->formula,
                                        describe(cell->saved),
                                        cell->parseError.empty() ? describe(cell->computed)
                                                                 : "parse error: " + cell->parseError});
      }
    }
  }

  Value cell(const CellRef& ref) const override {
    const std::string sheet = ref.sheet.empty() ? current_->sheetLower : lower(std::string(ref.sheet));
    if (!ref.sheet.empty() && std::find(sheetNames_.begin(), sheetNames_.end(), sheet) == sheetNames_.end()) {
      current_->uncoveredInput = true;  // a sheet the cases do not include
      return ErrorCode::Ref;
    }
    auto it = cells_.find(key(sheet, ref.row, ref.column));
    if (it == cells_.end()) return Value();
    CaseCell& c = *it->second;
    if (!c.formula) return c.saved;
    compute(c);
    if (!c.covered) current_->uncoveredInput = true;
    return c.computed;
  }

  CellRef formulaCell() const override { return current_ ? current_->at : CellRef{}; }
  CellRef usedExtent(std::string_view sheet) const override {
    const std::string name = sheet.empty() ? current_->sheetLower : lower(std::string(sheet));
    auto it = extents_.find(name);
    if (it != extents_.end()) return CellRef{sheet, it->second.first, it->second.second};
    if (std::find(sheetNames_.begin(), sheetNames_.end(), name) == sheetNames_.end())
      current_->uncoveredInput = true;  // a sheet the cases do not include
    return CellRef{sheet, 0, 0};
  }

 private:
  struct Frame {
    std::string sheetLower;
    CellRef at;
    bool uncoveredInput = false;
  };

  static std::string key(const std::string& sheet, std::int32_t row, std::int32_t column) {
    return sheet + "!" + std::to_string(row) + "," + std::to_string(column);
  }

  void compute(CaseCell& c) const {
    if (c.state == CaseCell::State::Done) return;
    if (c.state == CaseCell::State::Computing) return;  // a cycle: Excel shows 0, so do we
    c.state = CaseCell::State::Computing;
    auto parsed = parseFormula(*c.formula);
    if (auto* error = std::get_if<ParseError>(&parsed)) {
      c.parseError = error->message + " at " + std::to_string(error->position);
      c.computed = ErrorCode::Value;
    } else {
      const Formula& f = std::get<Formula>(parsed);
      const auto address = parseCellAddress(c.address);
      Frame frame{lower(c.sheet), CellRef{{}, address->row, address->column}};
      Frame* outer = current_;
      current_ = &frame;
      c.computed = evaluate(f, *this);
      current_ = outer;
      c.covered = unknownFunctions(f).empty() && !frame.uncoveredInput;
    }
    c.state = CaseCell::State::Done;
  }

  std::unordered_map<std::string, std::unique_ptr<CaseCell>> cells_;
  std::vector<std::string> sheetNames_;
  std::map<std::string, std::pair<std::int32_t, std::int32_t>> extents_;
  mutable Frame* current_ = nullptr;
};

inline std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Where the cases live: a copy beside these tests, $TESSALINE_SOURCE_DIR/tests/calc/excel-cases.
inline std::string casesPath() {
  const char* source = std::getenv("TESSALINE_SOURCE_DIR");
  return std::string(source ? source : ".") + "/tests/calc/excel-cases/cases.json";
}

inline ConformanceReport runConformance(const std::string& jsonText) {
  const Json document = JsonReader(jsonText).document();
  std::map<std::string, CaseBook> books;
  for (const Json& sheet : document.array()) {
    CaseBook& book = books[sheet.find("workbook")->string()];
    const std::string& name = sheet.find("sheet")->string();
    book.addSheet(name);
    for (const Json& row : sheet.find("cells")->array()) {
      const auto& fields = row.array();
      CaseCell cell;
      cell.sheet = name;
      cell.address = fields[0].string();
      if (!fields[1].isNull()) cell.formula = fields[1].string();
      cell.saved = savedValue(fields[2]);
      book.add(std::move(cell));
    }
  }
  ConformanceReport report;
  for (auto& [name, book] : books) book.judge(name, report);
  return report;
}

}  // namespace calc::testing
