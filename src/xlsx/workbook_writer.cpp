#include "xlsx/workbook_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <future>
#include <string>

#include "chart_part.h"
#include "package_parts.h"
#include "value_completion.h"
#include "worksheet_part.h"
#include "xlsx/compression_pool.h"
#include "xlsx/part_stream.h"
#include "xlsx/zip_archive.h"

namespace xlsx {
namespace {

std::string numbered(std::string_view folder, int number) {
  return std::string(folder) + std::to_string(number) + ".xml";
}

// The share of the work each sheet is: its cells, or for a chart the cells its series read.
// Reports a rising fraction, at most kSteps + 1 times.
class ProgressCounter {
 public:
  static constexpr double kSteps = 200;

  ProgressCounter(const PackagePlan& plan, const WriteProgress& progress) : progress_(progress) {
    for (const PlannedSheet& sheet : plan.sheets) total_ += unitsOf(sheet);
  }

  // Within a sheet worth `units`: `done` of `parts` written.
  void partly(double units, double done, double parts) { report(finished_ + (parts > 0 ? units * done / parts : 0)); }
  void sheetDone(const PlannedSheet& sheet) {
    finished_ += unitsOf(sheet);
    report(finished_);
  }
  void allDone() {
    if (progress_ && reported_ < kSteps) progress_(1.0);
    reported_ = kSteps;
  }

  static double unitsOf(const PlannedSheet& sheet) {
    double units = 1;  // every part costs something, an empty one too
    if (sheet.chart) {
      for (const auto& series : sheet.node->chart->series)
        for (const auto& reference : {series->xValues, series->values})
          if (reference) units += double(reference->block.rows()) * reference->block.columns();
    } else {
      const core::WorksheetCells& cells = *sheet.node->cells;
      for (std::int32_t column = 1; column <= cells.columnCount(); ++column) units += cells.rowCount(column);
    }
    return units;
  }

 private:
  void report(double units) {
    if (!progress_ || total_ <= 0) return;
    const double step = std::min(kSteps - 1, std::floor(units / total_ * kSteps));  // 1 is for allDone
    if (step <= reported_) return;
    reported_ = step;
    progress_(step / kSteps);
  }

  const WriteProgress& progress_;
  double total_ = 0;
  double finished_ = 0;
  double reported_ = 0;
};

// Whole parts deflated on the pool while the next one is generated (a small chart is made
// there too, beside the next chart), and written in their order.
class WholeParts {
 public:
  WholeParts(ZipArchive& zip, CompressionPool& pool) : zip_(zip), pool_(pool), most_(2 * pool.workers() + 1) {}
  void add(std::string name, std::string xml) {
    pending_.push_back({std::move(name), pool_.submit(std::move(xml), {}, true)});
    while (pending_.size() > most_) writeOldest();
  }
  // A part generated on the worker that deflates it.
  void addGenerated(std::string name, std::function<std::string()> generate) {
    pending_.push_back({std::move(name), pool_.submitGenerated(std::move(generate))});
    while (pending_.size() > most_) writeOldest();
  }
  // Before a streamed part, which goes to the archive straight away.
  void drain() {
    while (!pending_.empty()) writeOldest();
  }

 private:
  struct Pending {
    std::string name;
    std::future<DeflatedChunk> deflated;
  };
  void writeOldest() {
    Pending part = std::move(pending_.front());
    pending_.pop_front();
    const DeflatedChunk chunk = part.deflated.get();
    zip_.addEntry(part.name, chunk.bytes, chunk.crc, chunk.inputSize);
  }
  ZipArchive& zip_;
  CompressionPool& pool_;
  std::size_t most_;
  std::deque<Pending> pending_;
};

// A chart of up to this many bytes is made in one piece; a larger one is streamed.
constexpr std::uint64_t kWholeChartBound = 8u << 20;

// What writing one sheet's parts needs besides the sheet.
struct PackageWriting {
  const core::WorkbookModel& model;
  ZipArchive& zip;
  CompressionPool& pool;
  WholeParts& parts;
  ValueCompletion& values;
};

void addChartSheetParts(PackageWriting& w, const PlannedSheet& sheet, std::size_t planIndex) {
  WholeParts& parts = w.parts;
  parts.add(numbered("xl/chartsheets/sheet", sheet.part), chartsheetXml(sheet));
  parts.add(numbered("xl/chartsheets/_rels/sheet", sheet.part) + ".rels", chartsheetRelationshipsXml(sheet));
  parts.add(numbered("xl/drawings/drawing", sheet.part), drawingXml());
  parts.add(numbered("xl/drawings/_rels/drawing", sheet.part) + ".rels", drawingRelationshipsXml(sheet));
  const core::ChartData& chart = *sheet.node->chart;
  const std::uint64_t bound = chartSizeBound(w.model, chart);
  if (bound < kWholeChartBound) {
    // Its values computed, a small chart is made on a worker, while this thread goes on.
    w.values.awaitSheet(planIndex);
    return parts.addGenerated(numbered("xl/charts/chart", sheet.part), [&model = w.model, &chart, bound] {
      return chartXml(model, chart, bound, Values::ComputedBefore);
    });
  }
  parts.drain();
  PartStream part(w.zip, w.pool, numbered("xl/charts/chart", sheet.part), bound);
  std::size_t stage = w.values.firstStage(planIndex);
  writeChart(part, w.model, chart, [&] { w.values.await(stage++); });
  part.finish();
}

void writePackage(const core::WorkbookModel& model, ZipArchive& zip, CompressionPool& pool,
                  const ThreadStarter& startThread, const WriteProgress& progress) {
  const PackagePlan plan = planPackage(model);
  // Declared before the parts, so that nothing still reads the values it computes once it stops.
  ValueCompletion values(model, plan, startThread);
  ProgressCounter counter(plan, progress);
  WholeParts parts(zip, pool);
  parts.add("[Content_Types].xml", contentTypesXml(plan));
  parts.add("_rels/.rels", rootRelationshipsXml());
  parts.add("docProps/app.xml", appPropertiesXml(plan));
  parts.add("docProps/core.xml", corePropertiesXml());
  parts.add("xl/workbook.xml", workbookXml(plan));
  parts.add("xl/_rels/workbook.xml.rels", workbookRelationshipsXml(plan));
  parts.add("xl/styles.xml", stylesXml());
  parts.add("xl/theme/theme1.xml", themeXml());
  PackageWriting writing{model, zip, pool, parts, values};
  for (std::size_t i = 0; i < plan.sheets.size(); ++i) {
    const PlannedSheet& sheet = plan.sheets[i];
    if (sheet.chart) {
      addChartSheetParts(writing, sheet, i);
      counter.sheetDone(sheet);
      continue;
    }
    parts.drain();
    values.awaitSheet(i);
    PartStream part(zip, pool, numbered("xl/worksheets/sheet", sheet.part),
                    worksheetSizeBound(model, sheet, Values::ComputedBefore));
    const double units = ProgressCounter::unitsOf(sheet);
    writeWorksheet(part, model, sheet, Values::ComputedBefore,
                   [&](std::int32_t done, std::int32_t rows) { counter.partly(units, done, rows); });
    part.finish();
    counter.sheetDone(sheet);
  }
  parts.drain();
  zip.finish();
  counter.allDone();
}

}  // namespace

void writeWorkbook(const core::WorkbookModel& model, const std::string& path, const WriterOptions& options,
                   const WriteProgress& progress) {
  try {
    CompressionPool pool(options.workers, options.compressionLevel, options.startThread);
    ZipArchive zip(path, 0xFFFFFFFFu, options.writeCall);
    writePackage(model, zip, pool, options.startThread, progress);
  } catch (...) {
    std::remove(path.c_str());
    throw;
  }
}

}  // namespace xlsx
