#pragma once
// Cell values as a spreadsheet sees them: empty, number, text, boolean or an error value.
// Error values are values, not exceptions: they flow through formulas like numbers do.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace calc {

// Uncomputed is no error of the spreadsheet's: it marks a result this engine cannot compute (a
// function that needs outside data, or one it does not offer), which a file stores with no
// cached value so that the spreadsheet application computes it. Like an error it spreads to
// every formula that reads it.
//
// GettingData to Busy are the newer errors of dynamic arrays and linked data (#SPILL!, #CALC!...).
// The order is ERROR.TYPE's numbering, from 1 for #NULL!: keep it.
enum class ErrorCode : std::uint8_t {
  Null, Div0, Value, Ref, Name, Num, NA,
  GettingData, Spill, Connect, Blocked, Unknown, Field, Calc, Busy,
  Uncomputed
};

// Every error a spreadsheet knows, in the order above (Uncomputed is none of them).
inline constexpr ErrorCode kSpreadsheetErrors[] = {
    ErrorCode::Null,        ErrorCode::Div0,  ErrorCode::Value,   ErrorCode::Ref,     ErrorCode::Name,
    ErrorCode::Num,         ErrorCode::NA,    ErrorCode::GettingData, ErrorCode::Spill, ErrorCode::Connect,
    ErrorCode::Blocked,     ErrorCode::Unknown, ErrorCode::Field, ErrorCode::Calc,    ErrorCode::Busy};

// "#DIV/0!", "#NUM!", "#CALC!" ... exactly as a spreadsheet shows them; empty for Uncomputed.
std::string_view errorText(ErrorCode code);

// ASCII letters in upper case; other bytes (UTF-8 among them) as they are.
constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Whether `text` is `upper` (written in upper case) in any case of its ASCII letters.
constexpr bool equalsInAnyCase(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (asciiUpper(text[i]) != upper[i]) return false;
  return true;
}

// The error whose text this is, in any case ("#n/a" too); nullopt for any other text.
std::optional<ErrorCode> errorNamed(std::string_view text);

// The text a file stores for the error. An .xlsx cell holds the newer errors as "#VALUE!"
// and keeps the real one in rich-value parts written beside the sheet; without those parts the
// compatible text is what stands (a spreadsheet that recalculates on opening finds the real one).
std::string_view fileErrorText(ErrorCode code);

// The reason shown where an uncomputed result would stand.
inline constexpr std::string_view kNotComputedText = "not computed";

struct Empty {
  bool operator==(const Empty&) const = default;
};

class Value {
 public:
  Value() = default;
  Value(double n) : v_(n) {}
  Value(bool b) : v_(b) {}
  Value(ErrorCode e) : v_(e) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(const char* s) : v_(std::string(s)) {}

  bool isEmpty() const { return std::holds_alternative<Empty>(v_); }
  bool isNumber() const { return std::holds_alternative<double>(v_); }
  bool isText() const { return std::holds_alternative<std::string>(v_); }
  bool isBool() const { return std::holds_alternative<bool>(v_); }
  bool isError() const { return std::holds_alternative<ErrorCode>(v_); }
  bool isUncomputed() const { return isError() && error() == ErrorCode::Uncomputed; }

  double number() const { return std::get<double>(v_); }
  const std::string& text() const { return std::get<std::string>(v_); }
  // The text to extend in place (concatenation), null when the value is no text.
  std::string* mutableText() { return std::get_if<std::string>(&v_); }
  bool boolean() const { return std::get<bool>(v_); }
  ErrorCode error() const { return std::get<ErrorCode>(v_); }

  bool operator==(const Value&) const = default;

 private:
  std::variant<Empty, double, std::string, bool, ErrorCode> v_;
};

}  // namespace calc
