#pragma once
// Walks the numbers of an aggregate's arguments under the rules that function follows for
// values given directly and values found in ranges or arrays.
#include <optional>

#include "coercion.h"
#include "function_spec.h"

namespace calc {

enum class Take : std::uint8_t {
  Number,  // text converted (non-numeric text is #VALUE!), TRUE/FALSE as 1/0
  Ignore,  // skipped
  Zero,    // counts as 0
  Reject,  // #VALUE!
};

struct CollectRule {
  Take directText = Take::Number;
  Take directBool = Take::Number;
  Take listedText = Take::Ignore;  // inside a range or an array
  Take listedBool = Take::Ignore;
  Take listedEmpty = Take::Ignore;
  bool skipErrors = false;
};

inline constexpr CollectRule kSumRule{};

// Calls onNumber(double) for each number the rule admits; the first error stops the walk and
// is returned.
template <class OnNumber>
std::optional<ErrorCode> collectNumbers(const Args& args, const CollectRule& rule, OnNumber&& onNumber) {
  std::optional<ErrorCode> error;
  auto take = [&](Take how, double number) {
    if (how == Take::Reject) error = ErrorCode::Value;
    else if (how != Take::Ignore) onNumber(number);
  };
  for (std::size_t i = 0; i < args.size() && !error; ++i) {
    if (args.isMissing(i)) continue;
    const bool listed = args.isCollection(i);
    args.forEach(i, [&](const Value& v) {
      if (v.isNumber()) onNumber(v.number());
      else if (v.isError()) { if (!rule.skipErrors) error = v.error(); }
      else if (v.isBool()) take(listed ? rule.listedBool : rule.directBool, v.boolean() ? 1 : 0);
      else if (v.isEmpty()) take(listed ? rule.listedEmpty : Take::Ignore, 0);
      else if (const Take how = listed ? rule.listedText : rule.directText; how != Take::Number) take(how, 0);
      else if (const Number n = toNumber(v); !n.failed) onNumber(n.value);
      else if (!rule.skipErrors) error = ErrorCode::Value;
      return !error;
    });
  }
  return error;
}

}  // namespace calc
