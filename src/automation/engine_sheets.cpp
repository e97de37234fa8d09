#include "automation/engine_sheets.h"

#include "calc/formula.h"
#include "workbook_errors.h"

namespace automation {

const std::shared_ptr<core::SheetNode>& liveSheet(const std::shared_ptr<core::SheetNode>& node) {
  if (!node || node->deleted) throw excel::AutomationError("Object required: the sheet has been deleted.");
  return node;
}

std::string EngineSheet::name() { return liveSheet(node_)->name; }

void EngineSheet::setName(const std::string& name) {
  asAutomation([&] { model_->rename(*liveSheet(node_), name); });
}

void EngineSheet::setVisible(bool visible) {
  asAutomation([&] { model_->setVisible(*liveSheet(node_), visible); });
}

void EngineSheet::deleteSheet() {
  asAutomation([&] { model_->remove(*liveSheet(node_)); });
}

void EngineSheet::setCellNumber(int row, int column, double value) {
  asAutomation([&] { model_->setNumber(*node_, row, column, value); });
}

void EngineSheet::setCellText(int row, int column, const std::string& text) {
  asAutomation([&] { model_->setText(*node_, row, column, text); });
}

// The first row goes in as its text, and the next row's text is compared once with the first
// one's formula moved down a row. Where they agree, they agree in every row further down: both
// differ from row to row only in the row numbers of the references to the row's own cell. So
// from then on each row is the cell above filled down, checked only for the length of its
// text (a formula too long for a cell is refused with its text, as any other).
void EngineSheet::setCellFormula(int row, int column, const excel::FilledFormula& formula) {
  asAutomation([&] {
    if (filling_.formula == formula.id() && filling_.column == column &&
        formula.textLength(row) - 1 <= calc::kMaxFormulaLength && model_->fillDown(*node_, row, column, filling_.mark))
      return;
    formula.text(row, text_);
    model_->setText(*node_, row, column, text_);
    recognise(row, column, formula);
  });
}

void EngineSheet::recognise(int row, int column, const excel::FilledFormula& formula) {
  filling_ = {};
  const core::WorksheetCells& cells = *node_->cells;
  const core::CellSlot written = cells.cell(row, column);
  if (written.kind != core::CellKind::Formula || row >= core::kMaxRows) return;
  formula.text(row + 1, text_);
  if (cells.fillsDown(row + 1, column, std::string_view(text_).substr(1)))
    filling_ = {formula.id(), column, cells.markOf(written)};
}

std::shared_ptr<excel::Range> EngineSheet::range(const std::string& a1) {
  const auto& sheet = liveSheet(node_);
  if (sheet->isChart()) throw excel::AutomationError("\"" + sheet->name + "\" is a chart sheet and has no cells.");
  auto block = core::parseA1Block(a1);
  if (!block) throw excel::AutomationError("Method 'Range' failed: \"" + a1 + "\" is not a cell reference.");
  return std::make_shared<EngineRange>(sheet, *block);
}

int EngineSheets::count() { return static_cast<int>(model_->sheets().size()); }

std::shared_ptr<excel::Sheet> EngineSheets::item(int index) {
  auto node = model_->at(index);
  if (!node) throw excel::AutomationError("Subscript out of range: there is no sheet " + std::to_string(index) + ".");
  return std::make_shared<EngineSheet>(model_, std::move(node));
}

std::shared_ptr<excel::Sheet> EngineSheets::item(const std::string& name) {
  auto node = model_->find(name);
  if (!node) throw excel::AutomationError("Subscript out of range: there is no sheet \"" + name + "\".");
  return std::make_shared<EngineSheet>(model_, std::move(node));
}

}  // namespace automation
