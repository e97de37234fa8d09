#pragma once
// Turns an equation in x, as the user typed it, into the body of a spreadsheet formula over the
// cell that holds x. A single pass over the characters: whether an X is the variable is decided
// by the one character after it.
#include <QString>
#include <QStringList>
#include <optional>

#include "excel/excel.h"

namespace graphing {

inline constexpr char kTranslationError[] = "error";

// The formula body without its leading "=", or "error" when an X is followed by a digit.
QString EquationToFormula(const QString& equation, const QString& cellReference);

// EquationToFormula done once per equation: the pieces between the x references, so that each
// row only joins them with its own reference. Valid for references without the letter X, which
// is all the graphing run ever passes.
class FormulaTemplate {
 public:
  explicit FormulaTemplate(const QString& equation);
  bool isError() const { return error_; }
  // True when a reference would run together with the character before it, so that the
  // formula reads another number or cell than x ("2x" would give 2E1 in column E, "ax" the
  // cell AA1): such an equation cannot be plotted as written.
  bool referenceFuses() const { return fusedAt_ >= 0; }
  // The letters or digits right before the first such reference ("2" for "2x").
  QString fusedPrefix() const;
  // "=" followed by the translation for this reference.
  QString formulaFor(const QString& cellReference) const;
  // The same for every row of a column at once: formulaFor(letters + row) is its text(row).
  // Nothing when the equation is translated row by row.
  std::optional<excel::FilledFormula> filledDown(const QString& letters) const;

 private:
  QStringList pieces_;
  QString translated_;  // upper case, without spaces, without the references
  QString equation_;    // only when the equation holds the marker: translated per row
  QChar marker_;        // what stood for the reference while the pieces were cut
  qsizetype fusedAt_ = -1;
  bool error_ = false;
};

}  // namespace graphing
