#pragma once
// Regular expressions for the lookups' regex mode (XLOOKUP and XMATCH match mode 3) and the
// REGEX functions: literals, '.', classes ("[A-Z]", "[^0-9]", "\d", "\w", "\s"), groups
// (capturing, or "(?:...)"), '|', '*', '+', '?', "{m,n}" (each lazy with a '?' after), '^', '$'
// and "\b"; "(?i)" in front ignores case. Matching runs in time proportional to text times
// pattern, whatever the pattern: hostile patterns cannot make it backtrack without end.
// Back-references and look-around, which cannot, make the pattern invalid.
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace calc {

// Where a match and its groups lie in the text, in bytes: groups[0] is the whole match,
// groups[k] the k-th parenthesised group, or {kNone, kNone} when that group took no part.
struct RegexMatch {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<std::pair<std::size_t, std::size_t>> groups;

  std::size_t begin() const { return groups.front().first; }
  std::size_t end() const { return groups.front().second; }
};

class Regex {
 public:
  // Nothing usable when the pattern is malformed or too large (see valid()).
  explicit Regex(std::string_view pattern, bool ignoreCase = false);
  ~Regex();
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;

  bool valid() const { return program_ != nullptr; }
  // Whether the pattern matches some part of `text`.
  bool search(std::string_view text) const;
  // The first match that starts at byte `from` or later (the text before still counts for '^'
  // and "\b"), chosen as Perl-style engines choose: the leftmost, then by the pattern's order.
  // Nothing when there is no match or the pattern is not capturable().
  std::optional<RegexMatch> find(std::string_view text, std::size_t from = 0) const;
  // The number of capturing groups.
  int groups() const;
  // Whether find() can run: false for an invalid pattern, or one with so many groups repeated
  // so often that tracking them would cost too much.
  bool capturable() const;

 private:
  struct Program;
  std::unique_ptr<Program> program_;
};

}  // namespace calc
