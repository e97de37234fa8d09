#include "app/equation_table_model.h"

namespace app {

namespace {
constexpr int kColumns = 4;  // equation, start, end, step
}

EquationTableModel::EquationTableModel(QObject* parent) : QAbstractTableModel(parent) { setHook(this); }

void EquationTableModel::beforeChange(Change change, int first, int last) {
  switch (change) {
    case Change::Append: return beginInsertRows({}, first, last);
    case Change::Remove: return beginRemoveRows({}, first, last);
    case Change::Clear: return beginResetModel();
  }
}

void EquationTableModel::afterChange(Change change) {
  switch (change) {
    case Change::Append: return endInsertRows();
    case Change::Remove: return endRemoveRows();
    case Change::Clear: return endResetModel();
  }
}

void EquationTableModel::addColumn(const QString& caption) {
  // The table always has four columns of data; captions name them as they are set up.
  captions_.push_back(caption);
  const int section = static_cast<int>(captions_.size()) - 1;
  if (section < kColumns) emit headerDataChanged(Qt::Horizontal, section, section);
}

int EquationTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

int EquationTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant EquationTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole || index.row() >= count() || index.column() >= kColumns) return {};
  return equations::shownText(item(index.row() + 1, index.column()));
}

QVariant EquationTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= static_cast<int>(captions_.size())) return QString();
  return captions_[static_cast<size_t>(section)];
}

Qt::ItemFlags EquationTableModel::flags(const QModelIndex& index) const {
  // Rows are selected and removed, never edited in place.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace app
