#pragma once
// The equation list as the window holds it: the rows themselves, and the four-column table the
// list view shows of them. One object, so that the view and every reader and writer of the
// rows share it; the table follows each change of the rows through their hook.
#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "equations/equation_list.h"

namespace app {

class EquationTableModel : public QAbstractTableModel,
                           public equations::EquationListModel,
                           private equations::EquationListHook {
  Q_OBJECT
 public:
  explicit EquationTableModel(QObject* parent = nullptr);

  // Removing a row means the list's own removal (positions from 1), not the item model's.
  using equations::EquationListModel::removeRow;

  // Column captions of the header, in order; empty until the columns are set up.
  void addColumn(const QString& caption);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void beforeChange(Change change, int first, int last) override;
  void afterChange(Change change) override;

  std::vector<QString> captions_;
};

}  // namespace app
