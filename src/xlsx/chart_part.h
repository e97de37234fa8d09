#pragma once
// The chart of a chart sheet as DrawingML: its plot, series, axes, title and legend. Each
// series carries the numbers of its cells (c:numCache), so that viewers which draw from the
// cache show the curves without computing the workbook.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/chart_data.h"
#include "core/workbook_model.h"
#include "formula_values.h"
#include "xlsx/part_stream.h"
#include "xlsx/xml_buffer.h"

namespace xlsx {

// Called before each number cache is written, in order (see chartCaches).
using BeforeCache = std::function<void()>;

// Streams the chart into `part` (a chart of a million points stays out of memory), reading
// values computed before (`beforeCache` may wait for them).
void writeChart(PartStream& part, const core::WorkbookModel& model, const core::ChartData& chart,
                const BeforeCache& beforeCache = {});
// The same XML in one piece; `sizeHint`: the bytes to make room for at once (chartSizeBound).
std::string chartXml(const core::WorkbookModel& model, const core::ChartData& chart, std::size_t sizeHint = 0,
                     Values values = Values::ComputeAsRead);
// The cells each number cache of the chart reads, in the order they are written.
struct CacheCells {
  const core::SheetNode* sheet;
  core::CellBlock block;
};
std::vector<CacheCells> chartCaches(const core::ChartData& chart);
// The most bytes the chart's XML can have.
std::uint64_t chartSizeBound(const core::WorkbookModel& model, const core::ChartData& chart);

// "Data", "'My Data'": a sheet name as a reference needs it.
std::string sheetPrefix(const std::string& sheet);

namespace chart {

// The XML of one part being written, and the streamed part behind it (null: written whole).
struct Out {
  XmlBuffer& x;
  PartStream* part = nullptr;
  Values values = Values::ComputeAsRead;
  BeforeCache beforeCache{};
  void between() {
    if (part) part->flushIfFull();
  }
};

// The number a chart reads from a cell, as the sheet caches it: a number, or a formula's
// numeric result (an empty result reads 0). Nothing for text, booleans, errors, empty cells
// and results not computed: the chart leaves them out.
std::optional<double> chartNumber(const core::WorkbookModel& model, const core::SheetNode& sheet,
                                  const core::CellSlot& slot, std::int32_t row, std::int32_t column,
                                  Values values = Values::ComputeAsRead);

// The part of a block that holds cells at all: rows and columns past the sheet's last are empty.
core::CellBlock usedPart(const core::SheetNode& sheet, const core::CellBlock& block);

// <c:numCache>: formatCode, ptCount (every cell of the block) and one c:pt per number, by
// the cell's place in the block, row by row.
void writeNumberCache(Out& out, const core::WorkbookModel& model, const core::SheetNode& sheet,
                      const core::CellBlock& block);

}  // namespace chart
}  // namespace xlsx
