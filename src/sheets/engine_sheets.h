#pragma once
// The Sheets collection, its sheets and their ranges, over one WorkbookModel.
#include <memory>

#include "graphing/excel/excel.h"
#include "sheets/cell_address.h"
#include "sheets/workbook_model.h"

namespace sheets {

// Every handle checks that its sheet still exists: a call after Delete is an automation
// error, not a crash.
const std::shared_ptr<SheetNode>& liveSheet(const std::shared_ptr<SheetNode>& node);

class EngineRange : public excel::Range {
 public:
  EngineRange(std::shared_ptr<SheetNode> sheet, CellBlock block) : sheet_(std::move(sheet)), block_(block) {}
  const std::shared_ptr<SheetNode>& sheet() const { return sheet_; }
  const CellBlock& block() const { return block_; }

 private:
  std::shared_ptr<SheetNode> sheet_;
  CellBlock block_;
};

class EngineSheet : public excel::Sheet {
 public:
  EngineSheet(std::shared_ptr<WorkbookModel> model, std::shared_ptr<SheetNode> node)
      : model_(std::move(model)), node_(std::move(node)) {}

  std::string name() override;
  void setName(const std::string& name) override;
  void setVisible(bool visible) override;
  void deleteSheet() override;
  void setCellNumber(int row, int column, double value) override;
  void setCellText(int row, int column, const std::string& text) override;
  std::shared_ptr<excel::Range> range(const std::string& a1) override;

  const std::shared_ptr<SheetNode>& node() const { return node_; }

 private:
  std::shared_ptr<WorkbookModel> model_;
  std::shared_ptr<SheetNode> node_;
};

class EngineSheets : public excel::Sheets {
 public:
  explicit EngineSheets(std::shared_ptr<WorkbookModel> model) : model_(std::move(model)) {}

  int count() override;
  std::shared_ptr<excel::Sheet> item(int index) override;
  std::shared_ptr<excel::Sheet> item(const std::string& name) override;

 private:
  std::shared_ptr<WorkbookModel> model_;
};

}  // namespace sheets
