#include "automation/engine_sheets.h"

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
