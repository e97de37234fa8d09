#pragma once
// Filled-down formulas stored once: a run of cells down a column whose formulas are the same
// but for their relative row numbers (B1 =SIN(A1)+A1, B2 =SIN(A2)+A2, ...) is written as a
// shared formula, as spreadsheet applications save it: the first cell holds the text and the
// range, the others only the group's number. Readers rebuild each cell's formula by moving
// the relative rows; a formula whose references they might move otherwise is never shared.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/worksheet_cells.h"

namespace xlsx {

// The formula with every relative row number replaced by its distance from `row`: equal keys
// at two rows mean the same formula filled down. Nothing for a formula that cannot be shared
// safely (whole-row ranges, names that look like references but are not valid ones).
std::optional<std::string> rowShiftKey(std::string_view formula, std::int32_t row);

struct SharedGroup {
  std::int32_t firstRow;
  std::int32_t lastRow;
  std::int32_t index;  // si
};

// The groups of one column, top to bottom, each at least two cells long and filled down in the
// model; `nextIndex` numbers them.
std::vector<SharedGroup> sharedGroups(const core::WorksheetCells& cells, std::int32_t column,
                                      std::int32_t& nextIndex);

}  // namespace xlsx
