#pragma once
// The rows of the equation list: equation, start, end and step, all as text exactly as entered.
// This model is the only store of the rows; the list view shows it and every reader asks it.
#include <QAbstractTableModel>
#include <QString>
#include <vector>

namespace equations {

struct EquationEntry {
  QString equation;
  QString start;
  QString end;
  QString step;
};

// The view shows at most this many characters of a field, then "…": laying out a field of
// millions of characters would freeze the window for seconds on every repaint. The row keeps the
// whole text, and so do the saved list and the graphing run.
inline constexpr qsizetype kShownCharacters = 1000;
QString shownText(const QString& text);

class EquationListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Reading. Positions count from 1, as the list shows them.
  int count() const { return static_cast<int>(rows_.size()); }
  // The row's own text (item 0) or one of its sub-items 1 (start), 2 (end), 3 (step).
  // Throws platform::StepFailure for a position or item that does not exist.
  const QString& item(int position, int subItem) const;
  const EquationEntry& entry(int position) const;

  // Writing: rows are appended whole.
  void appendEntry(const EquationEntry& entry);
  // Appends many finished rows with one notification to the views: one by one, a shown list
  // spends seconds on a million rows.
  void appendRows(std::vector<EquationEntry>&& entries);
  void removeRow(int position);
  void clear();

  // Column captions of the header, in order; empty until the columns are set up.
  void addColumn(const QString& caption);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void checkPosition(int position) const;

  std::vector<EquationEntry> rows_;
  std::vector<QString> captions_;
};

// The one way a row is appended: the equation, then start, end and step in that order.
void AddEquationRow(EquationListModel& list, const QString& equation, const QString& start,
                    const QString& end, const QString& step);

}  // namespace equations
