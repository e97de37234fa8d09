#pragma once
// The text form of the equation list kept in the settings store between runs. Lists saved by
// earlier versions rely on it, so it never changes: for every row in order, equation, start,
// end and step each followed by a separator (the field separator after the first three, the
// row terminator after the last). Nothing is trimmed or escaped.
#include <QString>
#include <QStringView>
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
// Cuts a row at every field separator.
std::vector<QStringView> splitSavedFields(QStringView row);
// The field at index (from 0); platform::StepFailure(kSubscriptOutOfRange) when there is none.
QStringView savedField(const std::vector<QStringView>& fields, size_t index);

}  // namespace app
