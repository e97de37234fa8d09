#include "text_decoding.h"

#include <QStringDecoder>
#include <array>

namespace equations {
namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// 0x80..0x9F of Windows-1252; the five bytes it leaves undefined map to the C1 control of the
// same number, as Windows itself does.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

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
  const QByteArrayView body =
      bytes.startsWith(kUtf8Bom) ? QByteArrayView(bytes).sliced(kUtf8Bom.size()) : QByteArrayView(bytes);
  // A decoder that keeps a leading BOM, so that only the one removed above is ever dropped.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8.decode(body);
  if (!utf8.hasError()) return text;
  return decodeWindows1252(body);
}

}  // namespace equations
