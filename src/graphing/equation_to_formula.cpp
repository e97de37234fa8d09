#include "graphing/equation_to_formula.h"

#include <optional>

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

namespace {

// A character the equation does not hold, to stand for the reference: one of Unicode's
// noncharacters, which nobody types. None when the equation holds them all.
std::optional<QChar> markerFor(const QString& equation) {
  for (char16_t code = 0xFDD0; code <= 0xFDEF; ++code)
    if (!equation.contains(QChar(code))) return QChar(code);
  return std::nullopt;
}

}  // namespace

// The translation done once with a marker for the reference, then cut at the markers. The
// marker is not the letter X and takes one character, so the scan sees what it sees for any
// reference without an X, which is all the graphing run passes.
FormulaTemplate::FormulaTemplate(const QString& equation) {
  const std::optional<QChar> marker = markerFor(equation);
  if (!marker) {  // translated row by row instead
    equation_ = equation;
    error_ = EquationToFormula(equation, QStringLiteral("A1")) == QLatin1String(kTranslationError);
    return;
  }
  const QChar kMarker = *marker;
  marker_ = kMarker;
  const QString marked = EquationToFormula(equation, QString(kMarker));
  if (marked == QLatin1String(kTranslationError)) {
    error_ = true;
    pieces_ = QStringList{marked};
    return;
  }
  pieces_ = marked.split(kMarker);
  translated_ = QString(marked).remove(kMarker);
  qsizetype at = 0;
  for (qsizetype i = 0; i + 1 < pieces_.size() && fusedAt_ < 0; ++i) {
    at += pieces_[i].size();
    if (at > 0 && fusesWithReference(translated_[at - 1])) fusedAt_ = at;
  }
}

QString FormulaTemplate::formulaFor(const QString& cellReference) const {
  if (!equation_.isEmpty()) return QStringLiteral("=") + EquationToFormula(equation_, cellReference);
  QString out = QStringLiteral("=");
  out += pieces_.join(cellReference);
  return out;
}

std::optional<excel::FilledFormula> FormulaTemplate::filledDown(const QString& letters) const {
  if (!equation_.isEmpty()) return std::nullopt;
  // The whole text converted at once and cut at the marker's bytes: a character that cannot be
  // converted (half a surrogate pair) next to a reference converts as it does beside the marker.
  const std::string marked = pieces_.join(marker_).toStdString();
  const std::string marker = QString(marker_).toStdString();
  std::vector<std::string> pieces;
  for (std::size_t from = 0;;) {
    const std::size_t at = marked.find(marker, from);
    pieces.push_back(marked.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) break;
    from = at + marker.size();
  }
  return excel::FilledFormula(std::move(pieces), letters.toStdString());
}

QString FormulaTemplate::fusedPrefix() const {
  if (fusedAt_ < 0) return {};
  qsizetype start = fusedAt_;
  while (start > 0 && fusesWithReference(translated_[start - 1])) --start;
  return translated_.mid(start, fusedAt_ - start);
}

}  // namespace graphing
