#pragma once
// The Sheets collection, its sheets and their ranges, over one WorkbookModel.
#include <memory>

#include "excel/excel.h"
#include "core/cell_address.h"
#include "core/workbook_model.h"

namespace automation {

// Every handle checks that its sheet still exists: a call after Delete is an automation
// error, not a crash.
const std::shared_ptr<core::SheetNode>& liveSheet(const std::shared_ptr<core::SheetNode>& node);

class EngineRange : public excel::Range {
 public:
  EngineRange(std::shared_ptr<core::SheetNode> sheet, core::CellBlock block) : sheet_(std::move(sheet)), block_(block) {}
  const std::shared_ptr<core::SheetNode>& sheet() const { return sheet_; }
  const core::CellBlock& block() const { return block_; }

 private:
  std::shared_ptr<core::SheetNode> sheet_;
  core::CellBlock block_;
};

class EngineSheet : public excel::Sheet {
 public:
  EngineSheet(std::shared_ptr<core::WorkbookModel> model, std::shared_ptr<core::SheetNode> node)
      : model_(std::move(model)), node_(std::move(node)) {}

  std::string name() override;
  void setName(const std::string& name) override;
  void setVisible(bool visible) override;
  void deleteSheet() override;
  void setCellNumber(int row, int column, double value) override;
  void setCellText(int row, int column, const std::string& text) override;
  void setCellFormula(int row, int column, const excel::FilledFormula& formula) override;
  std::shared_ptr<excel::Range> range(const std::string& a1) override;

  const std::shared_ptr<core::SheetNode>& node() const { return node_; }

 private:
  // A formula recognised as filled down: from the cell below `mark`'s on, each row of its
  // column is the cell above filled down, with no text built or read.
  struct FillingDown {
    std::uint64_t formula = 0;  // FilledFormula::id(); 0 for none
    int column = 0;
    core::FormulaGroupMark mark;
  };
  void recognise(int row, int column, const excel::FilledFormula& formula);

  std::shared_ptr<core::WorkbookModel> model_;
  std::shared_ptr<core::SheetNode> node_;
  FillingDown filling_;
  std::string text_;  // a formula's text, for the rows written with it
};

class EngineSheets : public excel::Sheets {
 public:
  explicit EngineSheets(std::shared_ptr<core::WorkbookModel> model) : model_(std::move(model)) {}

  int count() override;
  std::shared_ptr<excel::Sheet> item(int index) override;
  std::shared_ptr<excel::Sheet> item(const std::string& name) override;

 private:
  std::shared_ptr<core::WorkbookModel> model_;
};

}  // namespace automation
