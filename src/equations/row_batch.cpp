#include "equations/row_batch.h"

namespace equations {

EquationEntry& RowBatch::startRow(const QString& equation) {
  if (rows_.size() >= kBatchRows) flush();
  if (rows_.capacity() == 0) rows_.reserve(kBatchRows);
  rows_.push_back({equation, QString(), QString(), QString()});
  return rows_.back();
}

void RowBatch::flush() { list_.appendRows(std::move(rows_)); }

}  // namespace equations
