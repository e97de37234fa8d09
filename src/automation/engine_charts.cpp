#include "automation/engine_charts.h"

#include <algorithm>

#include "automation/engine_sheets.h"
#include "core/storable_text.h"
#include "workbook_errors.h"

namespace automation {
namespace {

core::ChartData& liveChart(const std::shared_ptr<core::SheetNode>& node) { return *liveSheet(node)->chart; }

// Titles and series names go into the file as they are: refuse what it cannot hold.
const std::string& storable(const std::string& text, const char* what) {
  if (auto character = core::unstorableCharacter(text))
    throw excel::AutomationError(std::string("Unable to set the ") + what + ": \"" + core::visibleText(text) +
                                 "\" contains " + *character + ", which a workbook cannot store.");
  return text;
}

std::string formatReference(const std::optional<core::SeriesReference>& reference) {
  if (!reference) return {};
  auto sheet = reference->sheet.lock();
  if (!sheet || sheet->deleted) return "=#REF!";
  return core::formatR1C1Reference(sheet->name, reference->block);
}

// Excel's rule for a block plotted by columns (or rows): on an XY chart the first column holds
// the x values and every further column is a series; otherwise every column is a series.
std::vector<std::shared_ptr<core::SeriesData>> seriesFromBlock(const std::shared_ptr<core::SheetNode>& sheet,
                                                         const core::CellBlock& block, bool byColumns, bool xy) {
  auto line = [&](std::int32_t offset) {
    core::CellBlock part = block;
    if (byColumns) part.firstColumn = part.lastColumn = block.firstColumn + offset;
    else part.firstRow = part.lastRow = block.firstRow + offset;
    return core::SeriesReference{sheet, part};
  };
  const std::int32_t lines = byColumns ? block.columns() : block.rows();
  const std::int32_t first = (xy && lines > 1) ? 1 : 0;
  std::vector<std::shared_ptr<core::SeriesData>> series;
  for (std::int32_t offset = first; offset < lines; ++offset) {
    auto data = std::make_shared<core::SeriesData>();
    data->name = "Series" + std::to_string(series.size() + 1);
    if (first == 1) data->xValues = line(0);
    data->values = line(offset);
    series.push_back(std::move(data));
  }
  return series;
}

}  // namespace

// --- Axis ---

core::AxisGridlines& EngineAxis::gridlines() {
  core::ChartData& chart = liveChart(chart_);
  return type_ == excel::xlCategory ? chart.categoryAxis : chart.valueAxis;
}

void EngineAxis::setHasMajorGridlines(bool on) { gridlines().major = on; }
void EngineAxis::setHasMinorGridlines(bool on) { gridlines().minor = on; }

// --- Series ---

core::SeriesData& EngineSeries::live() {
  liveChart(chart_);
  if (series_->deleted) throw excel::AutomationError("Object required: the series has been deleted.");
  return *series_;
}

core::SeriesReference EngineSeries::resolve(const std::string& reference) {
  auto parsed = core::parseR1C1Reference(reference);
  if (!parsed) throw excel::AutomationError("\"" + reference + "\" is not a reference of the form =Sheet!R1C1:R2C1.");
  auto sheet = model_->find(parsed->sheet);
  if (!sheet) throw excel::AutomationError("\"" + reference + "\" refers to a sheet that does not exist.");
  if (sheet->isChart()) throw excel::AutomationError("\"" + reference + "\" refers to a chart sheet.");
  return core::SeriesReference{sheet, parsed->block};
}

void EngineSeries::setXValues(const std::string& reference) {
  core::SeriesData& series = live();
  series.xValues = resolve(reference);
}

void EngineSeries::setValues(const std::string& reference) {
  core::SeriesData& series = live();
  series.values = resolve(reference);
}

void EngineSeries::setName(const std::string& name) { live().name = storable(name, "Name property"); }

void EngineSeries::deleteSeries() {
  live();
  auto& all = chart_->chart->series;
  all.erase(std::remove(all.begin(), all.end(), series_), all.end());
  series_->deleted = true;
}

std::string EngineSeries::xValues() { return formatReference(live().xValues); }
std::string EngineSeries::values() { return formatReference(live().values); }
std::string EngineSeries::name() { return live().name; }

int EngineSeriesCollection::count() { return static_cast<int>(liveChart(chart_).series.size()); }

std::shared_ptr<excel::Series> EngineSeriesCollection::item(int index) {
  auto& series = liveChart(chart_).series;
  if (index < 1 || static_cast<std::size_t>(index) > series.size())
    throw excel::AutomationError("Invalid parameter: the chart has no series " + std::to_string(index) + ".");
  return std::make_shared<EngineSeries>(model_, chart_, series[index - 1]);
}

// --- Chart ---

core::ChartData& EngineChart::data() { return liveChart(node_); }

std::string EngineChart::name() { return liveSheet(node_)->name; }

void EngineChart::setName(const std::string& name) {
  asAutomation([&] { model_->rename(*liveSheet(node_), name); });
}

void EngineChart::setChartType(int type) {
  core::ChartData& chart = data();
  const auto info = core::chartTypeInfo(type);
  if (!info) throw excel::AutomationError("Unable to set the ChartType property: type " + std::to_string(type) + " is not supported.");
  chart.type = info->type;
}

void EngineChart::setSourceData(const excel::Range& source, int plotBy) {
  core::ChartData& chart = data();
  const auto* range = dynamic_cast<const EngineRange*>(&source);
  if (!range || range->sheet()->deleted || model_->position(*range->sheet()) == 0)
    throw excel::AutomationError("SetSourceData failed: the range is not on a sheet of this workbook.");
  if (plotBy != excel::xlColumns && plotBy != xlRows)
    throw excel::AutomationError("SetSourceData failed: PlotBy must be xlColumns (2) or xlRows (1).");
  for (auto& old : chart.series) old->deleted = true;
  chart.series = seriesFromBlock(range->sheet(), range->block(), plotBy == excel::xlColumns,
                                 core::chartTypeInfo(chart.type).xy);
}

void EngineChart::location(int where) {
  data();
  if (where != excel::xlLocationAsNewSheet)
    throw excel::AutomationError("Location failed: charts can only be placed as new sheets.");
}

void EngineChart::setHasTitle(bool on) { data().hasTitle = on; }

void EngineChart::setTitleText(const std::string& text) {
  core::ChartData& chart = data();
  if (!chart.hasTitle) throw excel::AutomationError("Object required: the chart has no title (set HasTitle first).");
  chart.title = storable(text, "Text property");
}

std::shared_ptr<excel::Axis> EngineChart::axes(int type) {
  core::ChartData& chart = data();
  if ((type != excel::xlCategory && type != excel::xlValue) || !core::chartTypeInfo(chart.type).hasAxes)
    throw excel::AutomationError("Method 'Axes' failed: the chart has no axis " + std::to_string(type) + ".");
  return std::make_shared<EngineAxis>(node_, type);
}

std::shared_ptr<excel::SeriesCollection> EngineChart::seriesCollection() {
  data();
  return std::make_shared<EngineSeriesCollection>(model_, node_);
}

void EngineChart::select() {
  asAutomation([&] { model_->activate(*liveSheet(node_)); });
}

// --- Charts ---

int EngineCharts::count() { return static_cast<int>(model_->chartSheets().size()); }

std::shared_ptr<excel::Chart> EngineCharts::item(int index) {
  auto charts = model_->chartSheets();
  if (index < 1 || static_cast<std::size_t>(index) > charts.size())
    throw excel::AutomationError("Subscript out of range: there is no chart " + std::to_string(index) + ".");
  return std::make_shared<EngineChart>(model_, charts[index - 1]);
}

std::shared_ptr<excel::Chart> EngineCharts::add() {
  return std::make_shared<EngineChart>(model_, asAutomation([&] { return model_->addChartBeforeActive(); }));
}

std::shared_ptr<excel::Chart> EngineCharts::addAfter(const excel::Chart& after, int count) {
  const auto* chart = dynamic_cast<const EngineChart*>(&after);
  if (!chart || chart->node()->deleted || model_->position(*chart->node()) == 0)
    throw excel::AutomationError("Method 'Add' failed: After is not a sheet of this workbook.");
  if (count < 1) throw excel::AutomationError("Method 'Add' failed: Count must be at least 1.");
  auto node = chart->node();
  for (int i = 0; i < count; ++i) node = asAutomation([&] { return model_->addChartAfter(*node); });
  return std::make_shared<EngineChart>(model_, node);
}

}  // namespace automation
