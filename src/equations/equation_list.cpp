#include "equations/equation_list.h"

#include <algorithm>
#include <iterator>

#include "platform/error_report.h"

namespace equations {
namespace {

using Change = EquationListHook::Change;

// The row's own text is item 0, its sub-items 1 .. 3: the list's columns in order.
const QString& itemOf(const EquationEntry& row, int subItem) {
  switch (subItem) {
    case 0: return row.equation;
    case 1: return row.start;
    case 2: return row.end;
    default: return row.step;
  }
}

}  // namespace

void EquationListModel::checkPosition(int position) const {
  if (position < 1 || position > count()) throw platform::StepFailure(platform::kSubscriptOutOfRange);
}

const QString& EquationListModel::item(int position, int subItem) const {
  checkPosition(position);
  if (subItem < 0 || subItem > 3) throw platform::StepFailure(platform::kSubscriptOutOfRange);
  return itemOf(rows_[static_cast<size_t>(position - 1)], subItem);
}

const EquationEntry& EquationListModel::entry(int position) const {
  checkPosition(position);
  return rows_[static_cast<size_t>(position - 1)];
}

void EquationListModel::appendEntry(const EquationEntry& entry) {
  const int at = count();
  before(Change::Append, at, at);
  rows_.push_back(entry);
  after(Change::Append);
}

void EquationListModel::appendRows(std::vector<EquationEntry>&& entries) {
  if (entries.empty()) return;
  const int at = count();
  before(Change::Append, at, at + static_cast<int>(entries.size()) - 1);
  // Grow geometrically: batch after batch, an exact reserve would copy the whole list each time.
  const size_t needed = rows_.size() + entries.size();
  if (needed > rows_.capacity()) rows_.reserve(std::max(needed, 2 * rows_.capacity()));
  std::move(entries.begin(), entries.end(), std::back_inserter(rows_));
  after(Change::Append);
  entries.clear();
}

void EquationListModel::removeRow(int position) {
  checkPosition(position);
  before(Change::Remove, position - 1, position - 1);
  rows_.erase(rows_.begin() + (position - 1));
  after(Change::Remove);
}

void EquationListModel::clear() {
  if (rows_.empty()) return;
  before(Change::Clear, 0, count() - 1);
  rows_.clear();
  rows_.shrink_to_fit();
  after(Change::Clear);
}

QString shownText(const QString& text) {
  if (text.size() <= kShownCharacters) return text;
  // Never cut a surrogate pair in two.
  qsizetype cut = kShownCharacters;
  if (text[cut - 1].isHighSurrogate()) --cut;
  return text.left(cut) + QChar(0x2026);
}

void AddEquationRow(EquationListModel& list, const QString& equation, const QString& start,
                    const QString& end, const QString& step) {
  // The row arrives whole: one notification instead of four keeps long appends cheap for the view.
  list.appendEntry({equation, start, end, step});
}

}  // namespace equations
