#pragma once
// Which texts a workbook file can store. Its parts are XML 1.0, which holds no control
// character but tab, line feed and carriage return, neither U+FFFE nor U+FFFF, and only valid
// UTF-8. The workbook refuses such text where it is written (formulas, text cells, sheet names,
// titles), and the file writer replaces any that still reaches it.
#include <optional>
#include <string>
#include <string_view>

namespace core {

// The first character the file cannot hold, described for a message ("the control character
// U+001B", "the byte 0xFF, which is not UTF-8"), or nothing when the whole text can be stored.
std::optional<std::string> unstorableCharacter(std::string_view utf8);

// The text with every character the file cannot hold replaced by U+FFFD.
std::string storableText(std::string_view utf8);

// For writers that escape control characters themselves: whether the text is valid UTF-8
// without U+FFFE or U+FFFF, and the text with each of those (and each stray byte) replaced by
// U+FFFD, control characters kept.
bool storableUnicode(std::string_view utf8);
std::string withStorableUnicode(std::string_view utf8);

// The text for a message: such characters shown as <U+001B>, stray bytes as <0xFF>.
std::string visibleText(std::string_view utf8);

}  // namespace core
