#include "storable_title.h"

namespace graphing {
namespace {

bool storable(char16_t unit, bool pairedSurrogate) {
  if (unit < 0x20) return unit == '\t' || unit == '\n' || unit == '\r';
  if (QChar::isSurrogate(unit)) return pairedSurrogate;
  return unit != 0xFFFE && unit != 0xFFFF;
}

}  // namespace

QString storableTitle(const QString& text) {
  QString out = text;
  for (qsizetype i = 0; i < out.size(); ++i) {
    const char16_t unit = out[i].unicode();
    const bool paired = (QChar::isHighSurrogate(unit) && i + 1 < out.size() && out[i + 1].isLowSurrogate()) ||
                        (QChar::isLowSurrogate(unit) && i > 0 && out[i - 1].isHighSurrogate());
    if (!storable(unit, paired)) out[i] = QChar(QChar::ReplacementCharacter);
  }
  return out;
}

}  // namespace graphing
