#include "text_decoding.h"

#include <QStringDecoder>
#include <array>

namespace equations {
namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kUtf16LeBom("\xFF\xFE");
constexpr QByteArrayView kUtf16BeBom("\xFE\xFF");

// 0x80..0x9F of Windows-1252; the five bytes it leaves undefined map to the C1 control of the
// same number, as Windows itself does.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decoders that keep a leading BOM, so that only the one removed by decodeTextFile is dropped.
constexpr auto kKeepBom = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

bool isCrOrLf(char byte) { return byte == '\r' || byte == '\n'; }

// UTF-8 where a line is valid UTF-8, Windows-1252 where it is not. Line ends are single bytes
// in both, so cutting the bytes at them never splits a character.
QString decodeLineByLine(QByteArrayView body) {
  QString text;
  text.reserve(body.size());
  qsizetype lineStart = 0;
  while (lineStart < body.size()) {
    qsizetype lineEnd = lineStart;
    while (lineEnd < body.size() && !isCrOrLf(body[lineEnd])) ++lineEnd;
    const QByteArrayView line = body.sliced(lineStart, lineEnd - lineStart);
    QStringDecoder utf8(QStringDecoder::Utf8, kKeepBom);
    const QString decoded = utf8.decode(line);
    text += utf8.hasError() ? decodeWindows1252(line) : decoded;
    qsizetype next = lineEnd;
    while (next < body.size() && isCrOrLf(body[next])) ++next;
    text += QLatin1String(body.sliced(lineEnd, next - lineEnd));
    lineStart = next;
  }
  return text;
}

// An editor that adds its mark to a file that already had one stacks them: however many stand
// at the very start, none is part of the first equation.
QByteArrayView withoutLeadingUtf8Marks(QByteArrayView bytes) {
  while (bytes.startsWith(kUtf8Bom)) bytes = bytes.sliced(kUtf8Bom.size());
  return bytes;
}

QString withoutLeadingMarks(QString text) {
  qsizetype marks = 0;
  while (marks < text.size() && text[marks] == QChar(0xFEFF)) ++marks;
  return text.remove(0, marks);
}

}  // namespace

bool hasUtf16ByteOrderMark(QByteArrayView bytes) {
  return bytes.startsWith(kUtf16LeBom) || bytes.startsWith(kUtf16BeBom);
}

QString decodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  for (const char byte : bytes) {
    const auto code = static_cast<unsigned char>(byte);
    *out++ = (code >= 0x80 && code <= 0x9F) ? kHighControls[code - 0x80] : char16_t(code);
  }
  return text;
}

QString decodeTextFile(const QByteArray& bytes) {
  if (hasUtf16ByteOrderMark(bytes)) {
    const bool little = bytes.startsWith(kUtf16LeBom);
    QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE, kKeepBom);
    return withoutLeadingMarks(utf16.decode(QByteArrayView(bytes).sliced(2)));
  }
  const QByteArrayView body = withoutLeadingUtf8Marks(bytes);
  QStringDecoder utf8(QStringDecoder::Utf8, kKeepBom);
  QString text = utf8.decode(body);
  if (!utf8.hasError()) return text;
  return decodeLineByLine(body);
}

}  // namespace equations
