#include "value_completion.h"

#include <algorithm>
#include <atomic>

namespace xlsx {

ValueCompletion::ValueCompletion(const core::WorkbookModel& model, const PackagePlan& plan, const ThreadStarter& start)
    : model_(model) {
  for (const PlannedSheet& sheet : plan.sheets) {
    firstStage_.push_back(stages_.size());
    if (sheet.chart) {
      for (const CacheCells& cache : chartCaches(*sheet.node->chart)) stages_.push_back({cache.sheet, cache.block, false});
    } else {
      stages_.push_back({sheet.node, {}, true});
    }
  }
  firstStage_.push_back(stages_.size());
  try {
    thread_ = (start ? start : ThreadStarter(startThread))([this] { computeAll(); });
  } catch (const std::exception&) {
    // No thread to spare: the stages are computed here, as they are awaited.
  }
}

ValueCompletion::~ValueCompletion() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
}

void ValueCompletion::computeAll() {
  try {
    for (std::size_t i = 0; i < stages_.size(); ++i) {
      computeStage(stages_[i]);
      if (stopping_) return;
      {
        std::lock_guard lock(mutex_);
        done_ = i + 1;
      }
      progress_.notify_all();
    }
  } catch (...) {
    {
      std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    progress_.notify_all();
  }
}

void ValueCompletion::await(std::size_t stage) {
  if (!thread_.joinable()) {
    for (; done_ <= stage && done_ < stages_.size(); ++done_) computeStage(stages_[done_]);
    return;
  }
  std::unique_lock lock(mutex_);
  progress_.wait(lock, [&] { return done_ > stage || failure_; });
  if (done_ <= stage) std::rethrow_exception(failure_);
}

// As a writer reading each value would reach them: a cache's cells row by row within the part
// of its block that holds cells, a worksheet's column by column.
void ValueCompletion::computeStage(const Stage& stage) {
  const core::SheetNode& sheet = *stage.sheet;
  if (!sheet.cells || sheet.deleted) return;
  const core::WorksheetCells& cells = *sheet.cells;
  // A writer that gave up waits for no more than the cell under way.
  const auto compute = [&](const core::CellSlot& slot, std::int32_t row, std::int32_t column) {
    if (slot.kind == core::CellKind::Formula && !stopping_.load(std::memory_order_relaxed))
      model_.formulaValue(sheet, slot, row, column);
  };
  if (stage.byColumns) {
    for (std::int32_t column = 1; column <= cells.columnCount(); ++column) {
      const auto slots = cells.column(column);
      for (std::size_t i = 0; i < slots.size(); ++i) compute(slots[i], static_cast<std::int32_t>(i + 1), column);
    }
    return;
  }
  const core::CellBlock used = chart::usedPart(sheet, stage.block);
  for (std::int32_t row = used.firstRow; row <= used.lastRow; ++row)
    for (std::int32_t column = used.firstColumn; column <= used.lastColumn; ++column) {
      const auto slots = cells.column(column);
      if (static_cast<std::size_t>(row) <= slots.size()) compute(slots[static_cast<std::size_t>(row) - 1], row, column);
    }
}

}  // namespace xlsx
