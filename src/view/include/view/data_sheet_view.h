#pragma once
// A worksheet tab: the selected cell's name and what it holds (its formula) above the table.
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QTableView;

namespace core {
class WorkbookModel;
struct SheetNode;
}  // namespace core

namespace view {

class DataTableModel;

class DataSheetView : public QWidget {
  Q_OBJECT

 public:
  DataSheetView(std::shared_ptr<const core::WorkbookModel> workbook, std::shared_ptr<const core::SheetNode> sheet,
                QWidget* parent = nullptr);

  QTableView* table() const { return table_; }
  DataTableModel* model() const { return model_; }
  QString cellNameText() const;
  QString formulaText() const;

 private:
  void showCurrentCell();

  DataTableModel* model_;
  QTableView* table_;
  QLabel* cellName_;
  QLineEdit* formula_;
};

}  // namespace view
