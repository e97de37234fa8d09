#include "xlsx/workbook_writer.h"

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

void addChartSheetParts(const core::WorkbookModel& model, ZipArchive& zip, CompressionPool& pool,
                        const PlannedSheet& sheet) {
  addWholePart(zip, numbered("xl/chartsheets/sheet", sheet.part), chartsheetXml(sheet));
  addWholePart(zip, numbered("xl/chartsheets/_rels/sheet", sheet.part) + ".rels", chartsheetRelationshipsXml(sheet));
  addWholePart(zip, numbered("xl/drawings/drawing", sheet.part), drawingXml());
  addWholePart(zip, numbered("xl/drawings/_rels/drawing", sheet.part) + ".rels", drawingRelationshipsXml(sheet));
  const core::ChartData& chart = *sheet.node->chart;
  PartStream part(zip, pool, numbered("xl/charts/chart", sheet.part), chartSizeBound(model, chart));
  writeChart(part, model, chart);
  part.finish();
}

void writePackage(const core::WorkbookModel& model, ZipArchive& zip, CompressionPool& pool) {
  const PackagePlan plan = planPackage(model);
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
      addChartSheetParts(model, zip, pool, sheet);
      continue;
    }
    PartStream part(zip, pool, numbered("xl/worksheets/sheet", sheet.part), worksheetSizeBound(model, sheet));
    writeWorksheet(part, model, sheet);
    part.finish();
  }
  zip.finish();
}

}  // namespace

void writeWorkbook(const core::WorkbookModel& model, const std::string& path, const WriterOptions& options) {
  try {
    CompressionPool pool(options.workers, options.compressionLevel, options.startThread);
    ZipArchive zip(path, 0xFFFFFFFFu, options.writeCall);
    writePackage(model, zip, pool);
  } catch (...) {
    std::remove(path.c_str());
    throw;
  }
}

}  // namespace xlsx
