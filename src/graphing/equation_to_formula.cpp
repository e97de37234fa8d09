#include "graphing/equation_to_formula.h"

namespace graphing {
namespace {

bool endsTheVariable(QChar next) {
  static const QString kEnders = QStringLiteral("^,)+-/\\* ");
  return kEnders.contains(next);
}

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

QString withoutSpaces(const QString& equation) {
  QString out;
  out.reserve(equation.size());
  for (QChar c : equation)
    if (c != QLatin1Char(' ')) out.append(c);
  return out;
}

// A character right before a reference that would make one name or number of the two
// ("2" + "E1" reads as 20, "A" + "A1" as the cell AA1).
bool fusesWithReference(QChar before) {
  return before.isLetterOrNumber() || before == QLatin1Char('.') || before == QLatin1Char('_');
}

}  // namespace

QString EquationToFormula(const QString& equation, const QString& cellReference) {
  // Only the plain space is removed; tabs and other white space stay.
  QString text = withoutSpaces(equation).toUpper();
  qsizetype scan = 0;
  while (true) {
    const qsizetype x = text.indexOf(QLatin1Char('X'), scan);
    if (x < 0) return text;
    const bool last = x + 1 >= text.size();
    if (!last && isAsciiDigit(text[x + 1])) return QString::fromLatin1(kTranslationError);
    if (last || endsTheVariable(text[x + 1])) {
      text.replace(x, 1, cellReference);
      scan = x + 1;  // right after the first character of the inserted reference
    } else {
      scan = x + 2;  // part of a name such as EXP: the next character is never examined
    }
  }
}

// The same scan as EquationToFormula, cutting the text at each variable instead of replacing
// it. For references without the letter X both scans see the same characters.
FormulaTemplate::FormulaTemplate(const QString& equation) {
  const QString text = withoutSpaces(equation).toUpper();
  qsizetype scan = 0, pieceStart = 0;
  while (true) {
    const qsizetype x = text.indexOf(QLatin1Char('X'), scan);
    if (x < 0) break;
    const bool last = x + 1 >= text.size();
    if (!last && isAsciiDigit(text[x + 1])) {
      error_ = true;
      pieces_ = QStringList{QString::fromLatin1(kTranslationError)};
      return;
    }
    if (last || endsTheVariable(text[x + 1])) {
      if (x > 0 && fusesWithReference(text[x - 1]) && fusedAt_ < 0) fusedAt_ = x;
      pieces_ << text.mid(pieceStart, x - pieceStart);
      pieceStart = x + 1;
    }
    scan = last || endsTheVariable(text[x + 1]) ? x + 1 : x + 2;
  }
  pieces_ << text.mid(pieceStart);
  translated_ = text;
}

QString FormulaTemplate::formulaFor(const QString& cellReference) const {
  QString out = QStringLiteral("=");
  out += pieces_.join(cellReference);
  return out;
}

QString FormulaTemplate::fusedPrefix() const {
  if (fusedAt_ < 0) return {};
  qsizetype start = fusedAt_;
  while (start > 0 && fusesWithReference(translated_[start - 1])) --start;
  return translated_.mid(start, fusedAt_ - start);
}

}  // namespace graphing
