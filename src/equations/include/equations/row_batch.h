#pragma once
// Rows built field by field and handed to the list in batches, so that loading a long file or
// saved list notifies the list's view a few times instead of four times per row.
#include <vector>

#include "equations/equation_list.h"

namespace equations {

class RowBatch {
 public:
  explicit RowBatch(EquationListModel& list) : list_(list) {}
  RowBatch(const RowBatch&) = delete;
  RowBatch& operator=(const RowBatch&) = delete;

  // Starts a row with its equation; its sub-items start empty, as a row the list appended.
  // Rows started earlier may be handed over first: only the newest one is still open.
  EquationEntry& startRow(const QString& equation);
  // Hands every row to the list. Call it on every way out, the failing ones included.
  void flush();

 private:
  static constexpr size_t kBatchRows = 65536;
  EquationListModel& list_;
  std::vector<EquationEntry> rows_;
};

}  // namespace equations
