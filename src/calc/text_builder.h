#pragma once
// A text built piece by piece under the cell text limit, counting UTF-16 units as it goes so
// that a long join costs what its pieces cost, and stopping at the first piece past the limit.
#include <string>
#include <string_view>

#include "calc/text_limit.h"
#include "text_utf8.h"

namespace calc {

class TextBuilder {
 public:
  // False, and the text left as it was, once the limit would be passed.
  bool append(std::string_view piece) {
    const std::size_t units = characterCount(piece);
    if (units_ + units > kMaxTextLength) return false;
    text_ += piece;
    units_ += units;
    return true;
  }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
  std::size_t units_ = 0;
};

}  // namespace calc
