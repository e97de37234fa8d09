#include "sheet_qualifiers.h"

namespace graphing {
namespace {

constexpr qsizetype kLongestSheetName = 31;  // in UTF-16 units, as the spreadsheet counts

// Characters that end an unquoted qualifier when read backwards from its "!": operators,
// separators and the range colon (Sheet1:Sheet3!A1 qualifies with two names).
bool endsUnquotedName(QChar c) {
  static const QString kDelimiters = QStringLiteral("+-*/^&=<>(),;{}%\"'!:# \t\r\n");
  return kDelimiters.contains(c);
}

bool namesAnotherWorkbook(const QString& name) {
  // [book.xlsx]Sheet1 or a path to a file.
  for (QChar c : {u'[', u']', u'\\', u'/'})
    if (name.contains(c)) return true;
  return false;
}

// The spreadsheet's rules for a sheet name, apart from the characters of another workbook.
bool noSheetCanHave(const QString& name) {
  if (name.isEmpty() || name.size() > kLongestSheetName) return true;
  if (name.contains(u':') || name.contains(u'?') || name.contains(u'*')) return true;
  return name.startsWith(u'\'') || name.endsWith(u'\'');
}

std::optional<ForeignQualifier> judge(const QString& name, const QString& written) {
  if (namesAnotherWorkbook(name)) return ForeignQualifier{ForeignQualifier::Kind::OtherWorkbook, written};
  if (noSheetCanHave(name)) return ForeignQualifier{ForeignQualifier::Kind::ImpossibleSheetName, written};
  return std::nullopt;
}

// The position just past the closing `quote` of the text that opens at `open`; doubled quotes
// stand for one and do not close it. Sets `inner` to the text between, undoubled.
qsizetype pastQuoted(const QString& text, qsizetype open, QChar quote, QString& inner) {
  inner.clear();
  qsizetype i = open + 1;
  while (i < text.size()) {
    if (text[i] != quote) {
      inner += text[i++];
    } else if (i + 1 < text.size() && text[i + 1] == quote) {
      inner += quote;
      i += 2;
    } else {
      return i + 1;
    }
  }
  return -1;  // unterminated: the spreadsheet refuses the formula anyway
}

// An error literal (#REF!, #DIV/0!, #NAME?) is no qualifier, whatever its "!".
qsizetype pastErrorLiteral(const QString& text, qsizetype hash) {
  qsizetype i = hash + 1;
  while (i < text.size() && (text[i].isLetterOrNumber() || text[i] == u'/' || text[i] == u'_')) ++i;
  if (i < text.size() && (text[i] == u'!' || text[i] == u'?')) ++i;
  return i;
}

}  // namespace

std::optional<ForeignQualifier> firstForeignQualifier(const QString& formula) {
  QString inner;
  qsizetype nameStart = 0;  // where an unquoted qualifier ending here would begin
  for (qsizetype i = 0; i < formula.size();) {
    const QChar c = formula[i];
    if (c == u'"' || c == u'\'') {
      const qsizetype next = pastQuoted(formula, i, c, inner);
      if (next < 0) return std::nullopt;
      const bool qualifies = c == u'\'' && next < formula.size() && formula[next] == u'!';
      if (qualifies)
        if (auto foreign = judge(inner, formula.mid(i, next - i))) return foreign;
      i = nameStart = qualifies ? next + 1 : next;
    } else if (c == u'#') {
      i = nameStart = pastErrorLiteral(formula, i);
    } else if (c == u'!') {
      // An empty name ("+!A1") is no reference at all: the spreadsheet refuses that itself.
      const QString name = formula.mid(nameStart, i - nameStart);
      if (!name.isEmpty())
        if (auto foreign = judge(name, name)) return foreign;
      nameStart = ++i;
    } else {
      ++i;
      if (endsUnquotedName(c)) nameStart = i;
    }
  }
  return std::nullopt;
}

}  // namespace graphing
