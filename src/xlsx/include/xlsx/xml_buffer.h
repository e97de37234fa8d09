#pragma once
// A growing byte buffer that XML is written into: literal markup, escaped text, integers,
// cell references and numbers in the shortest text that reads back as the same double.
// Nothing here looks at the C locale, so a comma decimal separator can never get in.
#include <cstdint>
#include <string>
#include <string_view>

namespace xlsx {

class XmlBuffer {
 public:
  XmlBuffer& raw(std::string_view markup) {
    bytes_.append(markup);
    return *this;
  }
  // Character data or an attribute value: & < > " escaped; control characters that XML 1.0
  // cannot hold (all but tab, newline and carriage return) become U+FFFD.
  XmlBuffer& text(std::string_view text);
  // A cell's text: as text(), but control characters are kept as _xHHHH_, the spreadsheet's
  // own escape, and an underscore that would read as one is escaped itself.
  XmlBuffer& cellText(std::string_view text);
  XmlBuffer& integer(std::int64_t value);
  // Shortest round-trip text of a finite double ("0.1", "-2.9800000000000004", "1e+300").
  XmlBuffer& number(double value);
  // "A1", "XFD1048576"; rows and columns count from 1.
  XmlBuffer& cellName(std::int32_t row, std::int32_t column);
  // "$A$1"
  XmlBuffer& absoluteCellName(std::int32_t row, std::int32_t column);
  XmlBuffer& columnLetters(std::int32_t column);

  std::string& bytes() { return bytes_; }
  const std::string& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  void clear() { bytes_.clear(); }

 private:
  XmlBuffer& escaped(std::string_view text, bool spreadsheetEscapes);
  std::string bytes_;
};

}  // namespace xlsx
