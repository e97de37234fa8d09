#include "render/chart_extraction.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "calc/value.h"
#include "core/workbook_model.h"

namespace render {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

QString gapText(const calc::Value& value) {
  if (value.isUncomputed())
    return QString::fromUtf8(calc::kNotComputedText.data(), static_cast<qsizetype>(calc::kNotComputedText.size()));
  if (value.isError()) {
    const auto code = calc::errorText(value.error());
    return QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size()));
  }
  if (value.isText()) return QStringLiteral("text");
  if (value.isBool()) return value.boolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
  return QStringLiteral("empty");
}

// What the cells without a number hold, told only for a series with no number at all: the
// first that is not empty (an empty cell ends every chart's block), and whether all agree.
struct GapNotes {
  QString first;
  bool alike = true;
  bool sawEmpty = false;
  bool sawNumber = false;

  void note(const calc::Value& value) {
    if (sawNumber) return;
    if (value.isNumber()) return void(sawNumber = true);
    if (value.isEmpty()) return void(sawEmpty = true);
    const QString text = gapText(value);
    if (first.isEmpty()) first = text;
    else if (alike && text != first) alike = false;
  }
  void tell(PlotSeries& series) const {
    if (sawNumber) return;
    series.firstGap = first.isEmpty() && sawEmpty ? QStringLiteral("empty") : first;
    series.gapsAlike = alike;
  }
};

// The block's cells row by row, as numbers; anything else is a gap, as in a spreadsheet's chart.
// The places of the cells without a computed value go to `uncomputed` when it is given.
std::vector<double> numbersOf(const core::WorkbookModel& workbook, const core::SeriesReference& reference,
                              PlotSeries* gaps = nullptr) {
  const auto sheet = reference.sheet.lock();
  if (!sheet || sheet->deleted || !sheet->cells) return {};
  const core::CellBlock& block = reference.block;
  std::vector<double> numbers;
  numbers.reserve(static_cast<std::size_t>(block.rows()) * static_cast<std::size_t>(block.columns()));
  GapNotes notes;
  for (std::int32_t row = block.firstRow; row <= block.lastRow; ++row)
    for (std::int32_t column = block.firstColumn; column <= block.lastColumn; ++column) {
      const calc::Value value = workbook.value(*sheet, row, column);
      if (gaps && value.isUncomputed()) gaps->uncomputed.push_back(numbers.size());
      if (gaps) notes.note(value);
      numbers.push_back(value.isNumber() ? value.number() : kGap);
    }
  if (gaps) notes.tell(*gaps);
  return numbers;
}

PlotSeries seriesOf(const core::WorkbookModel& workbook, const core::SeriesData& data) {
  PlotSeries series;
  series.name = QString::fromStdString(data.name);
  if (data.values) series.y = numbersOf(workbook, *data.values, &series);
  if (data.xValues) series.x = numbersOf(workbook, *data.xValues);
  if (!data.xValues) {
    series.x.resize(series.y.size());
    for (std::size_t i = 0; i < series.x.size(); ++i) series.x[i] = static_cast<double>(i + 1);
  }
  // Unequal lengths: points without a partner are gaps.
  const std::size_t count = std::max(series.x.size(), series.y.size());
  series.x.resize(count, kGap);
  series.y.resize(count, kGap);
  return series;
}

}  // namespace

PlotChart plotChartOf(const core::WorkbookModel& workbook, const core::SheetNode& chartSheet) {
  PlotChart chart;
  if (!chartSheet.chart) return chart;
  const core::ChartData& data = *chartSheet.chart;
  if (data.hasTitle) chart.title = QString::fromStdString(data.title);
  chart.showLegend = data.hasLegend;
  chart.xGridlines = {data.categoryAxis.major, data.categoryAxis.minor};
  chart.yGridlines = {data.valueAxis.major, data.valueAxis.minor};
  for (const auto& series : data.series)
    if (series && !series->deleted) chart.series.push_back(seriesOf(workbook, *series));
  return chart;
}

std::vector<PlotChart> plotChartsOf(const core::WorkbookModel& workbook) {
  std::vector<PlotChart> charts;
  for (const auto& sheet : workbook.sheets())
    if (sheet->isChart()) charts.push_back(plotChartOf(workbook, *sheet));
  return charts;
}

}  // namespace render
