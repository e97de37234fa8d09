#pragma once
// A worksheet's XML, streamed row by row into a part: every cell with its value, every formula
// with its text as the file stores it and its computed result cached with its own type.
#include <cstdint>

#include "package_plan.h"
#include "xlsx/part_stream.h"

namespace xlsx {

void writeWorksheet(PartStream& part, const core::WorkbookModel& model, const PlannedSheet& sheet);

// The most bytes the worksheet's XML can have, from its cells and their computed results (it
// computes them; writing the sheet then finds them computed).
std::uint64_t worksheetSizeBound(const core::WorkbookModel& model, const PlannedSheet& sheet);

}  // namespace xlsx
