#include "graphing/equation_to_formula.h"

namespace graphing {
namespace {

bool endsTheVariable(QChar next) {
  static const QString kEnders = QStringLiteral("^,)+-/\\* ");
  return kEnders.contains(next);
}

QString withoutSpaces(const QString& equation) {
  QString out;
  out.reserve(equation.size());
  for (QChar c : equation)
    if (c != QLatin1Char(' ')) out.append(c);
  return out;
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
    if (!last && text[x + 1].isDigit() && text[x + 1].unicode() < 128)
      return QString::fromLatin1(kTranslationError);
    if (last || endsTheVariable(text[x + 1])) {
      text.replace(x, 1, cellReference);
      scan = x + 1;  // right after the first character of the inserted reference
    } else {
      scan = x + 2;  // part of a name such as EXP: the next character is never examined
    }
  }
}

FormulaTemplate::FormulaTemplate(const QString& equation) {
  // A marker that contains no X stands for the reference; the pieces around it are fixed.
  const QString marker(QChar(0x1));
  const QString translated = EquationToFormula(equation, marker);
  error_ = translated == QLatin1String(kTranslationError);
  pieces_ = translated.split(marker);
}

QString FormulaTemplate::formulaFor(const QString& cellReference) const {
  QString out = QStringLiteral("=");
  out += pieces_.join(cellReference);
  return out;
}

}  // namespace graphing
