#pragma once
// A sheet of fixed cells for unit tests, and helpers that parse and evaluate in one step.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "calc/cell_address.h"
#include "calc/formula.h"

namespace calc::testing {
std::string show(const Value& v);
}  // namespace calc::testing

namespace calc {
// Lets failing expectations print values readably.
inline void PrintTo(const Value& v, std::ostream* os) { *os << testing::show(v); }
}  // namespace calc

namespace calc::testing {

class FixedCells : public EvalContext {
 public:
  FixedCells() = default;
  FixedCells(std::initializer_list<std::pair<const char*, Value>> cells) {
    for (const auto& [address, value] : cells) set(address, value);
  }
  void set(const std::string& address, Value value) {
    const auto a = parseCellAddress(address);
    EXPECT_TRUE(a.has_value()) << address;
    if (a) cells_[{a->row, a->column}] = std::move(value);
  }
  Value cell(const CellRef& ref) const override {
    ++reads;
    if (!ref.sheet.empty() && ref.sheet != "Data") return ErrorCode::Ref;
    auto it = cells_.find({ref.row, ref.column});
    return it == cells_.end() ? Value() : it->second;
  }
  CellRef formulaCell() const override { return at; }
  CellRef usedExtent(std::string_view sheet) const override { return {sheet, extentRows, extentColumns}; }
  double random() const override { return 0.25; }

  CellRef at{};
  std::int32_t extentRows = kMaxRows, extentColumns = kMaxColumns;
  mutable long reads = 0;

 private:
  std::map<std::pair<std::int32_t, std::int32_t>, Value> cells_;
};

// Parses and evaluates; a parse error fails the test and gives #N/A.
inline Value eval(std::string_view text, const EvalContext& context = FixedCells()) {
  auto parsed = parseFormula(text);
  if (auto* error = std::get_if<ParseError>(&parsed)) {
    ADD_FAILURE() << "parse error in " << text << ": " << error->message << " at " << error->position;
    return ErrorCode::NA;
  }
  return evaluate(std::get<Formula>(parsed), context);
}

inline std::string show(const Value& v) {
  if (v.isEmpty()) return "(empty)";
  if (v.isError()) return std::string(errorText(v.error()));
  if (v.isBool()) return v.boolean() ? "TRUE" : "FALSE";
  if (v.isText()) return "\"" + v.text() + "\"";
  return std::to_string(v.number());
}

// A named row of a data-driven table: formula and the value it must give.
struct Case {
  const char* formula;
  Value expected;
};

inline void PrintTo(const Case& c, std::ostream* os) { *os << c.formula; }

// Numbers compare to 15 significant digits; everything else exactly.
inline ::testing::AssertionResult sameValue(const Value& expected, const Value& actual) {
  if (expected.isNumber() && actual.isNumber()) {
    const double e = expected.number(), a = actual.number();
    if (e == a || std::fabs(e - a) <= 1e-14 * std::max(std::fabs(e), std::fabs(a)))
      return ::testing::AssertionSuccess();
  } else if (expected == actual) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "expected " << show(expected) << ", got " << show(actual);
}

}  // namespace calc::testing
