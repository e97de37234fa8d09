#pragma once
// How the writer reads a formula's value: computing it as it comes to it (the writer alone
// with the workbook), or reading it computed beforehand, while another thread computes
// further values (see ValueCompletion).
#include <cstdint>

#include "core/workbook_model.h"

namespace xlsx {

enum class Values { ComputeAsRead, ComputedBefore };

inline calc::Value formulaValueOf(const core::WorkbookModel& model, Values values, const core::SheetNode& sheet,
                                  const core::CellSlot& slot, std::int32_t row, std::int32_t column) {
  return values == Values::ComputedBefore ? model.computedValue(sheet, slot)
                                          : model.formulaValue(sheet, slot, row, column);
}

}  // namespace xlsx
