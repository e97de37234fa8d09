#pragma once
// Regular expressions for the lookups' regex mode (XLOOKUP and XMATCH match mode 3): literals,
// '.', classes ("[A-Z]", "[^0-9]", "\d", "\w", "\s"), groups, '|', '*', '+', '?', "{m,n}",
// '^' and '$'. Matching runs in time proportional to text times pattern, whatever the
// pattern: hostile patterns cannot make it backtrack without end.
#include <memory>
#include <string_view>

namespace calc {

class Regex {
 public:
  // Nothing usable when the pattern is malformed or too large (see valid()).
  explicit Regex(std::string_view pattern);
  ~Regex();
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;

  bool valid() const { return program_ != nullptr; }
  // Whether the pattern matches some part of `text`.
  bool search(std::string_view text) const;

 private:
  struct Program;
  std::unique_ptr<Program> program_;
};

}  // namespace calc
