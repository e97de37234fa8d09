#include "core/workbook_model.h"

#include <algorithm>

#include "calc/text_limit.h"
#include "core/workbook_error.h"
#include "core/cell_address.h"
#include "core/sheet_name_rules.h"
#include "core/storable_text.h"

namespace core {
namespace {

std::shared_ptr<SheetNode> newWorksheet(std::string name) {
  auto node = std::make_shared<SheetNode>();
  node->name = std::move(name);
  node->cells = std::make_unique<WorksheetCells>();
  return node;
}

std::string cellLabel(const SheetNode& sheet, std::int64_t row, std::int64_t column) {
  if (isValidCell(row, column))
    return sheet.name + "!" + cellName(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column));
  return sheet.name + "!Cells(" + std::to_string(row) + ", " + std::to_string(column) + ")";
}

}  // namespace

WorkbookModel::WorkbookModel(int worksheetCount, RandomSource random)
    : random_(random ? std::move(random) : seededRandomSource()) {
  if (worksheetCount < 1 || worksheetCount > 255)
    throw WorkbookError("The number of sheets in a new workbook must be 1 to 255.");
  for (int i = 1; i <= worksheetCount; ++i) sheets_.push_back(newWorksheet("Sheet" + std::to_string(i)));
  active_ = sheets_.front();
}

std::shared_ptr<SheetNode> WorkbookModel::find(std::string_view name) const {
  for (const auto& sheet : sheets_)
    if (sameSheetName(sheet->name, name)) return sheet;
  return nullptr;
}

std::shared_ptr<SheetNode> WorkbookModel::at(int position) const {
  if (position < 1 || static_cast<std::size_t>(position) > sheets_.size()) return nullptr;
  return sheets_[position - 1];
}

std::size_t WorkbookModel::indexOf(const SheetNode& sheet) const {
  auto it = std::find_if(sheets_.begin(), sheets_.end(), [&](const auto& s) { return s.get() == &sheet; });
  if (it == sheets_.end()) throw WorkbookError("The sheet has been deleted.");
  return static_cast<std::size_t>(it - sheets_.begin());
}

int WorkbookModel::position(const SheetNode& sheet) const {
  auto it = std::find_if(sheets_.begin(), sheets_.end(), [&](const auto& s) { return s.get() == &sheet; });
  return it == sheets_.end() ? 0 : static_cast<int>(it - sheets_.begin()) + 1;
}

SheetList WorkbookModel::chartSheets() const {
  SheetList charts;
  std::copy_if(sheets_.begin(), sheets_.end(), std::back_inserter(charts),
               [](const auto& s) { return s->isChart(); });
  return charts;
}

void WorkbookModel::checkUnique(std::string_view name, const SheetNode* except) const {
  for (const auto& sheet : sheets_)
    if (sheet.get() != except && sameSheetName(sheet->name, name))
      throw WorkbookError("That name is already taken: \"" + visibleText(name) +
                                   "\". Try a different one.");
}

void WorkbookModel::rename(SheetNode& sheet, std::string_view name) {
  indexOf(sheet);
  if (auto problem = sheetNameProblem(name))
    throw WorkbookError("Cannot rename sheet \"" + sheet.name + "\" to \"" + visibleText(name) +
                                 "\": " + *problem);
  checkUnique(name, &sheet);
  sheet.name = std::string(name);
}

void WorkbookModel::setVisible(SheetNode& sheet, bool visible) {
  const std::size_t index = indexOf(sheet);
  if (sheet.visible == visible) return;
  if (!visible) {
    const auto visibleCount = std::count_if(sheets_.begin(), sheets_.end(), [](const auto& s) { return s->visible; });
    if (visibleCount == 1)
      throw WorkbookError("Cannot hide \"" + sheet.name + "\": a workbook must keep at least one visible sheet.");
  }
  sheet.visible = visible;
  if (!visible && active_.get() == &sheet) ensureActiveVisible(index);
}

void WorkbookModel::remove(SheetNode& sheet) {
  const std::size_t index = indexOf(sheet);
  const bool otherVisible = std::any_of(sheets_.begin(), sheets_.end(),
                                        [&](const auto& s) { return s.get() != &sheet && s->visible; });
  if (!otherVisible)
    throw WorkbookError("Cannot delete \"" + sheet.name + "\": a workbook must keep at least one visible sheet.");
  auto keepAlive = sheets_[index];
  sheets_.erase(sheets_.begin() + static_cast<std::ptrdiff_t>(index));
  sheet.deleted = true;
  ++generation_;  // formulas that referenced it now see #REF!
  if (active_.get() == &sheet) ensureActiveVisible(index);
}

// The active sheet went away or was hidden: the next visible sheet takes over, else the one before.
void WorkbookModel::ensureActiveVisible(std::size_t formerIndex) {
  for (std::size_t i = formerIndex; i < sheets_.size(); ++i)
    if (sheets_[i]->visible && !sheets_[i]->deleted && sheets_[i] != active_) return void(active_ = sheets_[i]);
  for (std::size_t i = std::min(formerIndex, sheets_.size()); i-- > 0;)
    if (sheets_[i]->visible && sheets_[i] != active_) return void(active_ = sheets_[i]);
}

void WorkbookModel::activate(SheetNode& sheet) {
  const std::size_t index = indexOf(sheet);
  if (!sheet.visible) throw WorkbookError("Cannot select the hidden sheet \"" + sheet.name + "\".");
  active_ = sheets_[index];
}

std::string WorkbookModel::nextChartName() {
  std::string name;
  do name = "Chart" + std::to_string(++chartCounter_);
  while (find(name));
  return name;
}

std::shared_ptr<SheetNode> WorkbookModel::insertChart(std::size_t index) {
  auto node = std::make_shared<SheetNode>();
  node->name = nextChartName();
  node->chart = std::make_unique<ChartData>();
  sheets_.insert(sheets_.begin() + static_cast<std::ptrdiff_t>(index), node);
  active_ = node;
  return node;
}

std::shared_ptr<SheetNode> WorkbookModel::addChartBeforeActive() {
  return insertChart(indexOf(*active_));
}

std::shared_ptr<SheetNode> WorkbookModel::addChartAfter(const SheetNode& after) {
  return insertChart(indexOf(after) + 1);
}

WorksheetCells& WorkbookModel::cellsFor(SheetNode& sheet, std::int64_t row, std::int64_t column) {
  if (sheet.deleted) throw WorkbookError("The sheet has been deleted.");
  if (!sheet.cells) throw WorkbookError("\"" + sheet.name + "\" is a chart sheet and has no cells.");
  if (!isValidCell(row, column))
    throw WorkbookError("Cannot write " + cellLabel(sheet, row, column) +
                                 ": rows run from 1 to 1048576 and columns from 1 to 16384.");
  ++generation_;
  return *sheet.cells;
}

void WorkbookModel::setNumber(SheetNode& sheet, std::int64_t row, std::int64_t column, double value) {
  cellsFor(sheet, row, column).setNumber(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column), value);
}

void WorkbookModel::setText(SheetNode& sheet, std::int64_t row, std::int64_t column, std::string_view text) {
  WorksheetCells& cells = cellsFor(sheet, row, column);
  const auto r = static_cast<std::int32_t>(row);
  const auto c = static_cast<std::int32_t>(column);
  if (!text.empty() && text.front() == '=') {
    const std::string_view body = text.substr(1);
    // The common case, a column filled down, is recognised without parsing the text again.
    if (cells.fillDownFormula(r, c, body)) return;
    // The file could not hold it, so the spreadsheet refuses it like any formula it cannot read.
    if (auto character = unstorableCharacter(body))
      throw WorkbookError("The formula for " + cellLabel(sheet, row, column) + " (" + visibleText(text) +
                          ") is not valid: it contains " + *character + ", which a workbook cannot store.");
    auto parsed = calc::parseFormula(body);
    if (auto* error = std::get_if<calc::ParseError>(&parsed))
      throw WorkbookError("The formula for " + cellLabel(sheet, row, column) + " (" + visibleText(text) +
                                   ") is not valid: " + error->message + " at character " +
                                   std::to_string(error->position + 2) + ".");
    cells.setFormula(r, c, std::move(std::get<calc::Formula>(parsed)), std::string(body));
    return;
  }
  checkTextLength(sheet, row, column, text);
  cells.setText(r, c, std::string(text));
}

bool WorkbookModel::fillDown(SheetNode& sheet, std::int64_t row, std::int64_t column, const FormulaGroupMark& above) {
  return cellsFor(sheet, row, column).fillDown(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column), above);
}

void WorkbookModel::setValue(SheetNode& sheet, std::int64_t row, std::int64_t column, const calc::Value& value) {
  WorksheetCells& cells = cellsFor(sheet, row, column);
  const auto r = static_cast<std::int32_t>(row);
  const auto c = static_cast<std::int32_t>(column);
  if (value.isNumber()) return cells.setNumber(r, c, value.number());
  if (value.isBool()) return cells.setBoolean(r, c, value.boolean());
  if (value.isError()) return cells.setError(r, c, value.error());
  if (value.isEmpty()) return cells.clear(r, c);
  checkTextLength(sheet, row, column, value.text());
  cells.setText(r, c, value.text());
}

void WorkbookModel::checkTextLength(const SheetNode& sheet, std::int64_t row, std::int64_t column,
                                    std::string_view text) const {
  if (!calc::fitsTextLimit(text))
    throw WorkbookError("The text for " + cellLabel(sheet, row, column) + " is longer than 32767 characters.");
  if (auto character = unstorableCharacter(text))
    throw WorkbookError("The text for " + cellLabel(sheet, row, column) + " contains " + *character +
                        ", which a workbook cannot store.");
}

}  // namespace core
