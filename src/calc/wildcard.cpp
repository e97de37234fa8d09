#include "wildcard.h"

#include <vector>

#include "calc/value.h"

namespace calc {
namespace {

// One character of UTF-8 text: its length in bytes from `at`.
std::size_t characterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return at + n <= text.size() ? n : text.size() - at;
}

bool sameCharacter(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  return true;
}

struct Token {
  enum Kind { Literal, One, Any } kind;
  std::string_view literal;  // one character
};

std::vector<Token> tokenize(std::string_view pattern) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < pattern.size();) {
    char c = pattern[i];
    if (c == '~' && i + 1 < pattern.size() && (pattern[i + 1] == '*' || pattern[i + 1] == '?' || pattern[i + 1] == '~'))
      ++i, c = 0;  // escaped: the next character is literal
    if (c == '*') {
      if (tokens.empty() || tokens.back().kind != Token::Any) tokens.push_back({Token::Any, {}});
      ++i;
    } else if (c == '?') {
      tokens.push_back({Token::One, {}});
      ++i;
    } else {
      const std::size_t n = characterLength(pattern, i);
      tokens.push_back({Token::Literal, pattern.substr(i, n)});
      i += n;
    }
  }
  return tokens;
}

// Greedy matching with one backtrack point (the last '*'): linear in practice, never
// exponential, whatever the pattern.
std::optional<std::size_t> matchEnd(const std::vector<Token>& tokens, std::string_view text, std::size_t from,
                                    bool whole) {
  std::size_t t = 0, at = from;
  std::size_t starToken = std::string_view::npos, starText = 0;
  for (;;) {
    if (t == tokens.size()) {
      if (!whole || at == text.size()) return at;
    } else if (tokens[t].kind == Token::Any) {
      starToken = t++;
      starText = at;
      if (!whole && t == tokens.size()) return at;  // a trailing '*' matches nothing at the end
      continue;
    } else if (at < text.size()) {
      const std::size_t n = characterLength(text, at);
      if (tokens[t].kind == Token::One || sameCharacter(tokens[t].literal, text.substr(at, n))) {
        ++t;
        at += n;
        continue;
      }
    }
    if (starToken == std::string_view::npos || starText >= text.size()) return std::nullopt;
    starText += characterLength(text, starText);
    t = starToken + 1;
    at = starText;
  }
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view text) {
  return matchEnd(tokenize(pattern), text, 0, true).has_value();
}

std::optional<std::size_t> wildcardFind(std::string_view pattern, std::string_view text, std::size_t from) {
  const std::vector<Token> tokens = tokenize(pattern);
  for (std::size_t at = from; at <= text.size(); at += at < text.size() ? characterLength(text, at) : 1)
    if (matchEnd(tokens, text, at, false)) return at;
  return std::nullopt;
}

bool hasWildcards(std::string_view pattern) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '~') ++i;
    else if (pattern[i] == '*' || pattern[i] == '?') return true;
  }
  return false;
}

}  // namespace calc
