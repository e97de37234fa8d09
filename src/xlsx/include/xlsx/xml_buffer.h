#pragma once
// A growing byte buffer that XML is written into: literal markup, escaped text, integers,
// cell references and numbers in the shortest text that reads back as the same double.
// Nothing here looks at the C locale, so a comma decimal separator can never get in.
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace xlsx {

// Room enough for any number writeNumber writes.
inline constexpr std::size_t kNumberChars = 32;
// Shortest round-trip text of a finite double ("0.1", "-2.9800000000000004", "1e+300") into
// `out`, which has kNumberChars bytes; returns the end.
char* writeNumber(char* out, double value);
// "A", "XFD": the column's letters into `out` (3 bytes); returns the end.
char* writeColumnLetters(char* out, std::int32_t column);

class XmlBuffer {
 public:
  XmlBuffer& raw(const char* markup, std::size_t size) {
    bytes_.append(markup, size);
    return *this;
  }
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

// One element's few short pieces put together on the stack and appended to the buffer at
// once: one append an element instead of one a piece. For elements of bounded length only:
// at most kRoom bytes in all (a cell's start, a number, markup around them).
class ElementText {
 public:
  static constexpr std::size_t kRoom = 192;

  template <std::size_t N>
  ElementText& raw(const char (&markup)[N]) {
    std::memcpy(end_, markup, N - 1);
    end_ += N - 1;
    return *this;
  }
  ElementText& raw(std::string_view markup) {
    std::memcpy(end_, markup.data(), markup.size());
    end_ += markup.size();
    return *this;
  }
  ElementText& integer(std::int64_t value) {
    end_ = std::to_chars(end_, end_ + 20, value).ptr;
    return *this;
  }
  ElementText& number(double value) {
    end_ = writeNumber(end_, value);
    return *this;
  }
  ElementText& cellName(std::int32_t row, std::int32_t column) {
    end_ = writeColumnLetters(end_, column);
    return integer(row);
  }
  void appendTo(XmlBuffer& x) const { x.raw(text_, static_cast<std::size_t>(end_ - text_)); }

 private:
  char text_[kRoom];
  char* end_ = text_;
};

}  // namespace xlsx
