#pragma once
// A worksheet's XML, streamed row by row into a part: every cell with its value, every formula
// with its text as the file stores it and its computed result cached with its own type.
#include <functional>

#include "package_plan.h"
#include "xlsx/part_stream.h"

namespace xlsx {

// `rowWritten` hears of each row written, with the rows in all.
using RowsWritten = std::function<void(std::int32_t done, std::int32_t rows)>;
void writeWorksheet(PartStream& part, const core::WorkbookModel& model, const PlannedSheet& sheet,
                    const RowsWritten& rowsWritten = {});

}  // namespace xlsx
