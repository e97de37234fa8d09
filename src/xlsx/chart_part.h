#pragma once
// The chart of a chart sheet as DrawingML: its plot, series, axes, title and legend. Each
// series carries the numbers of its cells (c:numCache), so that viewers which draw from the
// cache show the curves without computing the workbook.
#include <cstdint>
#include <optional>
#include <string>

#include "core/chart_data.h"
#include "core/workbook_model.h"
#include "xlsx/part_stream.h"
#include "xlsx/xml_buffer.h"

namespace xlsx {

// Streams the chart into `part` (a chart of a million points stays out of memory).
void writeChart(PartStream& part, const core::WorkbookModel& model, const core::ChartData& chart);
// The same XML in one piece; `sizeHint`: the bytes to make room for at once (chartSizeBound).
std::string chartXml(const core::WorkbookModel& model, const core::ChartData& chart, std::size_t sizeHint = 0);
// The most bytes the chart's XML can have.
std::uint64_t chartSizeBound(const core::WorkbookModel& model, const core::ChartData& chart);

// "Data", "'My Data'": a sheet name as a reference needs it.
std::string sheetPrefix(const std::string& sheet);

namespace chart {

// The XML of one part being written, and the streamed part behind it (null: written whole).
struct Out {
  XmlBuffer& x;
  PartStream* part = nullptr;
  void between() {
    if (part) part->flushIfFull();
  }
};

// The number a chart reads from a cell, as the sheet caches it: a number, or a formula's
// numeric result (an empty result reads 0). Nothing for text, booleans, errors, empty cells
// and results not computed: the chart leaves them out.
std::optional<double> chartNumber(const core::WorkbookModel& model, const core::SheetNode& sheet,
                                  const core::CellSlot& slot, std::int32_t row, std::int32_t column);

// <c:numCache>: formatCode, ptCount (every cell of the block) and one c:pt per number, by
// the cell's place in the block, row by row.
void writeNumberCache(Out& out, const core::WorkbookModel& model, const core::SheetNode& sheet,
                      const core::CellBlock& block);

}  // namespace chart
}  // namespace xlsx
