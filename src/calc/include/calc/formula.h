#pragma once
// Public face of the formula engine: parse a formula once, evaluate it many times.
//
//   auto parsed = calc::parseFormula("SIN(A1)+A1");      // text without the leading '='
//   if (auto* err = std::get_if<calc::ParseError>(&parsed)) ... err->position ...
//   calc::Value v = calc::evaluate(std::get<calc::Formula>(parsed), context);
//
// The engine holds no global state; everything an evaluation needs travels in the context.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/cell_address.h"
#include "calc/value.h"

namespace calc {

// Limits that keep hostile input harmless (the same as the spreadsheet we imitate).
inline constexpr std::size_t kMaxFormulaLength = 8192;
inline constexpr int kMaxNestingDepth = 64;

struct ParseError {
  std::size_t position = 0;  // 0-based character offset into the formula text
  std::string message;
};

// A cell address; rows and columns count from 1. An empty sheet name means "the sheet the
// formula stands on".
struct CellRef {
  std::string_view sheet;
  std::int32_t row = 0;
  std::int32_t column = 0;
};

// Where an evaluation reads its cells from, and the random numbers RAND() draws.
class EvalContext {
 public:
  virtual ~EvalContext() = default;
  // The value of one cell (already computed if it holds a formula). A sheet that does not
  // exist should give ErrorCode::Ref.
  virtual Value cell(const CellRef& ref) const = 0;
  // A number with 0 <= r < 1.
  virtual double random() const { return 0.5; }
  // The cell the formula stands in. A whole column or row (A:A, 3:3) given where one value is
  // needed is read at this cell's row or column; row 0 (the default) means unknown, and such a
  // range then gives #VALUE!.
  virtual CellRef formulaCell() const { return {}; }
  // The last row and column in use on `sheet` (empty: the formula's own sheet). Ranges are
  // walked no further, so that A:XFD costs what the data costs; cells past it must be empty.
  // The default claims the whole sheet.
  virtual CellRef usedExtent(std::string_view sheet) const { return {sheet, kMaxRows, kMaxColumns}; }
  // The date and time now as a serial number (days since 1899-12-30, local time), for NOW()
  // and TODAY(). The default reads the system clock.
  virtual double now() const;
  // The formula a cell holds, as the spreadsheet shows it ("=SUM(A1:A3)"); nothing when the
  // cell holds no formula.
  virtual std::optional<std::string> formulaText(const CellRef&) const { return std::nullopt; }
  // The 1-based position of a sheet in the workbook (empty: the formula's own); 0 when there
  // is no such sheet.
  virtual int sheetNumber(std::string_view sheet) const { return sheet.empty() ? 1 : 0; }
  // How many sheets the workbook has (chart sheets included).
  virtual int sheetCount() const { return 1; }
  // Told when a part of the formula gives a result this engine cannot compute: whatever the
  // formula makes of it (IFERROR, ISERROR), its own result is not computed either.
  virtual void noteUncomputed() const {}

  // A call whose arguments are the same in every row of a filled-down formula (SUM(A:A)) may
  // be computed once for the whole column: `site` names the call. Known: `known` holds its
  // result. Circular: the call is under way further down, so it reads its own cells; it gives
  // 0 as a circular reference does. Compute: compute it, then tell finishFixedCall.
  enum class FixedCall : std::uint8_t { Compute, Known, Circular };
  virtual FixedCall startFixedCall(const void* /*site*/, Value& /*known*/) const { return FixedCall::Compute; }
  virtual void finishFixedCall(const void* /*site*/, const Value& /*result*/) const {}
};

class Formula {
 public:
  Formula();
  ~Formula();
  Formula(Formula&&) noexcept;
  Formula& operator=(Formula&&) noexcept;
  Formula(const Formula&) = delete;
  Formula& operator=(const Formula&) = delete;

  struct Impl;
  explicit Formula(std::unique_ptr<Impl> impl);
  const Impl& impl() const { return *impl_; }
  // Bytes this formula holds on the heap (its compiled code, constants and names).
  std::size_t memoryFootprint() const;

 private:
  std::unique_ptr<Impl> impl_;
};

std::variant<Formula, ParseError> parseFormula(std::string_view text);

// `rowShift`: the formula is computed as if filled down that many rows, each relative row
// moved (what movedFormulaText() does to its text).
Value evaluate(const Formula& formula, const EvalContext& context, std::int32_t rowShift = 0);

// Filling down: the text the formula parsed from `text` has `rows` rows further down, each
// relative row number moved ("SIN(A2)+$B$1" by 3 is "SIN(A5)+$B$1"). False when a row would
// leave the sheet, or when the formula cannot be moved that way (it holds a whole-row range).
bool movedFormulaText(const Formula& formula, std::string_view text, std::int32_t rows, std::string& out);

// Every name the function table holds, upper case, in order.
std::vector<std::string_view> functionNames();

// Whether the function table holds `name` (any case, with or without the "_xlfn." prefix).
bool isFunctionName(std::string_view name);

// Names the formula calls that are no function of the table (each evaluates to #NAME?).
const std::vector<std::string>& unknownFunctions(const Formula& formula);

}  // namespace calc
