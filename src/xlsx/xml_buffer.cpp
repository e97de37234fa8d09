#include "xlsx/xml_buffer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdio>

#include "calc/cell_address.h"
#include "core/storable_text.h"

namespace xlsx {
namespace {

bool needsEscape(unsigned char c) {
  return c == '&' || c == '<' || c == '>' || c == '"' || c == '_' || (c < 0x20 && c != '\t' && c != '\n' && c != '\r');
}

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// "_x0041_" in a text would be read back as "A": its underscore is escaped itself.
bool looksEscaped(std::string_view text, std::size_t at) {
  return at + 6 < text.size() && text[at + 1] == 'x' && isHex(text[at + 2]) && isHex(text[at + 3]) &&
         isHex(text[at + 4]) && isHex(text[at + 5]) && text[at + 6] == '_';
}

}  // namespace

XmlBuffer& XmlBuffer::text(std::string_view text) { return escaped(text, false); }

XmlBuffer& XmlBuffer::cellText(std::string_view text) { return escaped(text, true); }

XmlBuffer& XmlBuffer::escaped(std::string_view text, bool spreadsheetEscapes) {
  // What no escape can carry (U+FFFE, U+FFFF, bytes that are not UTF-8) would make the part
  // ill-formed: such characters are written as U+FFFD. The workbook refuses them where they are
  // written; this catches computed texts.
  if (!core::storableUnicode(text)) return escaped(core::withStorableUnicode(text), spreadsheetEscapes);
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!needsEscape(c)) continue;
    if (c == '_' && (!spreadsheetEscapes || !looksEscaped(text, i))) continue;
    bytes_.append(text.substr(plain, i - plain));
    plain = i + 1;
    switch (c) {
      case '&': bytes_.append("&amp;"); break;
      case '<': bytes_.append("&lt;"); break;
      case '>': bytes_.append("&gt;"); break;
      case '"': bytes_.append("&quot;"); break;
      default: {
        if (!spreadsheetEscapes) {
          bytes_.append("\xEF\xBF\xBD");
          break;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "_x%04X_", c);
        bytes_.append(escape);
      }
    }
  }
  bytes_.append(text.substr(plain));
  return *this;
}

XmlBuffer& XmlBuffer::integer(std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  bytes_.append(digits, static_cast<std::size_t>(end - digits));
  return *this;
}

namespace {

std::size_t digitCount(std::uint64_t value) {
  std::size_t digits = 1;
  for (; value >= 10; value /= 10) ++digits;
  return digits;
}

// A whole number below 10^15 in the form std::to_chars picks for it, without its search for
// the shortest digits: those of a whole number that small are its own (every whole number
// there is a double of its own). to_chars takes the shorter of the plain and the scientific
// form, the plain one on a tie: 123 and 12000, but 1e+05 for 100000. Nothing where the
// scientific form is the shorter.
char* writeWholeNumber(char* out, double value) {
  const bool negative = value < 0;
  const auto magnitude = static_cast<std::uint64_t>(negative ? -value : value);
  const std::size_t digits = digitCount(magnitude);
  std::uint64_t rest = magnitude;
  std::size_t zeros = 0;
  for (; rest != 0 && rest % 10 == 0; rest /= 10) ++zeros;
  const std::size_t significant = digits - zeros;
  const std::size_t scientific = significant + (significant > 1 ? 1 : 0) + 4;  // "1.2e+05"
  if (magnitude != 0 && digits > scientific) return nullptr;
  if (negative) *out++ = '-';
  return std::to_chars(out, out + 20, magnitude).ptr;
}

}  // namespace

// The shortest text that reads back as the same double. For a large whole number that is its
// exact value in full ("974843911194881556480"); past 17 significant digits the scientific
// form is used instead, as the file format's readers expect no more.
char* writeNumber(char* out, double value) {
  if (value == std::trunc(value) && std::fabs(value) < 1e15 && !(value == 0 && std::signbit(value)))
    if (char* end = writeWholeNumber(out, value)) return end;
  char* end = std::to_chars(out, out + kNumberChars, value).ptr;
  if (end - out > 17 + (value < 0) && std::fabs(value) >= 1e17 && !std::memchr(out, 'e', end - out))
    end = std::to_chars(out, out + kNumberChars, value, std::chars_format::scientific).ptr;
  return end;
}

char* writeColumnLetters(char* out, std::int32_t column) { return out + calc::writeColumnLetters(column, out); }

XmlBuffer& XmlBuffer::number(double value) {
  char digits[kNumberChars];
  return raw(digits, static_cast<std::size_t>(writeNumber(digits, value) - digits));
}

XmlBuffer& XmlBuffer::columnLetters(std::int32_t column) {
  char letters[3];
  bytes_.append(letters, static_cast<std::size_t>(calc::writeColumnLetters(column, letters)));
  return *this;
}

XmlBuffer& XmlBuffer::cellName(std::int32_t row, std::int32_t column) {
  columnLetters(column);
  return integer(row);
}

XmlBuffer& XmlBuffer::absoluteCellName(std::int32_t row, std::int32_t column) {
  bytes_.push_back('$');
  columnLetters(column);
  bytes_.push_back('$');
  return integer(row);
}

}  // namespace xlsx
