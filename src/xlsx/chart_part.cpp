#include "chart_part.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "package_parts.h"
#include "calc/formula_tokens.h"
#include "core/chart_types.h"
#include "core/workbook_model.h"

namespace xlsx {
namespace {

// How each chart type is drawn in the file: the plot's form and its series' look.
enum class ChartForm { Scatter, Line, Column, Bar, Area, Pie };

struct ChartLook {
  ChartForm form;
  bool lines = false;    // scatter: points joined by lines
  bool markers = false;  // points marked (scatter and line)
  bool smooth = false;   // scatter: the lines smoothed
  bool hasAxes = true;
};

ChartLook lookOf(core::ChartType type) {
  using enum core::ChartType;
  switch (type) {
    case XYScatterSmoothNoMarkers: return {ChartForm::Scatter, true, false, true};
    case XYScatterSmooth: return {ChartForm::Scatter, true, true, true};
    case XYScatterLines: return {ChartForm::Scatter, true, true, false};
    case XYScatterLinesNoMarkers: return {ChartForm::Scatter, true, false, false};
    case XYScatter: return {ChartForm::Scatter, false, true, false};
    case Line: return {ChartForm::Line, true, false, false};
    case ColumnClustered: return {ChartForm::Column};
    case BarClustered: return {ChartForm::Bar};
    case Area: return {ChartForm::Area};
    case Pie: return {ChartForm::Pie, false, false, false, false};
  }
  return {ChartForm::Column};
}

constexpr int kCategoryAxisId = 50010001;
constexpr int kValueAxisId = 50010002;

// A series' cells: the reference as the chart writes it, and where they are.
struct SeriesRange {
  std::string formula;  // 'My Data'!$A$1:$A$9
  const core::SheetNode* sheet;
  core::CellBlock block;
};

struct ResolvedSeries {
  const core::SeriesData* data;
  std::optional<SeriesRange> xValues;
  SeriesRange values;
};

// Whether a reader would take the name for a cell (A1, XFE1), a column (A, Tax), an R1C1
// reference (R1C1, RC, C) or a number, rather than a sheet's name.
bool looksLikeReference(std::string_view name) {
  switch (calc::wordShape(name)) {
    case calc::WordShape::Cell:
    case calc::WordShape::PastBounds:
    case calc::WordShape::Column:
    case calc::WordShape::Row:
    case calc::WordShape::R1C1:
    case calc::WordShape::Number: return true;
    case calc::WordShape::LettersDigits:
    case calc::WordShape::Name: return name.empty();
  }
  return true;
}

// Whether the name reads back as a sheet name without quotes: one word of name characters
// that no reader would take for a reference.
bool isPlainSheetName(std::string_view name) {
  if (name.empty() || name.find('$') != std::string_view::npos) return false;
  calc::FormulaLexer lexer(name);
  calc::FormulaToken token;
  if (!lexer.next(token) || token.length != name.size()) return false;
  const bool word = token.kind == calc::TokenKind::Name || token.kind == calc::TokenKind::Reference ||
                    token.kind == calc::TokenKind::Number;
  return word && !looksLikeReference(name);
}

std::optional<SeriesRange> reference(const std::optional<core::SeriesReference>& ref) {
  if (!ref) return std::nullopt;
  const auto sheet = ref->sheet.lock();
  if (!sheet || sheet->deleted) return std::nullopt;
  XmlBuffer x;
  x.raw(sheetPrefix(sheet->name)).raw("!").absoluteCellName(ref->block.firstRow, ref->block.firstColumn);
  x.raw(":").absoluteCellName(ref->block.lastRow, ref->block.lastColumn);
  return SeriesRange{std::move(x.bytes()), sheet.get(), ref->block};
}

}  // namespace

// The part of a block that holds cells at all: rows and columns past the sheet's last are empty.
core::CellBlock chart::usedPart(const core::SheetNode& sheet, const core::CellBlock& block) {
  core::CellBlock used = block;
  used.lastRow = block.firstRow - 1;
  used.lastColumn = block.firstColumn - 1;
  if (!sheet.cells) return used;
  used.lastColumn = std::min(block.lastColumn, sheet.cells->columnCount());
  for (std::int32_t column = block.firstColumn; column <= used.lastColumn; ++column)
    used.lastRow = std::max(used.lastRow, std::min(block.lastRow, sheet.cells->rowCount(column)));
  return used;
}

namespace {

using chart::usedPart;

std::int64_t cellCount(const core::CellBlock& block) {
  return std::max<std::int64_t>(0, block.rows()) * std::max<std::int64_t>(0, block.columns());
}

// Series whose values are gone (deleted sheet) or never set are left out, as the spreadsheet
// draws nothing for them.
std::vector<ResolvedSeries> resolveSeries(const core::ChartData& chart) {
  std::vector<ResolvedSeries> resolved;
  for (const auto& series : chart.series) {
    if (series->deleted) continue;
    auto values = reference(series->values);
    if (!values) continue;
    resolved.push_back({series.get(), reference(series->xValues), std::move(*values)});
  }
  return resolved;
}

void writeRichText(XmlBuffer& x, const std::string& text) {
  x.raw("<c:tx><c:rich><a:bodyPr/><a:lstStyle/><a:p><a:pPr><a:defRPr/></a:pPr><a:r><a:rPr lang=\"en-US\"/><a:t>")
      .text(text)
      .raw("</a:t></a:r></a:p></c:rich></c:tx>");
}

// Without a title a one-series chart would show the series name as its title.
void writeTitle(XmlBuffer& x, const core::ChartData& chart) {
  if (!chart.hasTitle || chart.title.empty()) {
    x.raw("<c:autoTitleDeleted val=\"1\"/>");
    return;
  }
  x.raw("<c:title>");
  writeRichText(x, chart.title);
  x.raw("<c:layout/></c:title>");
}

void writeNumberReference(chart::Out& out, const core::WorkbookModel& model, std::string_view element,
                          const SeriesRange& range) {
  XmlBuffer& x = out.x;
  x.raw("<c:").raw(element).raw("><c:numRef><c:f>").text(range.formula).raw("</c:f>");
  chart::writeNumberCache(out, model, *range.sheet, range.block);
  x.raw("</c:numRef></c:").raw(element).raw(">");
}

void writeSeriesLook(XmlBuffer& x, const ChartLook& type) {
  if (type.form == ChartForm::Scatter && !type.lines) {
    x.raw("<c:spPr><a:ln w=\"28575\"><a:noFill/></a:ln></c:spPr>");
    return;
  }
  if ((type.form == ChartForm::Scatter || type.form == ChartForm::Line) && !type.markers)
    x.raw("<c:marker><c:symbol val=\"none\"/></c:marker>");
}

void writeSeries(chart::Out& out, const core::WorkbookModel& model, const ResolvedSeries& series, int index,
                 const ChartLook& type) {
  XmlBuffer& x = out.x;
  x.raw("<c:ser><c:idx val=\"").integer(index).raw("\"/><c:order val=\"").integer(index).raw("\"/>");
  if (!series.data->name.empty()) x.raw("<c:tx><c:v>").text(series.data->name).raw("</c:v></c:tx>");
  writeSeriesLook(x, type);
  const bool xy = type.form == ChartForm::Scatter;
  if (series.xValues) writeNumberReference(out, model, xy ? "xVal" : "cat", *series.xValues);
  writeNumberReference(out, model, xy ? "yVal" : "val", series.values);
  if (xy && type.smooth) x.raw("<c:smooth val=\"1\"/>");
  x.raw("</c:ser>");
}

void writeAllSeries(chart::Out& out, const core::WorkbookModel& model, const std::vector<ResolvedSeries>& series,
                    const ChartLook& type) {
  for (std::size_t i = 0; i < series.size(); ++i) writeSeries(out, model, series[i], static_cast<int>(i), type);
}

void writeAxisIds(XmlBuffer& x) {
  x.raw("<c:axId val=\"").integer(kCategoryAxisId).raw("\"/><c:axId val=\"").integer(kValueAxisId).raw("\"/>");
}

// The plot's own element: scatterChart, lineChart, barChart, areaChart or pieChart.
void writePlot(chart::Out& out, const core::WorkbookModel& model, const std::vector<ResolvedSeries>& series,
               const ChartLook& type) {
  XmlBuffer& x = out.x;
  switch (type.form) {
    case ChartForm::Scatter:
      x.raw("<c:scatterChart><c:scatterStyle val=\"").raw(type.smooth ? "smoothMarker" : "lineMarker").raw("\"/>");
      writeAllSeries(out, model, series, type);
      writeAxisIds(x);
      x.raw("</c:scatterChart>");
      return;
    case ChartForm::Line:
      x.raw("<c:lineChart><c:grouping val=\"standard\"/>");
      writeAllSeries(out, model, series, type);
      x.raw("<c:marker val=\"1\"/>");
      writeAxisIds(x);
      x.raw("</c:lineChart>");
      return;
    case ChartForm::Column:
    case ChartForm::Bar:
      x.raw("<c:barChart><c:barDir val=\"").raw(type.form == ChartForm::Bar ? "bar" : "col").raw("\"/>");
      x.raw("<c:grouping val=\"clustered\"/>");
      writeAllSeries(out, model, series, type);
      writeAxisIds(x);
      x.raw("</c:barChart>");
      return;
    case ChartForm::Area:
      x.raw("<c:areaChart><c:grouping val=\"standard\"/>");
      writeAllSeries(out, model, series, type);
      writeAxisIds(x);
      x.raw("</c:areaChart>");
      return;
    case ChartForm::Pie:
      x.raw("<c:pieChart><c:varyColors val=\"1\"/>");
      writeAllSeries(out, model, series, type);
      x.raw("<c:firstSliceAng val=\"0\"/></c:pieChart>");
      return;
  }
}

void writeGridlines(XmlBuffer& x, const core::AxisGridlines& gridlines) {
  if (gridlines.major) x.raw("<c:majorGridlines/>");
  if (gridlines.minor) x.raw("<c:minorGridlines/>");
}

struct AxisLayout {
  std::string_view element;  // valAx or catAx
  int id;
  int crossing;
  std::string_view position;
  const core::AxisGridlines* gridlines;
  std::string_view crossBetween;  // value axes only
};

void writeAxis(XmlBuffer& x, const AxisLayout& axis) {
  x.raw("<c:").raw(axis.element).raw("><c:axId val=\"").integer(axis.id).raw("\"/>");
  x.raw("<c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:axPos val=\"").raw(axis.position).raw("\"/>");
  writeGridlines(x, *axis.gridlines);
  x.raw("<c:numFmt formatCode=\"General\" sourceLinked=\"1\"/><c:tickLblPos val=\"nextTo\"/>");
  x.raw("<c:crossAx val=\"").integer(axis.crossing).raw("\"/><c:crosses val=\"autoZero\"/>");
  if (axis.element == "catAx") x.raw("<c:auto val=\"1\"/><c:lblAlgn val=\"ctr\"/><c:lblOffset val=\"100\"/>");
  else x.raw("<c:crossBetween val=\"").raw(axis.crossBetween).raw("\"/>");
  x.raw("</c:").raw(axis.element).raw(">");
}

// Axes(xlCategory) is the x axis (the category axis; on a bar chart it stands upright),
// Axes(xlValue) the y axis.
void writeAxes(XmlBuffer& x, const core::ChartData& chart, const ChartLook& type) {
  const bool xy = type.form == ChartForm::Scatter;
  const bool bar = type.form == ChartForm::Bar;
  const std::string_view between = xy || type.form == ChartForm::Area ? "midCat" : "between";
  writeAxis(x, {xy ? "valAx" : "catAx", kCategoryAxisId, kValueAxisId, bar ? "l" : "b", &chart.categoryAxis, between});
  writeAxis(x, {"valAx", kValueAxisId, kCategoryAxisId, bar ? "b" : "l", &chart.valueAxis, between});
}

void writeLegend(XmlBuffer& x, const ChartLook& type) {
  x.raw("<c:legend><c:legendPos val=\"r\"/><c:layout/>");
  if (type.form == ChartForm::Pie)
    x.raw("<c:txPr><a:bodyPr/><a:lstStyle/><a:p><a:pPr rtl=\"0\"><a:defRPr/></a:pPr><a:endParaRPr lang=\"en-US\"/></a:p></c:txPr>");
  x.raw("</c:legend>");
}

void writeChartSpace(chart::Out& out, const core::WorkbookModel& model, const core::ChartData& chart) {
  const ChartLook type = lookOf(chart.type);
  const auto series = resolveSeries(chart);
  XmlBuffer& x = out.x;
  x.raw(kXmlDeclaration)
      .raw("<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
           "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">")
      .raw("<c:lang val=\"en-US\"/><c:chart>");
  writeTitle(x, chart);
  x.raw("<c:plotArea><c:layout/>");
  writePlot(out, model, series, type);
  if (type.hasAxes) writeAxes(x, chart, type);
  x.raw("</c:plotArea>");
  if (chart.hasLegend && !series.empty()) writeLegend(x, type);
  // A cell left out of a cache (text, an error, not computed) is a gap in the line.
  x.raw("<c:plotVisOnly val=\"1\"/><c:dispBlanksAs val=\"gap\"/></c:chart></c:chartSpace>");
}

}  // namespace

std::string sheetPrefix(const std::string& sheet) {
  if (isPlainSheetName(sheet)) return sheet;
  std::string quoted = "'";
  for (char c : sheet) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

namespace chart {

std::optional<double> chartNumber(const core::WorkbookModel& model, const core::SheetNode& sheet,
                                  const core::CellSlot& slot, std::int32_t row, std::int32_t column, Values values) {
  if (slot.kind == core::CellKind::Number) return std::isfinite(slot.number) ? std::optional(slot.number) : std::nullopt;
  if (slot.kind != core::CellKind::Formula) return std::nullopt;
  const calc::Value value = formulaValueOf(model, values, sheet, slot, row, column);
  if (value.isNumber() && std::isfinite(value.number())) return value.number();
  if (value.isEmpty()) return 0.0;
  return std::nullopt;
}

void writeNumberCache(Out& out, const core::WorkbookModel& model, const core::SheetNode& sheet,
                      const core::CellBlock& block) {
  if (out.beforeCache) out.beforeCache();
  XmlBuffer& x = out.x;
  x.raw("<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"").integer(cellCount(block)).raw("\"/>");
  const core::CellBlock used = usedPart(sheet, block);
  const std::int64_t width = block.columns();
  for (std::int32_t row = used.firstRow; row <= used.lastRow; ++row)
    for (std::int32_t column = used.firstColumn; column <= used.lastColumn; ++column) {
      const auto slots = sheet.cells->column(column);
      if (static_cast<std::size_t>(row) > slots.size()) continue;
      const auto number = chartNumber(model, sheet, slots[static_cast<std::size_t>(row) - 1], row, column, out.values);
      if (!number) continue;
      ElementText point;
      point.raw("<c:pt idx=\"").integer((row - block.firstRow) * width + (column - block.firstColumn));
      point.raw("\"><c:v>").number(*number).raw("</c:v></c:pt>");
      point.appendTo(x);
      out.between();
    }
  x.raw("</c:numCache>");
}

}  // namespace chart

void writeChart(PartStream& part, const core::WorkbookModel& model, const core::ChartData& chart,
                const BeforeCache& beforeCache) {
  chart::Out out{part.xml(), &part, Values::ComputedBefore, beforeCache};
  writeChartSpace(out, model, chart);
}

// A chart without series (none set, or all gone) is written empty, without a legend.
std::string chartXml(const core::WorkbookModel& model, const core::ChartData& chart, std::size_t sizeHint,
                     Values values) {
  XmlBuffer x;
  x.bytes().reserve(sizeHint);  // address space only until written; spares the copies of growing
  chart::Out out{x, nullptr, values, {}};
  writeChartSpace(out, model, chart);
  return std::move(x.bytes());
}

std::vector<CacheCells> chartCaches(const core::ChartData& chart) {
  std::vector<CacheCells> caches;
  for (const ResolvedSeries& series : resolveSeries(chart)) {
    if (series.xValues) caches.push_back({series.xValues->sheet, series.xValues->block});
    caches.push_back({series.values.sheet, series.values.block});
  }
  return caches;
}

// Texts escape to at most 7 bytes a byte (a control character becomes _xHHHH_ or U+FFFD); a
// point is at most <c:pt idx="17179869184"><c:v>-2.2250738585072014e-308</c:v></c:pt>.
std::uint64_t chartSizeBound(const core::WorkbookModel&, const core::ChartData& chart) {
  constexpr std::uint64_t kFixed = 16384, kPerSeries = 1024, kPerPoint = 80, kPerByte = 7;
  std::uint64_t bound = kFixed + kPerByte * chart.title.size();
  for (const ResolvedSeries& series : resolveSeries(chart)) {
    bound += kPerSeries + kPerByte * series.data->name.size();
    for (const SeriesRange* range : {series.xValues ? &*series.xValues : nullptr, &series.values}) {
      if (!range) continue;
      bound += kPerByte * range->formula.size();
      bound += kPerPoint * static_cast<std::uint64_t>(cellCount(usedPart(*range->sheet, range->block)));
    }
  }
  return bound;
}

}  // namespace xlsx
