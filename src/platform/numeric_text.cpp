#include "platform/numeric_text.h"

#include <cmath>

namespace platform {
namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QStringView withoutBlanks(QStringView text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  return text.sliced(first, last - first);
}

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// [sign] (digits [. [digits]] | . digits) [(e|E) [sign] digits], nothing else. Checked before
// converting so that the converter's own extras (inf, nan, grouping) never slip through.
bool isPlainDecimal(QStringView s) {
  qsizetype i = 0;
  const qsizetype n = s.size();
  auto digitsFrom = [&](qsizetype& at) {
    const qsizetype begin = at;
    while (at < n && isAsciiDigit(s[at])) ++at;
    return at - begin;
  };
  if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) ++i;
  qsizetype mantissaDigits = digitsFrom(i);
  if (i < n && s[i] == QLatin1Char('.')) {
    ++i;
    mantissaDigits += digitsFrom(i);
  }
  if (mantissaDigits == 0) return false;
  if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
    ++i;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) ++i;
    if (digitsFrom(i) == 0) return false;
  }
  return i == n;
}

std::optional<double> finite(double value, bool ok) {
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> readNumber(const QString& text, const QLocale& userLocale) {
  const QStringView trimmed = withoutBlanks(text);
  if (trimmed.isEmpty()) return std::nullopt;
  bool ok = false;
  if (isPlainDecimal(trimmed)) {
    const double value = QLocale::c().toDouble(trimmed, &ok);
    return finite(value, ok);
  }
  const double value = userLocale.toDouble(trimmed, &ok);
  return finite(value, ok);
}

std::optional<double> readNumber(const QString& text) { return readNumber(text, QLocale()); }

}  // namespace platform
