#pragma once
// A worksheet's XML, streamed row by row into a part: every cell with its value, every formula
// with its text as the file stores it and its computed result cached with its own type.
#include "package_plan.h"
#include "xlsx/part_stream.h"

namespace xlsx {

void writeWorksheet(PartStream& part, const core::WorkbookModel& model, const PlannedSheet& sheet);

}  // namespace xlsx
