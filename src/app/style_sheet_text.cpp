#include "style_sheet_text.h"

#include <QStringList>

namespace app::style_sheet {
namespace {

bool startsCommentAt(const QString& text, qsizetype i) {
  return text[i] == QLatin1Char('/') && i + 1 < text.size() && text[i + 1] == QLatin1Char('*');
}

// Index just past the comment that starts at i, or -1 when it is never closed.
qsizetype skipComment(const QString& text, qsizetype i) {
  const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
  return end < 0 ? -1 : end + 2;
}

// Index just past the quoted text that starts at i (backslash escapes honoured), or -1.
qsizetype skipQuoted(const QString& text, qsizetype i) {
  const QChar quote = text[i];
  for (qsizetype j = i + 1; j < text.size(); ++j) {
    if (text[j] == QLatin1Char('\\')) ++j;
    else if (text[j] == quote) return j + 1;
  }
  return -1;
}

bool isQuote(QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); }

// Index just past the '}' that closes the block opening at i; the sheet is known to be sound.
qsizetype skipBlock(const QString& text, qsizetype i) {
  int depth = 0;
  while (i < text.size()) {
    if (startsCommentAt(text, i)) { i = skipComment(text, i); continue; }
    if (isQuote(text[i])) { i = skipQuoted(text, i); continue; }
    if (text[i] == QLatin1Char('{')) ++depth;
    if (text[i] == QLatin1Char('}') && --depth == 0) return i + 1;
    ++i;
  }
  return text.size();
}

// Splits a selector list at its top-level commas (not those inside [..], (..) or quotes).
QStringList splitSelectors(const QString& list) {
  QStringList parts;
  int nesting = 0;
  qsizetype from = 0;
  for (qsizetype i = 0; i < list.size(); ++i) {
    const QChar c = list[i];
    if (isQuote(c)) { i = skipQuoted(list, i) - 1; continue; }
    if (c == QLatin1Char('[') || c == QLatin1Char('(')) ++nesting;
    if (c == QLatin1Char(']') || c == QLatin1Char(')')) --nesting;
    if (c == QLatin1Char(',') && nesting == 0) {
      parts << list.mid(from, i - from).trimmed();
      from = i + 1;
    }
  }
  parts << list.mid(from).trimmed();
  parts.removeAll(QString());
  return parts;
}

// Where the last compound selector starts (after the last top-level combinator).
qsizetype lastCompoundStart(const QString& selector) {
  qsizetype start = 0;
  int nesting = 0;
  for (qsizetype i = 0; i < selector.size(); ++i) {
    const QChar c = selector[i];
    if (isQuote(c)) { i = skipQuoted(selector, i) - 1; continue; }
    if (c == QLatin1Char('[') || c == QLatin1Char('(')) ++nesting;
    if (c == QLatin1Char(']') || c == QLatin1Char(')')) --nesting;
    if (nesting == 0 && (c.isSpace() || c == QLatin1Char('>'))) start = i + 1;
  }
  return start;
}

bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-'); }

// Where the type part ("*", "QWidget", ".QWidget" or nothing) of the compound at start ends.
qsizetype typeEnd(const QString& selector, qsizetype start) {
  qsizetype i = start;
  if (i < selector.size() && selector[i] == QLatin1Char('*')) return i + 1;
  if (i < selector.size() && selector[i] == QLatin1Char('.')) ++i;
  while (i < selector.size() && isNameChar(selector[i])) ++i;
  return i;
}

}  // namespace

std::optional<QString> structuralError(const QString& sheet) {
  int depth = 0;
  for (qsizetype i = 0; i < sheet.size();) {
    if (startsCommentAt(sheet, i)) {
      i = skipComment(sheet, i);
      if (i < 0) return QStringLiteral("a comment is never closed");
      continue;
    }
    if (isQuote(sheet[i])) {
      i = skipQuoted(sheet, i);
      if (i < 0) return QStringLiteral("a quoted text is never closed");
      continue;
    }
    if (sheet[i] == QLatin1Char('{')) ++depth;
    if (sheet[i] == QLatin1Char('}') && --depth < 0) return QStringLiteral("a '}' closes no block");
    ++i;
  }
  if (depth > 0) return QStringLiteral("a '{' is never closed");
  return std::nullopt;
}

bool isBlank(const QString& sheet) {
  for (qsizetype i = 0; i < sheet.size(); ++i) {
    if (startsCommentAt(sheet, i)) {
      i = skipComment(sheet, i);
      if (i < 0) return true;
      --i;
    } else if (!sheet[i].isSpace()) {
      return false;
    }
  }
  return true;
}

QString rewriteSelectors(const QString& sheet, const SelectorMap& map) {
  QString result;
  QString selectors;
  for (qsizetype i = 0; i < sheet.size();) {
    if (startsCommentAt(sheet, i)) { i = skipComment(sheet, i); continue; }
    if (sheet[i] != QLatin1Char('{')) { selectors += sheet[i++]; continue; }
    const qsizetype end = skipBlock(sheet, i);
    QStringList mapped;
    for (const QString& selector : splitSelectors(selectors)) mapped << map(selector);
    mapped.removeAll(QString());
    if (!mapped.isEmpty()) result += mapped.join(QLatin1String(", ")) + QLatin1Char(' ') + sheet.mid(i, end - i) + QLatin1Char('\n');
    selectors.clear();
    i = end;
  }
  return result;
}

QString withObjectName(const QString& selector, const QString& id) {
  QString scoped = selector;
  return scoped.insert(typeEnd(selector, lastCompoundStart(selector)), QLatin1Char('#') + id);
}

QStringList forDialogs(const QString& selector) {
  QStringList narrowed{QLatin1String("QDialog ") + selector};
  if (lastCompoundStart(selector) != 0) return narrowed;
  const qsizetype end = typeEnd(selector, 0);
  const QString type = selector.left(end);
  if (type.isEmpty() || type == QLatin1String("*") || type == QLatin1String("QWidget") ||
      type == QLatin1String("QDialog"))
    narrowed << QLatin1String("QDialog") + selector.mid(end);
  return narrowed;
}

}  // namespace app::style_sheet
