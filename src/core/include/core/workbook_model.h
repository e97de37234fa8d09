#pragma once
// One workbook: an ordered list of worksheets and chart sheets with the spreadsheet's rules
// (names, visibility, the active sheet, where new chart sheets go) and its cells' values.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calc/value.h"
#include "core/chart_data.h"
#include "core/random_source.h"
#include "core/workbook_error.h"
#include "core/worksheet_cells.h"

namespace core {

// Values of a worksheet's formula cells, computed on demand and dropped after any write. An
// entry is 9 bytes: the number (or an error's code, or where a text result is kept apart) and
// a byte for its kind and state, so a column of numbers costs little more than its numbers.
// One thread computes; others may read the entries it has finished meanwhile (see
// WorkbookModel::computedValue): an entry is written once, and the texts kept apart are
// guarded, since keeping one may move the others.
class FormulaValueCache {
 public:
  enum State : std::uint8_t { Stale, Computing, Pending, Done };

  // Every entry Stale, for `cells` formula cells.
  void reset(std::uint32_t cells);
  State state(std::uint32_t cell) const { return static_cast<State>(tags_[cell] & kStateMask); }
  void setState(std::uint32_t cell, State state) {
    tags_[cell] = static_cast<std::uint8_t>((tags_[cell] & ~kStateMask) | state);
  }
  calc::Value value(std::uint32_t cell) const;
  void store(std::uint32_t cell, calc::Value value);  // and Done

  std::uint64_t generation = 0;

 private:
  enum class Kind : std::uint8_t { Empty, Number, Boolean, Error, Text };
  static constexpr std::uint8_t kStateMask = 0x3;
  static constexpr int kKindShift = 2;
  union Payload {
    double number;         // Number; Boolean as 1 or 0
    std::uint32_t detail;  // Error: the code; Text: its place in texts_
  };
  Kind kind(std::uint32_t cell) const { return static_cast<Kind>(tags_[cell] >> kKindShift); }
  void setDone(std::uint32_t cell, Kind kind) {
    tags_[cell] = static_cast<std::uint8_t>((static_cast<std::uint8_t>(kind) << kKindShift) | Done);
  }
  std::vector<Payload> payloads_;
  std::vector<std::uint8_t> tags_;  // kind << kKindShift | state
  std::vector<std::string> texts_;
  mutable std::mutex textsGuard_;
};

struct SheetNode {
  std::string name;
  bool visible = true;
  bool deleted = false;                  // handles that outlive the sheet see this
  std::unique_ptr<WorksheetCells> cells; // worksheets
  std::unique_ptr<ChartData> chart;      // chart sheets
  mutable FormulaValueCache valueCache;

  bool isChart() const { return chart != nullptr; }
};

using SheetList = std::vector<std::shared_ptr<SheetNode>>;

class WorkbookModel {
 public:
  // RAND() in its formulas draws from `random`; empty: a source seeded at random.
  explicit WorkbookModel(int worksheetCount, RandomSource random = {});

  const SheetList& sheets() const { return sheets_; }
  std::shared_ptr<SheetNode> find(std::string_view name) const;  // case-insensitive
  std::shared_ptr<SheetNode> at(int position) const;              // 1-based; null outside
  int position(const SheetNode& sheet) const;                     // 1-based; 0 when gone
  SheetList chartSheets() const;

  void rename(SheetNode& sheet, std::string_view name);
  void setVisible(SheetNode& sheet, bool visible);
  void remove(SheetNode& sheet);

  const std::shared_ptr<SheetNode>& activeSheet() const { return active_; }
  void activate(SheetNode& sheet);

  // A new chart sheet, named ChartN, placed before the active sheet (so never last) or right
  // after the given sheet; it becomes the active sheet.
  std::shared_ptr<SheetNode> addChartBeforeActive();
  std::shared_ptr<SheetNode> addChartAfter(const SheetNode& after);

  // Cells(row, column) = value. Refusals throw WorkbookError naming the cell.
  void setNumber(SheetNode& sheet, std::int64_t row, std::int64_t column, double value);
  void setText(SheetNode& sheet, std::int64_t row, std::int64_t column, std::string_view text);
  // Cells(row, column) = the formula of the cell above filled down, when the cell above holds
  // the group `above` names: what setText does with that formula's text, for a writer that
  // knows its formula is the one above moved (see WorksheetCells::fillDown). False, and nothing
  // written, when the cell above holds another; refusals throw as setText's do.
  bool fillDown(SheetNode& sheet, std::int64_t row, std::int64_t column, const FormulaGroupMark& above);
  // A constant as it stands: a text is never read as a formula; an empty value clears the cell.
  void setValue(SheetNode& sheet, std::int64_t row, std::int64_t column, const calc::Value& value);

  // Told of every cell a formula reads while it is computed (its precedents), for tracing
  // where a value comes from. Empty: nobody listens.
  struct CellRead {
    const SheetNode& reader;
    std::int32_t readerRow, readerColumn;
    std::string_view sheetName;  // as the formula names it; empty for its own sheet
    const SheetNode* sheet;      // null when no such worksheet exists
    std::int32_t row, column;    // 0 for the extent of a whole range
  };
  void setReadObserver(std::function<void(const CellRead&)> observer) { readObserver_ = std::move(observer); }

  // NOW() and TODAY() read this clock: the date and time as a serial number. Empty (the
  // default): the system clock. Tests fix it.
  void setClock(std::function<double()> clock) {
    clock_ = std::move(clock);
    ++generation_;
  }

  // A formula cell found to read itself, directly or through other cells, while values were
  // computed since the last write; it reads 0, as in the spreadsheet with iteration off.
  struct CircularCell {
    const SheetNode* sheet;
    std::int32_t row, column;
  };
  const std::vector<CircularCell>& circularCells() const { return circularCells_; }

  // A cell's value, formulas computed (after any write, afresh).
  calc::Value value(const SheetNode& sheet, std::int32_t row, std::int32_t column) const;
  // The value of the formula cell `slot` at (row, column).
  calc::Value formulaValue(const SheetNode& sheet, const CellSlot& slot, std::int32_t row, std::int32_t column) const;
  // The same, only reading: the value must have been computed since the last write (by
  // formulaValue, on whichever thread, finished before this call). For threads that read
  // while another computes; throws std::logic_error for a value not computed.
  calc::Value computedValue(const SheetNode& sheet, const CellSlot& slot) const;

 private:
  std::shared_ptr<SheetNode> insertChart(std::size_t index);
  std::string nextChartName();
  void checkUnique(std::string_view name, const SheetNode* except) const;
  void ensureActiveVisible(std::size_t formerIndex);
  void checkTextLength(const SheetNode& sheet, std::int64_t row, std::int64_t column, std::string_view text) const;
  WorksheetCells& cellsFor(SheetNode& sheet, std::int64_t row, std::int64_t column);
  std::size_t indexOf(const SheetNode& sheet) const;
  FormulaValueCache& freshCache(const SheetNode& sheet) const;
  calc::Value compute(const SheetNode& sheet, const CellSlot& slot, std::int32_t row, std::int32_t column) const;
  calc::Value computeInSteps(const SheetNode& sheet, const CellSlot& slot, std::int32_t row,
                             std::int32_t column) const;

  // What formulas see of the workbook: its cells, extents and random numbers.
  friend class SheetEvalContext;
  SheetList sheets_;
  RandomSource random_;
  std::function<void(const CellRead&)> readObserver_;
  std::function<double()> clock_;
  std::shared_ptr<SheetNode> active_;
  int chartCounter_ = 0;
  std::uint64_t generation_ = 1;  // bumped by every write; stale values are recomputed
  // What computing changes from cell to cell starts on a cache line of its own: threads that
  // read computed values meanwhile (computedValue) read the fields above.
  alignas(64) mutable int evaluationDepth_ = 0;
  struct DeferredCell {
    const SheetNode* sheet;
    CellSlot slot;
    std::int32_t row;
    std::int32_t column;
  };
  mutable std::optional<DeferredCell> deferred_;  // set: the evaluation under way is abandoned

  // The formula cells being computed, innermost last; a cell met again while on it closes a
  // circle, and every cell from there up is in it.
  struct ComputingCell {
    const SheetNode* sheet;
    std::uint32_t valueIndex;  // the cell's place in its sheet's value cache names it
    std::int32_t row, column;
    bool inCircle;
  };
  mutable std::vector<ComputingCell> computing_;
  mutable std::vector<CircularCell> circularCells_;
  void markCircleFrom(std::size_t depth) const;
  void forgetOlderGenerations() const;
  void markCircleAt(const SheetNode& sheet, const CellSlot& slot) const;

  // Results of calls that are the same for a whole filled-down column, by call site, for the
  // current generation.
  struct FixedCallEntry {
    enum State : std::uint8_t { Running, Done, PerCell } state;
    std::size_t depth;  // where on computing_ it started
    calc::Value value;
  };
  mutable std::unordered_map<const void*, FixedCallEntry> fixedCalls_;
  mutable std::uint64_t fixedCallsGeneration_ = 0;
};

}  // namespace core
