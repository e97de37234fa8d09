#include "xlsx/workbook_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "chart_part.h"
#include "package_parts.h"
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

void addChartSheetParts(ZipArchive& zip, const PlannedSheet& sheet) {
  addWholePart(zip, numbered("xl/chartsheets/sheet", sheet.part), chartsheetXml(sheet));
  addWholePart(zip, numbered("xl/chartsheets/_rels/sheet", sheet.part) + ".rels", chartsheetRelationshipsXml(sheet));
  addWholePart(zip, numbered("xl/drawings/drawing", sheet.part), drawingXml());
  addWholePart(zip, numbered("xl/drawings/_rels/drawing", sheet.part) + ".rels", drawingRelationshipsXml(sheet));
  addWholePart(zip, numbered("xl/charts/chart", sheet.part), chartXml(*sheet.node->chart));
}

void writePackage(const core::WorkbookModel& model, ZipArchive& zip, CompressionPool& pool,
                  const WriteProgress& progress) {
  const PackagePlan plan = planPackage(model);
  ProgressCounter counter(plan, progress);
  addWholePart(zip, "[Content_Types].xml", contentTypesXml(plan));
  addWholePart(zip, "_rels/.rels", rootRelationshipsXml());
  addWholePart(zip, "docProps/app.xml", appPropertiesXml(plan));
  addWholePart(zip, "docProps/core.xml", corePropertiesXml());
  addWholePart(zip, "xl/workbook.xml", workbookXml(plan));
  addWholePart(zip, "xl/_rels/workbook.xml.rels", workbookRelationshipsXml(plan));
  addWholePart(zip, "xl/styles.xml", stylesXml());
  addWholePart(zip, "xl/theme/theme1.xml", themeXml());
  for (const PlannedSheet& sheet : plan.sheets) {
    if (sheet.chart) {
      addChartSheetParts(zip, sheet);
      counter.sheetDone(sheet);
      continue;
    }
    PartStream part(zip, pool, numbered("xl/worksheets/sheet", sheet.part));
    const double units = ProgressCounter::unitsOf(sheet);
    writeWorksheet(part, model, sheet, [&](std::int32_t done, std::int32_t rows) { counter.partly(units, done, rows); });
    part.finish();
    counter.sheetDone(sheet);
  }
  zip.finish();
  counter.allDone();
}

}  // namespace

void writeWorkbook(const core::WorkbookModel& model, const std::string& path, const WriterOptions& options,
                   const WriteProgress& progress) {
  try {
    CompressionPool pool(options.workers, options.compressionLevel);
    ZipArchive zip(path);
    writePackage(model, zip, pool, progress);
  } catch (...) {
    std::remove(path.c_str());
    throw;
  }
}

}  // namespace xlsx
