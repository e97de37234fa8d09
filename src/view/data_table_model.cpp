#include "view/data_table_model.h"

#include "core/cell_address.h"
#include "core/workbook_model.h"
#include "render/shown_number.h"

namespace view {
namespace {

// A number as a cell shows it in General format, the formula line above in full; both in the
// user's locale (the saved .xlsx and .csv are not).
QString valueText(const calc::Value& value, bool full) {
  if (value.isNumber()) return full ? render::fullNumber(value.number()) : render::generalNumber(value.number());
  if (value.isText()) return QString::fromStdString(value.text());
  if (value.isBool()) return value.boolean() ? "TRUE" : "FALSE";
  if (value.isUncomputed()) return QStringLiteral("(%1)").arg(QString::fromUtf8(calc::kNotComputedText.data(),
                                                                            static_cast<int>(calc::kNotComputedText.size())));
  if (value.isError()) return QString::fromUtf8(calc::errorText(value.error()).data(),
                                                static_cast<int>(calc::errorText(value.error()).size()));
  return {};
}

}  // namespace

DataTableModel::DataTableModel(std::shared_ptr<const core::WorkbookModel> workbook,
                               std::shared_ptr<const core::SheetNode> sheet, QObject* parent)
    : QAbstractTableModel(parent), workbook_(std::move(workbook)), sheet_(std::move(sheet)) {}

int DataTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !sheet_->cells || sheet_->deleted) return 0;
  return sheet_->cells->maxRow();
}

int DataTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid() || !sheet_->cells || sheet_->deleted) return 0;
  return sheet_->cells->columnCount();
}

QString DataTableModel::displayText(int row, int column) const {
  return valueText(workbook_->value(*sheet_, row, column), false);
}

QString DataTableModel::contentText(int row, int column) const {
  const core::CellSlot* slot = sheet_->cells->slot(row, column);
  if (slot && slot->kind == core::CellKind::Formula)
    return "=" + QString::fromStdString(sheet_->cells->formulaText(*slot, row));
  return valueText(workbook_->value(*sheet_, row, column), true);
}

// As a spreadsheet aligns by default: numbers right, text left, truth values and errors centred.
Qt::Alignment DataTableModel::alignment(int row, int column) const {
  const calc::Value value = workbook_->value(*sheet_, row, column);
  if (value.isNumber()) return Qt::AlignRight | Qt::AlignVCenter;
  if (value.isBool() || value.isError()) return Qt::AlignHCenter | Qt::AlignVCenter;
  return Qt::AlignLeft | Qt::AlignVCenter;
}

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !sheet_->cells || sheet_->deleted) return {};
  const int row = index.row() + 1, column = index.column() + 1;
  switch (role) {
    case Qt::DisplayRole: return displayText(row, column);
    case ContentRole: return contentText(row, column);
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignment(row, column));
    case Qt::ToolTipRole:
      if (workbook_->value(*sheet_, row, column).isUncomputed())
        return QStringLiteral("Tessaline cannot compute this formula; your spreadsheet application computes it "
                              "when it opens the workbook.");
      return {};
    default: return {};
  }
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return QString::fromStdString(core::columnLetters(section + 1));
  return QString::number(section + 1);
}

QString DataTableModel::cellName(const QModelIndex& index) {
  if (!index.isValid()) return {};
  return QString::fromStdString(core::cellName(index.row() + 1, index.column() + 1));
}

}  // namespace view
