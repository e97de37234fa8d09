#pragma once
// The spreadsheet's wildcards in criteria, lookups and SEARCH: '*' any run of characters, '?'
// any one character, '~' before either (or before '~') the character itself. Letters match
// without regard to case.
#include <cstddef>
#include <optional>
#include <string_view>

namespace calc {

// Whether `pattern` matches the whole of `text`.
bool wildcardMatch(std::string_view pattern, std::string_view text);

// The byte offset of the first place at or after `from` where `pattern` matches a piece of
// `text` (the shortest piece there); nothing when it matches nowhere.
std::optional<std::size_t> wildcardFind(std::string_view pattern, std::string_view text, std::size_t from = 0);

// Whether the pattern holds a wildcard at all (a '*' or '?' that is not escaped), so that a
// plain comparison can serve instead.
bool hasWildcards(std::string_view pattern);

}  // namespace calc
