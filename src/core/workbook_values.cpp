// Values of cells: formulas are computed on demand with the formula engine, each at most once
// per generation of the workbook, with a guard against circular references.
#include <optional>
#include <stdexcept>

#include "core/cell_address.h"
#include "core/sheet_name_rules.h"
#include "core/workbook_model.h"

namespace core {

// The cells a formula on `current` reads. Sheet names are looked up once per distinct name in
// a row, which is the common case of a column of formulas reading one other sheet.
class SheetEvalContext : public calc::EvalContext {
 public:
  SheetEvalContext(const WorkbookModel& model, const SheetNode& current, std::int32_t row, std::int32_t column)
      : model_(model), current_(current), row_(row), column_(column) {}

  calc::Value cell(const calc::CellRef& ref) const override {
    const SheetNode* sheet = ref.sheet.empty() ? &current_ : lookup(ref.sheet);
    if (model_.readObserver_) tell(ref.sheet, sheet, ref.row, ref.column);
    if (!sheet || !sheet->cells || !isValidCell(ref.row, ref.column)) return calc::ErrorCode::Ref;
    calc::Value value = model_.value(*sheet, ref.row, ref.column);
    readsUncomputed_ = readsUncomputed_ || value.isUncomputed();
    return value;
  }

  // Whatever it made of them, a formula that read a value this engine could not compute is
  // not computed either.
  bool readsUncomputed() const { return readsUncomputed_; }
  void noteUncomputed() const override { readsUncomputed_ = true; }

  calc::CellRef formulaCell() const override {
    readsItsCell_ = true;
    return calc::CellRef{{}, row_, column_};
  }

  double random() const override {
    readsItsCell_ = true;  // each cell draws its own
    return model_.random_();
  }

  FixedCall startFixedCall(const void* site, calc::Value& known) const override {
    model_.forgetOlderGenerations();
    auto [entry, fresh] = model_.fixedCalls_.try_emplace(site);
    if (!fresh) {
      switch (entry->second.state) {
        case WorkbookModel::FixedCallEntry::Done: known = entry->second.value; return FixedCall::Known;
        case WorkbookModel::FixedCallEntry::PerCell: return FixedCall::Compute;
        case WorkbookModel::FixedCallEntry::Running:
          model_.markCircleFrom(entry->second.depth);
          return FixedCall::Circular;
      }
    }
    entry->second = {WorkbookModel::FixedCallEntry::Running, model_.computing_.size() - 1, {}};
    readsItsCellBefore_ = readsItsCell_;
    readsItsCell_ = false;
    return FixedCall::Compute;
  }

  // A call that read its own cell (implicit intersection, ROW(), RAND()) is computed per cell
  // from then on; one abandoned half way is computed again.
  void finishFixedCall(const void* site, const calc::Value& result) const override {
    auto entry = model_.fixedCalls_.find(site);
    if (entry == model_.fixedCalls_.end() || entry->second.state != WorkbookModel::FixedCallEntry::Running) return;
    if (model_.deferred_) model_.fixedCalls_.erase(entry);
    // A call that read its own cell, or a value not computed here (which marks each formula
    // that reads it), is computed cell by cell.
    else if (readsItsCell_ || readsUncomputed_) entry->second.state = WorkbookModel::FixedCallEntry::PerCell;
    else entry->second = {WorkbookModel::FixedCallEntry::Done, 0, result};
    readsItsCell_ = readsItsCell_ || readsItsCellBefore_;
  }

  double now() const override { return model_.clock_ ? model_.clock_() : calc::EvalContext::now(); }

  std::optional<std::string> formulaText(const calc::CellRef& ref) const override {
    const SheetNode* sheet = ref.sheet.empty() ? &current_ : lookup(ref.sheet);
    if (!sheet || !sheet->cells || !isValidCell(ref.row, ref.column)) return std::nullopt;
    const CellSlot slot = sheet->cells->cell(ref.row, ref.column);
    if (slot.kind != CellKind::Formula) return std::nullopt;
    std::string text = "=";
    text += sheet->cells->formulaText(slot, ref.row);
    return text;
  }

  int sheetNumber(std::string_view name) const override {
    const SheetNode* sheet = name.empty() ? &current_ : lookup(name);
    return sheet ? model_.position(*sheet) : 0;
  }

  int sheetCount() const override { return static_cast<int>(model_.sheets().size()); }

  // Ranges stop at the cells written, so A:A costs what the column holds. A sheet that is not
  // there keeps the whole extent: every cell of it reads #REF!.
  calc::CellRef usedExtent(std::string_view name) const override {
    const SheetNode* sheet = name.empty() ? &current_ : lookup(name);
    if (model_.readObserver_) tell(name, sheet, 0, 0);
    if (!sheet || !sheet->cells) return {name, kMaxRows, kMaxColumns};
    return {name, sheet->cells->maxRow(), sheet->cells->columnCount()};
  }

 private:
  void tell(std::string_view name, const SheetNode* sheet, std::int32_t row, std::int32_t column) const {
    if (sheet && !sheet->cells) sheet = nullptr;  // a chart sheet has no cells to read
    model_.readObserver_(WorkbookModel::CellRead{current_, row_, column_, name, sheet, row, column});
  }

  const SheetNode* lookup(std::string_view name) const {
    if (!lastName_ || !sameSheetName(*lastName_, name)) {
      lastName_ = std::string(name);
      lastSheet_ = model_.find(name).get();
    }
    return lastSheet_;
  }

  const WorkbookModel& model_;
  const SheetNode& current_;
  std::int32_t row_;
  std::int32_t column_;
  mutable bool readsItsCell_ = false;
  mutable bool readsUncomputed_ = false;
  mutable bool readsItsCellBefore_ = false;
  mutable std::optional<std::string> lastName_;
  mutable const SheetNode* lastSheet_ = nullptr;
};

void FormulaValueCache::reset(std::uint32_t cells) {
  payloads_.assign(cells, Payload{0});
  tags_.assign(cells, 0);
  std::lock_guard guard(textsGuard_);
  texts_.clear();
}

calc::Value FormulaValueCache::value(std::uint32_t cell) const {
  const Payload& payload = payloads_[cell];
  switch (kind(cell)) {
    case Kind::Number: return payload.number;
    case Kind::Boolean: return payload.number != 0;
    case Kind::Error: return static_cast<calc::ErrorCode>(payload.detail);
    case Kind::Text: {
      std::lock_guard guard(textsGuard_);
      return texts_[payload.detail];
    }
    case Kind::Empty: break;
  }
  return {};
}

void FormulaValueCache::store(std::uint32_t cell, calc::Value value) {
  Payload& payload = payloads_[cell];
  if (value.isNumber()) {
    payload.number = value.number();
    setDone(cell, Kind::Number);
  } else if (value.isBool()) {
    payload.number = value.boolean() ? 1 : 0;
    setDone(cell, Kind::Boolean);
  } else if (value.isError()) {
    payload.detail = static_cast<std::uint32_t>(value.error());
    setDone(cell, Kind::Error);
  } else if (value.isText()) {
    std::lock_guard guard(textsGuard_);
    payload.detail = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(std::move(*value.mutableText()));
    setDone(cell, Kind::Text);
  } else {
    setDone(cell, Kind::Empty);
  }
}

calc::Value WorkbookModel::value(const SheetNode& sheet, std::int32_t row, std::int32_t column) const {
  if (!sheet.cells || sheet.deleted) return calc::ErrorCode::Ref;
  const CellSlot slot = sheet.cells->cell(row, column);
  switch (slot.kind) {
    case CellKind::Number: return slot.number;
    case CellKind::Text: return sheet.cells->text(slot);
    case CellKind::Formula: return formulaValue(sheet, slot, row, column);
    case CellKind::Boolean: return slot.number != 0;
    case CellKind::Error: return static_cast<calc::ErrorCode>(slot.index);
    case CellKind::Empty: break;
  }
  return {};
}

// Formulas reading formulas are computed on demand, nested. A long chain (each row reading the
// row above) would nest past what the stack holds, so beyond kMaxNesting the evaluation under
// way is abandoned (every level returns at once, its result discarded) and the cell needed is
// handed back to an outer loop that computes it first and then retries: a stack of pending
// cells, each waiting for the one above it. Meeting a pending or computing cell again means a
// circle, which reads 0 as in the spreadsheet.
namespace {

constexpr int kMaxNesting = 200;

}  // namespace

calc::Value WorkbookModel::computedValue(const SheetNode& sheet, const CellSlot& slot) const {
  const FormulaValueCache& cache = sheet.valueCache;
  if (cache.generation != generation_ || cache.state(slot.valueIndex) != FormulaValueCache::Done)
    throw std::logic_error("a formula's value was read before it was computed");
  return cache.value(slot.valueIndex);
}

FormulaValueCache& WorkbookModel::freshCache(const SheetNode& sheet) const {
  FormulaValueCache& cache = sheet.valueCache;
  if (cache.generation != generation_) {
    cache.reset(sheet.cells->formulaCellCount());
    cache.generation = generation_;
  }
  return cache;
}

calc::Value WorkbookModel::formulaValue(const SheetNode& sheet, const CellSlot& slot, std::int32_t row,
                                        std::int32_t column) const {
  if (deferred_) return calc::ErrorCode::NA;  // abandoned: the value is discarded anyway
  FormulaValueCache& cache = freshCache(sheet);
  switch (cache.state(slot.valueIndex)) {
    case FormulaValueCache::Done: return cache.value(slot.valueIndex);
    case FormulaValueCache::Computing:
    case FormulaValueCache::Pending: markCircleAt(sheet, slot); return 0.0;
    case FormulaValueCache::Stale: break;
  }
  if (evaluationDepth_ == 0) return computeInSteps(sheet, slot, row, column);
  if (evaluationDepth_ >= kMaxNesting) {
    deferred_ = DeferredCell{&sheet, slot, row, column};
    return calc::ErrorCode::NA;
  }
  return compute(sheet, slot, row, column);
}

calc::Value WorkbookModel::compute(const SheetNode& sheet, const CellSlot& slot, std::int32_t row,
                                   std::int32_t column) const {
  FormulaValueCache& cache = sheet.valueCache;
  cache.setState(slot.valueIndex, FormulaValueCache::Computing);
  SheetEvalContext context(*this, sheet, row, column);
  const FormulaGroup& group = sheet.cells->group(slot);
  ++evaluationDepth_;
  computing_.push_back({&sheet, slot.valueIndex, row, column, false});
  calc::Value result = calc::evaluate(group.formula, context, row - group.firstRow);
  const bool inCircle = computing_.back().inCircle;
  computing_.pop_back();
  --evaluationDepth_;
  if (deferred_) {
    cache.setState(slot.valueIndex, FormulaValueCache::Stale);
    return calc::ErrorCode::NA;
  }
  if (inCircle) {
    circularCells_.push_back({&sheet, row, column});
    result = 0.0;
  } else if (context.readsUncomputed()) {
    result = calc::ErrorCode::Uncomputed;
  }
  cache.store(slot.valueIndex, result);
  return result;
}

void WorkbookModel::forgetOlderGenerations() const {
  if (fixedCallsGeneration_ == generation_) return;
  fixedCalls_.clear();
  circularCells_.clear();
  fixedCallsGeneration_ = generation_;
}

void WorkbookModel::markCircleFrom(std::size_t depth) const {
  for (std::size_t i = depth; i < computing_.size(); ++i) computing_[i].inCircle = true;
}

// The cell met again is on the stack (a circle through the cells above it), or waiting for
// a cell the stack computes (a circle through all of it).
void WorkbookModel::markCircleAt(const SheetNode& sheet, const CellSlot& slot) const {
  for (std::size_t i = computing_.size(); i-- > 0;)
    if (computing_[i].sheet == &sheet && computing_[i].valueIndex == slot.valueIndex) return markCircleFrom(i);
  markCircleFrom(0);
}

calc::Value WorkbookModel::computeInSteps(const SheetNode& sheet, const CellSlot& slot, std::int32_t row,
                                          std::int32_t column) const {
  forgetOlderGenerations();
  // Most cells are computed at the first try, without a stack of pending cells.
  compute(sheet, slot, row, column);
  if (!deferred_) return sheet.valueCache.value(slot.valueIndex);
  std::vector<DeferredCell> pending{{&sheet, slot, row, column}};
  const DeferredCell first = *deferred_;
  deferred_.reset();
  sheet.valueCache.setState(slot.valueIndex, FormulaValueCache::Pending);
  freshCache(*first.sheet).setState(first.slot.valueIndex, FormulaValueCache::Pending);
  pending.push_back(first);
  while (!pending.empty()) {
    const DeferredCell cell = pending.back();
    FormulaValueCache& cache = freshCache(*cell.sheet);
    if (cache.state(cell.slot.valueIndex) == FormulaValueCache::Done) {
      pending.pop_back();
      continue;
    }
    compute(*cell.sheet, cell.slot, cell.row, cell.column);
    if (!deferred_) {
      pending.pop_back();
      continue;
    }
    const DeferredCell needed = *deferred_;
    deferred_.reset();
    cache.setState(cell.slot.valueIndex, FormulaValueCache::Pending);
    freshCache(*needed.sheet).setState(needed.slot.valueIndex, FormulaValueCache::Pending);
    pending.push_back(needed);
  }
  return sheet.valueCache.value(slot.valueIndex);
}

}  // namespace core
