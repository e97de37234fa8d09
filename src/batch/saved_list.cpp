#include "batch/saved_list.h"

#include "platform/error_report.h"

namespace app {
namespace {

constexpr QStringView fieldSeparator() { return QStringView(kSavedFieldSeparator); }
constexpr QStringView rowTerminator() { return QStringView(kSavedRowTerminator); }

std::vector<QStringView> splitAt(QStringView text, QStringView separator) {
  std::vector<QStringView> pieces;
  qsizetype from = 0;
  for (;;) {
    const qsizetype at = text.indexOf(separator, from);
    if (at < 0) break;
    pieces.push_back(text.sliced(from, at - from));
    from = at + separator.size();
  }
  pieces.push_back(text.sliced(from));
  return pieces;
}

}  // namespace

qsizetype savedListLength(const equations::EquationListModel& list) {
  qsizetype length = 0;
  for (int position = 1; position <= list.count(); ++position) {
    for (int subItem = 0; subItem < 4; ++subItem) length += list.item(position, subItem).size();
    length += 3 * fieldSeparator().size() + rowTerminator().size();
  }
  return length;
}

void appendSavedRow(QString& text, const equations::EquationListModel& list, int position) {
  text += list.item(position, 0);
  text += fieldSeparator();
  text += list.item(position, 1);
  text += fieldSeparator();
  text += list.item(position, 2);
  text += fieldSeparator();
  text += list.item(position, 3);
  text += rowTerminator();
}

QString savedListText(const equations::EquationListModel& list) {
  QString text;
  text.reserve(savedListLength(list));
  for (int position = 1; position <= list.count(); ++position) appendSavedRow(text, list, position);
  return text;
}

std::vector<QStringView> splitSavedRows(QStringView text) { return splitAt(text, rowTerminator()); }

SavedFields splitSavedFields(QStringView row) {
  SavedFields fields;
  qsizetype from = 0;
  for (;;) {
    const qsizetype at = row.indexOf(fieldSeparator(), from);
    const qsizetype end = at < 0 ? row.size() : at;
    if (fields.count < 4) fields.first[static_cast<size_t>(fields.count)] = row.sliced(from, end - from);
    ++fields.count;
    if (at < 0) return fields;
    from = at + fieldSeparator().size();
  }
}

QStringView savedField(const SavedFields& fields, int index) {
  if (index < 0 || index >= fields.count || index >= 4) throw platform::StepFailure(platform::kSubscriptOutOfRange);
  return fields.first[static_cast<size_t>(index)];
}

}  // namespace app
