#pragma once
// A worksheet's XML, streamed row by row into a part: every cell with its value, every formula
// with its text as the file stores it and its computed result cached with its own type.
#include <cstdint>
#include <functional>

#include <string>
#include <string_view>

#include "calc/value.h"
#include "formula_values.h"
#include "package_plan.h"
#include "xlsx/part_stream.h"

namespace xlsx {

// The writers of single cells, each a <c> element (or its cached <v>).
namespace sheet {
void writeNumberCell(XmlBuffer& x, std::int32_t row, std::int32_t column, double number);
void writeTextCell(XmlBuffer& x, std::int32_t row, std::int32_t column, const std::string& text);
std::string_view resultType(const calc::Value& value);
void writeCachedResult(XmlBuffer& x, const calc::Value& value);
}  // namespace sheet

// `rowsWritten` hears of each row written, with the rows in all.
using RowsWritten = std::function<void(std::int32_t done, std::int32_t rows)>;
void writeWorksheet(PartStream& part, const core::WorkbookModel& model, const PlannedSheet& sheet,
                    Values values = Values::ComputeAsRead, const RowsWritten& rowsWritten = {});

// The most bytes the worksheet's XML can have, from its cells and their computed results.
std::uint64_t worksheetSizeBound(const core::WorkbookModel& model, const PlannedSheet& sheet,
                                 Values values = Values::ComputeAsRead);

}  // namespace xlsx
