#pragma once
// The text form of the equation list kept in the settings store between runs. Lists saved by
// earlier versions rely on it, so it never changes: for every row in order, equation, start,
// end and step each followed by a separator (the field separator after the first three, the
// row terminator after the last). Nothing is trimmed or escaped.
#include <QString>
#include <QStringView>
#include <array>
#include <vector>

#include "equations/equation_list.h"

namespace app {

inline constexpr char16_t kSavedFieldSeparator[] = u"||MySeparator12||";
inline constexpr char16_t kSavedRowTerminator[] = u"||MySeparator23||";
inline constexpr char kSavedListKey[] = "Equations";

// The whole list as saved text; an empty list gives empty text.
QString savedListText(const equations::EquationListModel& list);
// The length the saved text of the whole list will have, to reserve it at once.
qsizetype savedListLength(const equations::EquationListModel& list);
// Appends the saved text of the row at position (from 1).
void appendSavedRow(QString& text, const equations::EquationListModel& list, int position);

// Cuts the text at every row terminator, keeping every piece, the empty ones too (so a text
// that ends with a terminator ends with an empty piece).
std::vector<QStringView> splitSavedRows(QStringView text);
// A row cut at every field separator: the first four fields, and how many there are in all.
struct SavedFields {
  std::array<QStringView, 4> first;
  int count = 0;
};
SavedFields splitSavedFields(QStringView row);
// The field at index (from 0, below 4); platform::StepFailure(kSubscriptOutOfRange) when the
// row has no such field.
QStringView savedField(const SavedFields& fields, int index);

}  // namespace app
