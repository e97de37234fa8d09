#include "platform/dialogs.h"

#include <QStringList>

namespace platform {
namespace {
QString& titleStore() {
  static QString title;
  return title;
}
}  // namespace

void setApplicationTitle(const QString& title) { titleStore() = title; }
QString applicationTitle() { return titleStore(); }

QString toDisplayText(const QString& text) {
  QString out = text;
  out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return out;
}

namespace {

constexpr QChar kEllipsis(0x2026);
constexpr QChar kZeroWidthSpace(0x200B);

QString withoutMiddle(QStringView line) {
  if (line.size() <= kBoxLineLimit) return line.toString();
  const qsizetype kept = kBoxLineLimit / 2;
  return line.first(kept).toString() + QLatin1String(" ") + kEllipsis + QLatin1String(" ") +
         line.last(kept).toString();
}

QString withBreakPoints(const QString& line) {
  QString out;
  out.reserve(line.size() + line.size() / kBoxUnbrokenRun);
  qsizetype run = 0;
  for (const QChar c : line) {
    run = c.isSpace() ? 0 : run + 1;
    if (run > kBoxUnbrokenRun && !c.isLowSurrogate()) {
      out += kZeroWidthSpace;
      run = 1;
    }
    out += c;
  }
  return out;
}

}  // namespace

QString boxDisplayText(const QString& text) {
  QStringList lines = toDisplayText(text).split(QLatin1Char('\n'));
  for (QString& line : lines) line = withBreakPoints(withoutMiddle(line));
  return lines.join(QLatin1Char('\n'));
}

}  // namespace platform
