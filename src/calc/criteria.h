#pragma once
// The one reading of a criterion, shared by the ...IF(S) functions and the database
// functions: a value to equal (5, TRUE, "east"), or a text with a comparison in front
// (">=5", "<>x", "=", "a*b" with wildcards). Text compares without regard to case.
#include <string>
#include <string_view>

#include "calc/value.h"

namespace calc {

class Criterion {
 public:
  // A criterion as given: a number, boolean or error equals itself; an empty cell is 0; a
  // text may start with = <> < <= > >=.
  explicit Criterion(const Value& criterion);

  // The database functions' reading: a plain text (no comparison in front) matches the texts
  // that begin with it, "east" matching "Eastern"; "=east" matches "east" alone.
  static Criterion beginningWith(const Value& criterion);

  bool matches(const Value& cell) const;

 private:
  enum class Op : std::uint8_t { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };
  enum class Kind : std::uint8_t { Number, Text, Boolean, Error, Blank };

  void readText(std::string_view text);
  bool matchesNumber(const Value& cell) const;
  bool matchesText(const Value& cell) const;
  bool matchesBlank(const Value& cell) const;
  bool ordered(int comparison) const;  // the comparison's outcome under op_

  Op op_ = Op::Equal;
  Kind kind_ = Kind::Number;
  bool operatorGiven_ = false;  // "=" written out, which matches empty cells only
  double number_ = 0;
  bool boolean_ = false;
  ErrorCode error_ = ErrorCode::NA;
  std::string text_;
};

}  // namespace calc
