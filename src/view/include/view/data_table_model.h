#pragma once
// A worksheet as a table: one row per sheet row, one column per sheet column, headed by row
// numbers and column letters. Values are computed when a cell comes into view, so a sheet of a
// million rows opens at once.
#include <QAbstractTableModel>

#include <memory>

namespace core {
class WorkbookModel;
struct SheetNode;
}  // namespace core

namespace view {

class DataTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // What a cell holds as it was written: "=SIN(A1)+A1" for a formula, the value otherwise.
  static constexpr int ContentRole = Qt::UserRole + 1;

  DataTableModel(std::shared_ptr<const core::WorkbookModel> workbook, std::shared_ptr<const core::SheetNode> sheet,
                 QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // "B12" for the cell at this index.
  static QString cellName(const QModelIndex& index);

 private:
  QString displayText(int row, int column) const;
  QString contentText(int row, int column) const;
  Qt::Alignment alignment(int row, int column) const;

  std::shared_ptr<const core::WorkbookModel> workbook_;
  std::shared_ptr<const core::SheetNode> sheet_;
};

}  // namespace view
