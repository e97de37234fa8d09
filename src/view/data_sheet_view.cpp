#include "view/data_sheet_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include "view/data_table_model.h"

namespace view {

DataSheetView::DataSheetView(std::shared_ptr<const core::WorkbookModel> workbook,
                             std::shared_ptr<const core::SheetNode> sheet, QWidget* parent)
    : QWidget(parent),
      model_(new DataTableModel(std::move(workbook), std::move(sheet), this)),
      table_(new QTableView(this)),
      cellName_(new QLabel(this)),
      formula_(new QLineEdit(this)) {
  cellName_->setFrameShape(QFrame::StyledPanel);
  cellName_->setMinimumWidth(fontMetrics().horizontalAdvance("XFD1048576") + 16);
  cellName_->setAlignment(Qt::AlignCenter);
  cellName_->setAccessibleName(tr("Cell"));
  formula_->setReadOnly(true);
  formula_->setAccessibleName(tr("Formula"));
  formula_->setPlaceholderText(tr("Select a cell to see its formula"));

  table_->setModel(model_);
  // Fixed row heights keep a million rows cheap: the view never measures them.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table_->horizontalHeader()->setDefaultSectionSize(fontMetrics().horizontalAdvance("-0.000000000000000") + 12);
  table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);

  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 4, 4, 2);
  bar->addWidget(cellName_);
  auto* fx = new QLabel(QStringLiteral("fx"), this);
  fx->setStyleSheet("font-style: italic; color: #595959;");
  bar->addWidget(fx);
  bar->addWidget(formula_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(bar);
  layout->addWidget(table_, 1);

  connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { showCurrentCell(); });
  if (model_->rowCount() > 0 && model_->columnCount() > 0) table_->setCurrentIndex(model_->index(0, 0));
  showCurrentCell();
}

void DataSheetView::showCurrentCell() {
  const QModelIndex current = table_->currentIndex();
  cellName_->setText(current.isValid() ? DataTableModel::cellName(current) : QString("A1"));
  formula_->setText(current.isValid() ? current.data(DataTableModel::ContentRole).toString() : QString());
}

QString DataSheetView::cellNameText() const { return cellName_->text(); }
QString DataSheetView::formulaText() const { return formula_->text(); }

}  // namespace view
