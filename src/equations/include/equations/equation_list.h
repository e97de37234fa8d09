#pragma once
// The rows of the equation list: equation, start, end and step, all as text exactly as entered.
// This is the only store of the rows: the list view shows it and every reader asks it. A view
// follows its changes through the hook.
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

// Told before and after every change of the rows, so that a view of them can follow.
class EquationListHook {
 public:
  enum class Change { Append, Remove, Clear };
  virtual ~EquationListHook() = default;
  // Rows first .. last, counted from 0 (for Clear: every row there was).
  virtual void beforeChange(Change change, int first, int last) = 0;
  virtual void afterChange(Change change) = 0;
};

class EquationListModel {
 public:
  EquationListModel() = default;
  EquationListModel(const EquationListModel&) = delete;
  EquationListModel& operator=(const EquationListModel&) = delete;
  virtual ~EquationListModel() = default;

  // Reading. Positions count from 1, as the list shows them.
  int count() const { return static_cast<int>(rows_.size()); }
  // The row's own text (item 0) or one of its sub-items 1 (start), 2 (end), 3 (step).
  // Throws platform::StepFailure for a position or item that does not exist.
  const QString& item(int position, int subItem) const;
  const EquationEntry& entry(int position) const;

  // Writing: rows are appended whole.
  void appendEntry(const EquationEntry& entry);
  // Appends many finished rows with one notification to the hook: one by one, a shown list
  // spends seconds on a million rows.
  void appendRows(std::vector<EquationEntry>&& entries);
  void removeRow(int position);
  void clear();

  // The one hook told of changes, or none.
  void setHook(EquationListHook* hook) { hook_ = hook; }

 private:
  void checkPosition(int position) const;
  void before(EquationListHook::Change change, int first, int last) {
    if (hook_) hook_->beforeChange(change, first, last);
  }
  void after(EquationListHook::Change change) {
    if (hook_) hook_->afterChange(change);
  }

  std::vector<EquationEntry> rows_;
  EquationListHook* hook_ = nullptr;
};

// The one way a row is appended: the equation, then start, end and step in that order.
void AddEquationRow(EquationListModel& list, const QString& equation, const QString& start,
                    const QString& end, const QString& step);

}  // namespace equations
