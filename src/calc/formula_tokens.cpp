#include "calc/formula_tokens.h"

#include "calc/cell_address.h"

namespace calc {

namespace lex {

ErrorCode errorLiteral(const char* p, const char* end, std::size_t& length) {
  const auto available = static_cast<std::size_t>(end - p);
  // No error's text begins another's, so the first that matches is the one written.
  for (const ErrorCode code : kSpreadsheetErrors) {
    const std::string_view text = errorText(code);
    if (text.size() > available) continue;
    std::size_t i = 0;
    while (i < text.size() && (isLetter(p[i]) ? static_cast<char>(p[i] & ~0x20) : p[i]) == text[i]) ++i;
    if (i == text.size()) {
      length = text.size();
      return code;
    }
  }
  length = 0;
  return ErrorCode::Value;
}

}  // namespace lex

namespace {

using lex::isDigit;
using lex::isLetter;

bool isR1C1Letter(char c) { return c == 'R' || c == 'r' || c == 'C' || c == 'c'; }

// R1C1 notation's look-alikes: an R or a C first, then only R, C and digits.
bool readsAsR1C1(std::string_view word) {
  if (!isR1C1Letter(word.front())) return false;
  for (const char c : word)
    if (!isDigit(c) && !isR1C1Letter(c)) return false;
  return true;
}

}  // namespace

WordShape wordShape(std::string_view word) {
  if (word.empty()) return WordShape::Name;
  if (isDigit(word.front()) || (word.front() == '.' && word.size() > 1 && isDigit(word[1]))) return WordShape::Number;
  if (parseCellAddress(word)) return WordShape::Cell;
  std::size_t i = word.front() == '$' ? 1 : 0;
  const std::size_t lettersStart = i;
  while (i < word.size() && isLetter(word[i])) ++i;
  const std::size_t letters = i - lettersStart;
  if (i < word.size() && word[i] == '$' && letters > 0) ++i;
  const std::size_t digitsStart = i;
  while (i < word.size() && isDigit(word[i])) ++i;
  const bool allRead = i == word.size();
  const std::size_t digits = i - digitsStart;
  if (allRead && letters == 0 && digits > 0 && word.find('$', 1) == std::string_view::npos) return WordShape::Row;
  if (allRead && letters >= 1 && letters <= 3 && digits == 0 && digitsStart == lettersStart + letters)
    return WordShape::Column;
  if (allRead && letters >= 1 && digits > 0) return letters <= 3 ? WordShape::PastBounds : WordShape::LettersDigits;
  if (readsAsR1C1(word)) return WordShape::R1C1;
  return WordShape::Name;
}

bool FormulaLexer::next(FormulaToken& token) {
  if (pos_ >= text_.size()) return false;
  const char* const begin = text_.data();
  const char* const end = begin + text_.size();
  const char* const start = begin + pos_;
  const char* stop = start + 1;
  token = FormulaToken{};
  token.offset = static_cast<std::uint32_t>(pos_);
  switch (*start) {
    case '"':
    case '\'': {
      const char* closed = lex::quotedEnd(start, end);
      if (!closed) {
        token.kind = TokenKind::Other;
        stop = end;
      } else if (*start == '"') {
        token.kind = TokenKind::String;
        stop = closed;
      } else {
        token.kind = TokenKind::SheetPrefix;
        stop = closed < end && *closed == '!' ? closed + 1 : closed;
      }
      break;
    }
    case '#': {
      std::size_t length = 0;
      lex::errorLiteral(start, end, length);
      token.kind = length > 0 ? TokenKind::Error : TokenKind::Other;
      if (length > 0) stop = start + length;
      break;
    }
    case '<':
      token.kind = TokenKind::Operator;
      if (start + 1 < end && (start[1] == '=' || start[1] == '>')) ++stop;
      break;
    case '>':
      token.kind = TokenKind::Operator;
      if (start + 1 < end && start[1] == '=') ++stop;
      break;
    case '+': case '-': case '*': case '/': case '^': case '&': case '%': case ':': case '=':
      token.kind = TokenKind::Operator;
      break;
    case '(': case ')': case ',': case ';': case '{': case '}': case '[': case ']':
      token.kind = TokenKind::Separator;
      break;
    default:
      if (lex::isSpace(*start)) {
        token.kind = TokenKind::Space;
        stop = lex::skipClass(start, end, lex::kSpace);
      } else if (lex::isWordChar(*start)) {
        word(token, start);
        return true;
      } else {
        token.kind = TokenKind::Other;
      }
  }
  token.length = static_cast<std::uint32_t>(stop - start);
  pos_ = static_cast<std::size_t>(stop - begin);
  return true;
}

// A word: a number, a sheet name before '!', a function's name before '(', a reference, or a
// name, as the parser reads them.
void FormulaLexer::word(FormulaToken& token, const char* start) {
  const char* const end = text_.data() + text_.size();
  const char* stop = lex::skipClass(start, end, lex::kWord);
  const std::string_view word(start, static_cast<std::size_t>(stop - start));
  token.shape = wordShape(word);
  token.kind = TokenKind::Name;
  if (stop < end && *stop == '!') {
    token.kind = TokenKind::SheetPrefix;
    ++stop;
  } else if (token.shape == WordShape::Number) {
    if (word.find_first_not_of("0123456789") == std::string_view::npos && touchesColon(start, stop)) {
      token.kind = TokenKind::Reference;  // a whole row: 1:3
      token.shape = WordShape::Row;
    } else {
      bool malformed = false;
      stop = lex::numberEnd(start, end, malformed);
      token.kind = TokenKind::Number;
    }
  } else {
    const char* after = lex::skipClass(stop, end, lex::kSpace);
    token.called = after < end && *after == '(';
    const bool rowOrColumn = token.shape == WordShape::Row || token.shape == WordShape::Column;
    if (!token.called && (token.shape == WordShape::Cell || (rowOrColumn && touchesColon(start, stop))))
      token.kind = TokenKind::Reference;
  }
  if (token.kind == TokenKind::Reference) readReferenceParts(token, {start, static_cast<std::size_t>(stop - start)});
  token.length = static_cast<std::uint32_t>(stop - start);
  pos_ = static_cast<std::size_t>(stop - text_.data());
}

// A reference's column and row, their '$' flags and where the row's digits stand.
void FormulaLexer::readReferenceParts(FormulaToken& token, std::string_view text) {
  const bool wholeRow = token.shape == WordShape::Row;
  std::size_t i = text.front() == '$' ? 1 : 0;
  token.columnAbsolute = i == 1 && !wholeRow;
  const std::size_t lettersStart = i;
  while (i < text.size() && isLetter(text[i])) ++i;
  if (i > lettersStart) token.column = columnNumber(text.substr(lettersStart, i - lettersStart)).value_or(0);
  if (i < text.size() && text[i] == '$') {
    token.rowAbsolute = true;
    ++i;
  }
  if (wholeRow) token.rowAbsolute = text.front() == '$';
  if (i == text.size()) return;
  token.row = parseRowOnly(text.substr(i)).value_or(0);
  if (token.row > 0) token.rowDigits = static_cast<std::uint8_t>(text.size() - i);  // at most 7
}

bool FormulaLexer::touchesColon(const char* start, const char* stop) const {
  const char* const end = text_.data() + text_.size();
  return (stop < end && *stop == ':') || (start > text_.data() && start[-1] == ':');
}

std::vector<FormulaToken> tokenizeFormula(std::string_view text) {
  std::vector<FormulaToken> tokens;
  FormulaLexer lexer(text);
  for (FormulaToken token; lexer.next(token);) tokens.push_back(token);
  return tokens;
}

}  // namespace calc
