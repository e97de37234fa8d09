#include "parser.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "byte_buffer.h"
#include "calc/cell_address.h"
#include "calc/file_formula.h"
#include "calc/formula_tokens.h"
#include "function_spec.h"
#include "lambda_forms.h"

namespace calc {
namespace {

struct Failure {
  ParseError error;
};

// Characters are classed, and numbers, quoted stretches, error values and words end, where the
// one lexer of formula text says (formula_tokens.h).
using lex::hasClass;
using lex::isDigit;
using lex::isLetter;
using lex::isNameStart;
using lex::isWordChar;
using lex::kSpace;

bool equalsUpper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((isLetter(text[i]) ? static_cast<char>(text[i] & ~0x20) : text[i]) != upper[i]) return false;
  return true;
}

// Names are short: a plain loop beats a call to memchr.
bool containsDollar(std::string_view text) {
  for (const char c : text)
    if (c == '$') return true;
  return false;
}

bool startsWithUpper(std::string_view text, std::string_view upper) {
  return text.size() >= upper.size() && equalsUpper(text.substr(0, upper.size()), upper);
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = isLetter(a[i]) ? static_cast<char>(a[i] & ~0x20) : a[i];
    const char y = isLetter(b[i]) ? static_cast<char>(b[i] & ~0x20) : b[i];
    if (x != y) return false;
  }
  return true;
}

// A name that LET or LAMBDA binds, as files write it: "_xlpm.x", or "_xlop.x" for an optional
// parameter.
struct BindingName {
  std::string_view name;  // without the prefix
  bool prefixed = false;
  bool optional = false;
};

BindingName bindingName(std::string_view word) {
  if (word.size() > 6 && word[0] == '_') {
    if (startsWithUpper(word, "_XLPM.")) return {word.substr(6), true, false};
    if (startsWithUpper(word, "_XLOP.")) return {word.substr(6), true, true};
  }
  return {word};
}

class Parser {
 public:
  explicit Parser(std::string_view text, std::vector<BoundNameSpan>* nameSpans = nullptr)
      : source_(text), nameSpans_(nameSpans) {}

  std::unique_ptr<Formula::Impl> run() {
    if (source_.size() > kMaxFormulaLength)
      fail(kMaxFormulaLength, "formula longer than 8192 characters");
    copySource();
    skipSpaces();
    if (atEnd()) fail(0, "empty formula");
    expression();
    skipSpaces();
    if (!atEnd()) fail(pos(), "unexpected character");
    markFinalSum();
    if (slotCount_ > 0) extras().localSlots = static_cast<std::uint16_t>(slotCount_);
    if (code_.size() > 0xFFFF || rowSpans_.size() / sizeof(RowSpan) > 0x7FFF) fail(0, "formula too complex");
    return Formula::Impl::create(code_.view(), text_.view(), static_cast<std::uint32_t>(maxHeight_),
                                 movable_ ? rowSpans_.view() : std::string_view(), movable_, std::move(extras_));
  }

 private:
  // ---- output -------------------------------------------------------------------------------
  void emit(Op op) { code_.put(static_cast<std::uint8_t>(op)); }
  template <class T>
  void operand(T value) {
    code_.put(value);
  }
  void pushed() {
    if (++height_ > maxHeight_) maxHeight_ = height_;
  }
  void emitValue(Op op) {
    emit(op);
    pushed();
  }
  void emitBinary(Op op) {
    if (depth_ == 0 && (op == Op::Add || op == Op::Subtract)) lastOuterSum_ = code_.size();
    emit(op);
    --height_;
  }
  // A + or - outside any parentheses or call that is also the last instruction is the formula's
  // final operation, which the spreadsheet computes with its cancellation rule.
  void markFinalSum() {
    if (lastOuterSum_ + 1 != code_.size()) return;
    const bool add = static_cast<Op>(code_[lastOuterSum_]) == Op::Add;
    code_[lastOuterSum_] = static_cast<char>(add ? Op::FinalAdd : Op::FinalSubtract);
  }
  ProgramExtras& extras() {
    if (!extras_) extras_ = std::make_unique<ProgramExtras>();
    return *extras_;
  }
  // Text bytes are appended to the pool by the caller; this writes the operand naming them.
  void textOperand(std::size_t start) {
    operand(static_cast<std::uint16_t>(start));
    operand(static_cast<std::uint16_t>(text_.size() - start));
  }
  std::size_t addText(std::string_view text) {
    const std::size_t start = text_.size();
    text_.append(text.data(), text.size());
    return start;
  }

  // Out of line and cold, so that building messages costs the hot paths nothing.
  [[noreturn, gnu::cold, gnu::noinline]] static void fail(std::size_t at, const char* message) {
    throw Failure{ParseError{at, message}};
  }
  [[noreturn, gnu::cold, gnu::noinline]] static void failExpecting(std::size_t at, const char* what) {
    throw Failure{ParseError{at, std::string("expected ") + what}};
  }
  [[noreturn, gnu::cold, gnu::noinline]] static void failUnexpected(std::size_t at, char c) {
    throw Failure{ParseError{at, std::string("unexpected character '") + c + "'"}};
  }

  // ---- characters -----------------------------------------------------------------------------
  // The text is copied behind two NULs, so that reading one character past the current one
  // never needs a bounds check: a NUL is what peek() has always answered at the end.
  void copySource() {
    if (!source_.empty()) std::memcpy(buffer_, source_.data(), source_.size());
    buffer_[source_.size()] = buffer_[source_.size() + 1] = '\0';
    p_ = buffer_;
    end_ = buffer_ + source_.size();
  }
  std::size_t pos() const { return static_cast<std::size_t>(p_ - buffer_); }
  std::size_t offsetOf(const char* at) const { return static_cast<std::size_t>(at - buffer_); }
  bool atEnd() const { return p_ >= end_; }
  char peek(std::size_t ahead = 0) const { return p_[ahead]; }
  // Most calls find no space at all; only a run of spaces leaves the inlined check.
  void skipSpaces() {
    if (hasClass(*p_, kSpace)) skipSpaceRun();
  }
  [[gnu::noinline]] void skipSpaceRun() { p_ = lex::skipClass(p_, kSpace); }
  bool accept(char c) {
    skipSpaces();
    if (*p_ != c) return false;
    ++p_;
    return true;
  }
  void expect(char c, const char* what) {
    if (!accept(c)) failExpecting(pos(), what);
  }

  void enterNesting(std::size_t at) {
    if (++depth_ > kMaxNestingDepth) fail(at, "nested more than 64 levels deep");
  }

  // ---- grammar, loosest binding first ----------------------------------------------------------
  void expression() { binary(1); }

  // Binary operators by precedence climbing: comparisons loosest, then &, + -, * /, ^ (which is
  // left-associative: 2^3^2 is 64). A chain of one level is a loop, not recursion.
  struct BinaryOperator {
    Op op = Op::Add;
    int precedence = 0;  // 0: no operator here
    std::size_t length = 1;
  };

  BinaryOperator peekOperator() const {
    switch (peek()) {
      case '^': return {Op::Power, 5};
      case '*': return {Op::Multiply, 4};
      case '/': return {Op::Divide, 4};
      case '+': return {Op::Add, 3};
      case '-': return {Op::Subtract, 3};
      case '&': return {Op::Concat, 2};
      case '=': return {Op::Equal, 1};
      case '<':
        if (peek(1) == '=') return {Op::LessEqual, 1, 2};
        if (peek(1) == '>') return {Op::NotEqual, 1, 2};
        return {Op::Less, 1};
      case '>':
        if (peek(1) == '=') return {Op::GreaterEqual, 1, 2};
        return {Op::Greater, 1};
      default: return {};
    }
  }

  void binary(int minPrecedence) {
    unary();
    for (;;) {
      skipSpaces();
      const BinaryOperator next = peekOperator();
      if (next.precedence == 0 || next.precedence < minPrecedence) return;
      p_ += next.length;
      takeAsArray();
      binary(next.precedence + 1);
      takeAsArray();
      emitBinary(next.op);
    }
  }

  // Inside an argument evaluated as an array, an operand that may be a reference is taken as
  // the array of its values.
  void takeAsArray() {
    if (arrayContext_) emit(Op::ToArray);
  }

  // Signs bind tighter than ^ (-2^2 is 4). A run of signs is counted, not recursed into.
  void unary() {
    int negations = 0;
    for (;; ++p_) {
      skipSpaces();
      if (peek() == '-') ++negations;
      else if (peek() != '+') break;
    }
    postfix();
    if (negations > 0) takeAsArray();
    for (int i = 0; i < negations; ++i) emit(Op::Negate);
  }

  void postfix() {
    std::size_t start = code_.size();
    // A LAMBDA (or what may hold one) is called by the arguments right after it:
    // LAMBDA(x,x+1)(5).
    for (bool callable = primary(); callable && peek() == '(';) {
      ++p_;
      enterNesting(pos() - 1);
      const int heightBefore = height_;
      const std::size_t argc = argumentList();
      emit(Op::CallValue);
      operand(static_cast<std::uint8_t>(argc));
      height_ = heightBefore;
    }
    while (peek() == ':') {
      ++p_;
      keepCellUnread(start);
      const std::size_t right = code_.size();
      primary();
      keepCellUnread(right);
      emitBinary(Op::RangeJoin);
      start = code_.size();
    }
    while (accept('%')) {
      takeAsArray();
      emit(Op::Percent);
    }
  }

  // Whether what it read may be a LAMBDA to call.
  bool primary() {
    skipSpaces();
    const std::size_t start = pos();
    const char c = peek();
    if (atEnd()) fail(start, "expected a value");
    if (c == '(') {
      ++p_;
      enterNesting(start);
      expression();
      expect(')', "')'");
      --depth_;
    } else if (c == '"') {
      stringLiteral();
    } else if (c == '#') {
      errorLiteral();
    } else if (c == '{') {
      arrayConstant();
    } else if (c == '\'') {
      quotedSheetReference();
    } else if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
      numberOrRows();
    } else if (isWordChar(c)) {
      return word();
    } else {
      failUnexpected(start, c);
    }
    return false;
  }

  // ---- literals --------------------------------------------------------------------------------
  // The text between quotes, doubled quotes taken as one, appended to `text`.
  template <class Text>
  void scanQuoted(Text& text) {
    const char* const open = p_;
    const char* const close = lex::quotedEnd(open, end_);
    if (!close) fail(pos(), "unterminated text");
    const char quote = *open;
    for (const char* c = open + 1; c < close - 1; ++c) {
      text.push_back(*c);
      if (*c == quote) ++c;  // a doubled quote is one
    }
    p_ = close;
  }

  void stringLiteral() {
    const std::size_t start = text_.size();
    scanQuoted(text_);
    emitValue(Op::String);
    textOperand(start);
  }

  ErrorCode scanError() {
    std::size_t length = 0;
    const ErrorCode code = lex::errorLiteral(p_, end_, length);
    if (length == 0) fail(pos(), "unknown error value");
    p_ += length;
    return code;
  }

  void errorLiteral() {
    const ErrorCode code = scanError();
    emitValue(Op::Error);
    operand(static_cast<std::uint8_t>(code));
  }

  // Digits, a decimal point, an exponent; a letter straight after is refused ("2A1").
  // The NULs behind the text stop every scan, so no step checks the end.
  double scanNumber() {
    const char* const start = p_;
    bool malformed = false;
    const char* const p = lex::numberEnd(start, end_, malformed);
    if (malformed) fail(offsetOf(p), "malformed exponent");
    p_ = p;
    if (isWordChar(*p) || *p == '(') fail(offsetOf(p), "unexpected character after a number");
    if (p - start <= 15) {  // plain integers are exact without strtod
      double whole = 0;
      const char* i = start;
      for (; i < p && isDigit(*i); ++i) whole = whole * 10 + (*i - '0');
      if (i == p) return whole;
    }
    double value = 0;
    const auto [end, status] = std::from_chars(start, p, value);
    if (status == std::errc() && end == p) return value;
    // Out of range: strtod decides, reading underflow as 0 the way it always has.
    value = std::strtod(std::string(start, p).c_str(), nullptr);
    if (!std::isfinite(value)) fail(offsetOf(start), "number out of range");
    return value;
  }

  void numberOrRows() {
    const std::size_t start = pos();
    const char* end = lex::skipClass(p_, lex::kDigit);
    if (*end == ':') {  // a whole-row range such as 1:3
      const std::string_view digits(p_, static_cast<std::size_t>(end - p_));
      p_ = end;
      if (auto row = parseRowOnly(digits)) {
        rowRange(SheetName{}, *row, start);
        return;
      }
      fail(start, "row out of range");
    }
    const double value = scanNumber();
    emitValue(Op::Number);
    operand(value);
  }

  // {1,2;3,4}: rows split by ';', columns by ','.
  void arrayConstant() {
    const std::size_t start = pos();
    ++p_;
    auto array = std::make_shared<Array>();
    std::int32_t columnsInRow = 0;
    for (;;) {
      array->values.push_back(arrayElement());
      ++columnsInRow;
      if (accept(',')) continue;
      if (array->rows == 0) array->columns = columnsInRow;
      if (columnsInRow != array->columns) fail(pos(), "array rows differ in length");
      ++array->rows;
      columnsInRow = 0;
      if (accept(';')) continue;
      expect('}', "'}'");
      break;
    }
    if (array->values.size() > 65536) fail(start, "array too large");
    extras().arrays.push_back(std::move(array));
    emitValue(Op::Array);
    operand(static_cast<std::uint16_t>(extras().arrays.size() - 1));
  }

  Value arrayElement() {
    skipSpaces();
    const char c = peek();
    if (c == '"') {
      std::string text;
      scanQuoted(text);
      return text;
    }
    if (c == '#') return scanError();
    if (c == '-' || c == '+') {
      ++p_;
      skipSpaces();
      if (!isDigit(peek()) && peek() != '.') fail(pos(), "expected a number");
      const double n = scanNumber();
      return c == '-' ? -n : n;
    }
    if (isDigit(c) || c == '.') return scanNumber();
    const std::size_t start = pos();
    const std::string_view w = scanWord();
    if (equalsUpper(w, "TRUE")) return true;
    if (equalsUpper(w, "FALSE")) return false;
    fail(start, "expected a constant in the array");
  }

  // ---- names, references, calls --------------------------------------------------------------
  std::string_view scanWord() {
    const char* const start = p_;
    p_ = lex::skipClass(start, lex::kWord);
    return {start, static_cast<std::size_t>(p_ - start)};
  }

  // A sheet name in the text pool; `length` 0 stands for the formula's own sheet.
  struct SheetName {
    std::size_t offset = 0, length = 0;
  };

  void quotedSheetReference() {
    const std::size_t start = pos();
    const std::size_t offset = text_.size();
    scanQuoted(text_);
    if (peek() != '!') fail(pos(), "expected '!' after the sheet name");
    ++p_;
    if (text_.size() == offset) fail(start, "empty sheet name");
    referenceAfterSheet(SheetName{offset, text_.size() - offset});
  }

  void referenceAfterSheet(SheetName sheet) {
    const std::size_t start = pos();
    const std::string_view w = scanWord();
    if (!reference(sheet, w, start)) fail(start, "expected a reference after the sheet name");
  }

  // A cell, a cell range, a column range or a row range; false if `w` is none of them.
  bool reference(SheetName sheet, std::string_view w, std::size_t start) {
    if (auto cell = parseCellAddress(w)) {
      noteRow(*cell, w, start);
      Address last = *cell;
      if (peek() == ':') {
        const char* const save = p_++;
        const std::size_t endStart = pos();
        const std::string_view endWord = scanWord();
        if (auto end = parseCellAddress(endWord)) {
          last = *end;
          noteRow(last, endWord, endStart);
        } else {
          p_ = save;
        }
      }
      emitReference(sheet, *cell, last);
      return true;
    }
    if (peek() != ':') return false;
    if (auto column = parseColumnOnly(w)) {
      ++p_;
      const std::size_t at = pos();
      auto last = parseColumnOnly(scanWord());
      if (!last) fail(at, "expected a column");
      emitReference(sheet, Address{1, *column, true}, Address{kMaxRows, *last, true});
      return true;
    }
    if (auto row = parseRowOnly(w)) {
      p_ = buffer_ + start + w.size();
      rowRange(sheet, *row, start);
      return true;
    }
    return false;
  }

  void rowRange(SheetName sheet, std::int32_t first, std::size_t) {
    ++p_;  // ':'
    const std::size_t at = pos();
    auto last = parseRowOnly(scanWord());
    if (!last) fail(at, "expected a row");
    movable_ = false;  // whole rows: kept as written rather than moved
    emitReference(sheet, Address{first, 1, true}, Address{*last, kMaxColumns, true});
  }

  // A single cell is read where it stands unless a function taking references receives it
  // (see call()); anything larger stays a range.
  void emitReference(SheetName sheet, Address a, Address b) {
    const bool ownSheet = sheet.length == 0;
    if (a.row == b.row && a.column == b.column && a.rowAbsolute == b.rowAbsolute) {
      emitValue(ownSheet ? Op::Cell : Op::SheetCell);
      if (!ownSheet) sheetOperand(sheet);
      cellOperand(a);
      return;
    }
    emitValue(Op::Range);
    sheetOperand(sheet);
    // With one end's row fixed and the other's moving (A$1:A5), which row is first depends on
    // where the formula stands: the evaluator puts them in order.
    const bool mixed = a.rowAbsolute != b.rowAbsolute;
    if (!mixed && a.row > b.row) std::swap(a.row, b.row);
    const std::int32_t left = std::min(a.column, b.column), right = std::max(a.column, b.column);
    cellOperand(Address{a.row, left, a.rowAbsolute});
    cellOperand(Address{b.row, right, b.rowAbsolute});
  }
  void sheetOperand(SheetName sheet) {
    operand(static_cast<std::uint16_t>(sheet.offset));
    operand(static_cast<std::uint16_t>(sheet.length));
  }
  void cellOperand(Address a) {
    operand(static_cast<std::int32_t>(a.rowAbsolute ? a.row : a.row | kRelativeRow));
    operand(static_cast<std::uint16_t>(a.column));
  }
  // A relative row's digits end the address word that starts at `start`.
  void noteRow(const Address& address, std::string_view word, std::size_t start) {
    if (address.rowAbsolute) return;
    std::size_t digits = 0;
    while (digits < word.size() && isDigit(word[word.size() - 1 - digits])) ++digits;
    rowSpans_.put(RowSpan{static_cast<std::uint16_t>(start + word.size() - digits),
                          static_cast<std::uint16_t>(digits)});
  }
  // Whether the code from `start` is a single operand that is the same for every row of a
  // filled-down formula: a constant, or a reference whose rows are all written with '$' (or a
  // whole column).
  bool isFixedOperand(std::size_t start) const {
    const std::size_t length = code_.size() - start;
    const auto fixedRow = [&](std::size_t at) {
      std::int32_t row;
      std::memcpy(&row, code_.view().data() + at, sizeof row);
      return (row & kRelativeRow) == 0;
    };
    switch (static_cast<Op>(code_[start])) {
      case Op::Number: return length == 1 + sizeof(double);
      case Op::String: return length == 1 + kTextBytes;
      case Op::Bool:
      case Op::Error: return length == 2;
      case Op::Missing: return length == 1;
      case Op::Array: return length == 1 + sizeof(std::uint16_t);
      case Op::CellRef: return length == 1 + kCellBytes && fixedRow(start + 1);
      case Op::SheetCellRef: return length == 1 + kTextBytes + kCellBytes && fixedRow(start + 1 + kTextBytes);
      case Op::Range:
        return length == 1 + kTextBytes + 2 * kCellBytes && fixedRow(start + 1 + kTextBytes) &&
               fixedRow(start + 1 + kTextBytes + kCellBytes);
      default: return false;
    }
  }

  // The argument starting at `start` is one cell alone: leave it unread for the function.
  void keepCellUnread(std::size_t start) {
    const std::size_t length = code_.size() - start;
    const Op first = static_cast<Op>(code_[start]);
    if (first == Op::Cell && length == 1 + kCellBytes)
      code_[start] = static_cast<char>(Op::CellRef);
    else if (first == Op::SheetCell && length == 1 + kTextBytes + kCellBytes)
      code_[start] = static_cast<char>(Op::SheetCellRef);
  }

  bool word() {
    const std::size_t start = pos();
    const std::string_view w = scanWord();
    if (peek() == '!') {
      ++p_;
      referenceAfterSheet(SheetName{addText(w), w.size()});
      return false;
    }
    skipSpaces();
    if (peek() == '(') return call(w, start);
    p_ = w.data() + w.size();
    // A bound name is a name in its scope, even one that reads like a cell (x1).
    if (const int slot = boundSlot(w, start); slot >= 0) {
      emitLocal(slot);
      return false;
    }
    if (reference(SheetName{}, w, start)) return false;
    const bool isTrue = equalsUpper(w, "TRUE");
    if (isTrue || equalsUpper(w, "FALSE")) {
      emitValue(Op::Bool);
      operand(static_cast<std::uint8_t>(isTrue));
      return false;
    }
    if (!isNameStart(w.front()) || containsDollar(w)) fail(start, "not a valid name");
    if (start == etaArgumentAt_ && etaFunction(w, start)) return true;
    emitValue(Op::Error);
    operand(static_cast<std::uint8_t>(ErrorCode::Name));
    return false;
  }

  bool call(std::string_view name, std::size_t start) {
    if (!isNameStart(name.front()) || containsDollar(name))
      fail(start, "not a valid function name");
    // A bound name called: as typed, a function of the same name wins (SUM( is SUM).
    if (!names_.empty() && (bindingName(name).prefixed || !isFunction(name))) {
      if (const int slot = boundSlot(name, start); slot >= 0) {
        emitLocal(slot);
        return true;  // postfix() reads the arguments
      }
    }
    // Files prefix newer functions ("_xlfn.COT", "_xlfn._xlws.SORT"): the plain name is meant.
    while (name.size() > 6 && name.front() == '_' &&
           (startsWithUpper(name, "_XLFN.") || startsWithUpper(name, "_XLWS.")))
      name.remove_prefix(6);
    ++p_;  // '('
    enterNesting(start);
    const int index = findFunctionIndex(name);
    if (index < 0) {  // none of these is in the table, so the common call never asks
      if (equalsUpper(name, "LET")) return let();
      if (equalsUpper(name, "LAMBDA")) return lambda();
      if (const auto form = findLambdaForm(name)) return lambdaForm(*form);
    }
    const FunctionSpec* spec = index < 0 ? nullptr : &functionAt(static_cast<std::size_t>(index));
    if (!lambdas_.empty() && !arrayContext_ && spec && spec->name == "IF") return lazyIf(index);
    // Only functions that take plain values may have their cells read beforehand.
    const bool takesReferences =
        !spec || spec->takes == FunctionSpec::Takes::Args || spec->takes == FunctionSpec::Takes::Operand;
    // An array context lasts through the calls nested in it; a function of single values there
    // is computed element by element over the arrays its arguments become.
    const bool outerArrayContext = arrayContext_;
    arrayContext_ = arrayContext_ || (spec && spec->arrayArguments);
    const bool argumentsAsArrays = arrayContext_ && !takesReferences;
    const int heightBefore = height_;
    std::size_t argc = 0;
    bool fixedArguments = spec && spec->takes == FunctionSpec::Takes::Args;
    skipSpaces();
    if (peek() == ')') {
      ++p_;
    } else {
      for (;;) {
        skipSpaces();
        const std::size_t argumentStart = code_.size();
        if (peek() == ',' || peek() == ')') emitValue(Op::Missing);
        else expression();
        if (takesReferences) keepCellUnread(argumentStart);
        if (argumentsAsArrays) emit(Op::ToArray);
        fixedArguments = fixedArguments && isFixedOperand(argumentStart);
        if (++argc > kManyArgs) fail(pos(), "more than 255 arguments");
        if (accept(',')) continue;
        expect(')', "')' or ','");
        break;
      }
    }
    --depth_;
    arrayContext_ = outerArrayContext;
    if (spec) {
      if (argc < spec->minArgs) fail(pos() - 1, "too few arguments");
      if (argc > spec->maxArgs) fail(pos() - 1, "too many arguments");
      emit(fixedArguments ? Op::FixedCall : Op::Call);
      operand(static_cast<std::uint16_t>(index));
      operand(static_cast<std::uint8_t>(argc));
    } else {
      extras().unknownFunctions.emplace_back(name);
      if (isSpreadsheetFunction(name)) extras().uncomputable = true;
      emit(Op::UnknownCall);
      operand(static_cast<std::uint8_t>(argc));
    }
    height_ = heightBefore;
    pushed();
    return false;
  }

  // ---- LET and LAMBDA ------------------------------------------------------------------------
  // IF in a LAMBDA's body runs only the branch it takes, so that a LAMBDA may call itself: the
  // code of a call to IF with Op::LazyIf after the condition.
  [[gnu::noinline]] bool lazyIf(int index) {
    const int heightBefore = height_;
    std::size_t argc = 0, lazyIfAt = 0, thenEnd = 0;
    for (;;) {
      skipSpaces();
      if (peek() == ',' || peek() == ')') emitValue(Op::Missing);
      else expression();
      if (++argc == 1) {
        lazyIfAt = code_.size();
        emit(Op::LazyIf);
        operand(std::uint32_t{0});  // the branches' lengths, written below
      }
      if (argc == 2) thenEnd = code_.size();
      if (argc > 3) fail(pos(), "too many arguments");
      if (accept(',')) continue;
      expect(')', "')' or ','");
      break;
    }
    --depth_;
    if (argc < 2) fail(pos() - 1, "too few arguments");
    const std::size_t thenStart = lazyIfAt + 1 + 2 * sizeof(std::uint16_t);
    const auto thenLength = static_cast<std::uint16_t>(thenEnd - thenStart);
    const auto elseLength = static_cast<std::uint16_t>(code_.size() - thenEnd);
    std::memcpy(&code_[lazyIfAt + 1], &thenLength, sizeof thenLength);
    std::memcpy(&code_[lazyIfAt + 3], &elseLength, sizeof elseLength);
    emit(Op::Call);
    operand(static_cast<std::uint16_t>(index));
    operand(static_cast<std::uint8_t>(argc));
    height_ = heightBefore;
    pushed();
    return false;
  }

  static bool isFunction(std::string_view name) {
    return equalsUpper(name, "LET") || equalsUpper(name, "LAMBDA") || findLambdaForm(name) ||
           findFunctionIndex(name) >= 0;
  }

  // The slot of `word` if it is a name bound here (the innermost binding wins); -1 otherwise.
  int boundSlot(std::string_view word, std::size_t start) {
    return names_.empty() ? -1 : findBoundSlot(word, start);
  }
  [[gnu::noinline]] int findBoundSlot(std::string_view word, std::size_t start) {
    const BindingName name = bindingName(word);
    if (name.optional) return -1;
    for (auto it = names_.rbegin(); it != names_.rend(); ++it) {
      if (!sameName(it->name, name.name)) continue;
      if (!name.prefixed) noteBoundName(start, word.size(), false);
      return it->slot;
    }
    return -1;
  }
  void noteBoundName(std::size_t start, std::size_t length, bool optional) {
    if (nameSpans_)
      nameSpans_->push_back({static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(length), optional});
  }
  void emitLocal(int slot) {
    emitValue(Op::Local);
    operand(static_cast<std::uint8_t>(slot));
    // A LAMBDA whose body reads a name bound outside it keeps that name's value as it stands
    // when the LAMBDA is made.
    for (OpenLambda& open : lambdas_)
      if (slot < open.firstSlot) open.captures.set(static_cast<std::size_t>(slot));
  }
  int newSlot(std::size_t at) {
    if (slotCount_ == 255) fail(at, "more than 255 names bound");
    return slotCount_++;
  }

  // A name about to be bound, if the next argument is one (a name followed by ','); otherwise
  // nothing is read. `optional` allows LAMBDA's "[name]".
  std::optional<BindingName> nameArgument(bool optional) {
    skipSpaces();
    const char* const save = p_;
    const std::size_t start = pos();
    const bool bracketed = optional && peek() == '[';
    if (bracketed) ++p_;
    BindingName name{};
    if (isNameStart(peek())) {
      const std::string_view w = scanWord();
      name = bindingName(w);
      if (bracketed && !name.prefixed && accept(']')) name.optional = true;
      else if (bracketed) name.name = {};
      if (!name.prefixed && !name.name.empty()) noteBoundName(start, static_cast<std::size_t>(p_ - save), bracketed);
    }
    const bool valid = !name.name.empty() && isNameStart(name.name.front()) && !containsDollar(name.name) &&
                       !equalsUpper(name.name, "TRUE") && !equalsUpper(name.name, "FALSE");
    if (valid && accept(',')) return name;
    if (bracketed) fail(start, "expected an optional parameter's name");
    if (nameSpans_ && !name.prefixed && !name.name.empty()) nameSpans_->pop_back();
    p_ = save;
    return std::nullopt;
  }

  // LET(name, value, ..., calculation): each value is computed once and bound for the values
  // after it and the calculation. Inside an argument evaluated as an array it is evaluated as
  // one too, as parentheses would be.
  [[gnu::noinline]] bool let() {
    const std::size_t scope = names_.size();
    const int heightBefore = height_;
    std::size_t pairs = 0;
    while (const auto name = nameArgument(false)) {
      const int slot = newSlot(pos());
      const std::size_t valueStart = code_.size();
      expression();
      keepCellUnread(valueStart);
      emit(Op::Bind);
      operand(static_cast<std::uint8_t>(slot));
      --height_;
      names_.push_back({name->name, slot});
      ++pairs;
      expect(',', "',' and the calculation");
    }
    if (pairs == 0) failExpecting(pos(), "a name and its value");
    expression();
    expect(')', "')'");
    names_.resize(scope);
    --depth_;
    height_ = heightBefore;
    pushed();
    return true;
  }

  // LAMBDA(parameter, ..., body): the body's code follows the instruction and runs when the
  // value is called; see Op::MakeLambda.
  [[gnu::noinline]] bool lambda() {
    const std::size_t scope = names_.size();
    const std::size_t header = code_.size();
    emit(Op::MakeLambda);
    operand(std::uint16_t{0});  // the body's length, written below
    const int firstSlot = slotCount_;
    operand(static_cast<std::uint8_t>(firstSlot));
    operand(std::uint16_t{0});  // the parameter counts, likewise
    std::size_t parameters = 0, required = 0;
    while (const auto name = nameArgument(true)) {
      if (!name->optional && required < parameters) fail(pos(), "optional parameters come last");
      names_.push_back({name->name, newSlot(pos())});
      if (!name->optional) required = parameters + 1;
      ++parameters;
    }
    const int heightBefore = height_;
    const bool outerArrayContext = std::exchange(arrayContext_, false);
    height_ = 0;  // the body runs on a stack of its own
    lambdas_.push_back({firstSlot, {}});
    const std::size_t bodyStart = code_.size();
    expression();
    expect(')', "')'");
    const auto bodyLength = static_cast<std::uint16_t>(code_.size() - bodyStart);
    std::memcpy(&code_[header + 1], &bodyLength, sizeof bodyLength);
    code_[header + 4] = static_cast<char>(parameters);
    code_[header + 5] = static_cast<char>(required);
    const std::bitset<256> captures = lambdas_.back().captures;
    lambdas_.pop_back();
    operand(static_cast<std::uint8_t>(captures.count()));
    for (std::size_t slot = 0; slot < captures.size(); ++slot)
      if (captures.test(slot)) operand(static_cast<std::uint8_t>(slot));
    names_.resize(scope);
    arrayContext_ = outerArrayContext;
    --depth_;
    height_ = heightBefore;
    pushed();
    return true;
  }

  // A function passed by its name alone, as the whole argument of a call that takes a LAMBDA
  // (MAP(A1:A3,ABS), GROUPBY(...,SUM)); files write it "_xleta.SUM". It becomes the LAMBDA
  // that calls it: one parameter, or as many as the function requires (PERCENTOF's two).
  [[gnu::noinline]] bool etaFunction(std::string_view word, std::size_t start) {
    std::string_view name = word;
    bool prefixed = false;
    while (name.size() > 6 && name.front() == '_' &&
           (startsWithUpper(name, "_XLETA.") || startsWithUpper(name, "_XLFN.") || startsWithUpper(name, "_XLWS."))) {
      prefixed = prefixed || startsWithUpper(name, "_XLETA.");
      name.remove_prefix(startsWithUpper(name, "_XLETA.") ? 7 : 6);
    }
    const char* const after = p_;
    skipSpaces();
    const bool wholeArgument = peek() == ',' || peek() == ')';
    p_ = after;
    const int index = findFunctionIndex(name);
    if (!wholeArgument || index < 0) return false;
    const FunctionSpec& spec = functionAt(static_cast<std::size_t>(index));
    const int parameters = std::max<int>(1, spec.minArgs);
    const int firstSlot = newSlot(start);
    for (int i = 1; i < parameters; ++i) newSlot(start);
    if (!prefixed && nameSpans_) nameSpans_->push_back({static_cast<std::uint16_t>(start),
                                                        static_cast<std::uint16_t>(word.size()), false, true});
    const int heightBefore = height_;
    height_ = 0;  // the body runs on a stack of its own
    emit(Op::MakeLambda);
    const std::size_t bodyStart = code_.size() + sizeof(std::uint16_t) + 3;
    operand(std::uint16_t{0});  // the body's length, written below
    operand(static_cast<std::uint8_t>(firstSlot));
    operand(static_cast<std::uint8_t>(parameters));
    operand(static_cast<std::uint8_t>(parameters));
    for (int i = 0; i < parameters; ++i) {
      emitValue(Op::Local);
      operand(static_cast<std::uint8_t>(firstSlot + i));
    }
    emit(Op::Call);
    operand(static_cast<std::uint16_t>(index));
    operand(static_cast<std::uint8_t>(parameters));
    const auto bodyLength = static_cast<std::uint16_t>(code_.size() - bodyStart);
    std::memcpy(&code_[bodyStart - 5], &bodyLength, sizeof bodyLength);
    operand(std::uint8_t{0});  // it reads no name from outside
    height_ = heightBefore;
    pushed();
    return true;
  }

  // MAP, REDUCE and the others (see lambda_forms.h).
  [[gnu::noinline]] bool lambdaForm(const LambdaFormSpec& form) {
    const int heightBefore = height_;
    // GROUPBY and PIVOTBY take their arguments as arrays (a filter such as B2:B9="Pen").
    const bool aggregates = form.form == LambdaForm::GroupBy || form.form == LambdaForm::PivotBy;
    std::vector<std::size_t> starts;
    const std::size_t argc = argumentList(aggregates, &starts);
    if (argc < form.minArgs) fail(pos() - 1, "too few arguments");
    if (argc > form.maxArgs) fail(pos() - 1, "too many arguments");
    if (aggregates) {
      const std::size_t function = form.form == LambdaForm::GroupBy ? 2 : 3;
      const std::size_t end = function + 1 < starts.size() ? starts[function + 1] : code_.size();
      if (!isOneFunction(starts[function], end)) extras().uncomputable = true;
    }
    emit(Op::LambdaForm);
    operand(static_cast<std::uint8_t>(form.form));
    operand(static_cast<std::uint8_t>(argc));
    height_ = heightBefore;
    pushed();
    return form.form == LambdaForm::Reduce;  // its result may be a LAMBDA
  }

  // Whether the code in [start, end) is one LAMBDA, a name bound to one, or a constant (an
  // error to pass on): a vector of functions, or one chosen by a condition, is left to the
  // spreadsheet application.
  bool isOneFunction(std::size_t start, std::size_t end) const {
    const std::size_t length = end - start;
    switch (static_cast<Op>(code_[start])) {
      case Op::MakeLambda: {
        std::uint16_t body;
        std::memcpy(&body, code_.view().data() + start + 1, sizeof body);
        const std::size_t capturesAt = start + 6 + body;
        return capturesAt < end && length == 6u + body + 1 + static_cast<std::uint8_t>(code_[capturesAt]);
      }
      case Op::Local:
      case Op::Bool:
      case Op::Error: return length == 2;
      case Op::Number: return length == 1 + sizeof(double);
      case Op::String: return length == 1 + kTextBytes;
      default: return false;
    }
  }

  // Arguments up to the closing ')' (the '(' and the nesting are the caller's), references
  // kept as references, operations on them element by element when `asArrays`; the count of
  // them, and where the code of each starts in `starts`.
  [[gnu::noinline]] std::size_t argumentList(bool asArrays = false, std::vector<std::size_t>* starts = nullptr) {
    const bool outerArrayContext = std::exchange(arrayContext_, asArrays);
    std::size_t argc = 0;
    skipSpaces();
    if (peek() == ')') {
      ++p_;
    } else {
      for (;;) {
        skipSpaces();
        const std::size_t argumentStart = code_.size();
        if (starts) starts->push_back(argumentStart);
        etaArgumentAt_ = pos();
        if (peek() == ',' || peek() == ')') emitValue(Op::Missing);
        else expression();
        keepCellUnread(argumentStart);
        if (++argc > kManyArgs) fail(pos(), "more than 255 arguments");
        if (accept(',')) continue;
        expect(')', "')' or ','");
        break;
      }
    }
    arrayContext_ = outerArrayContext;
    --depth_;
    return argc;
  }

  std::string_view source_;
  const char* p_ = nullptr;  // the next character to read, inside buffer_
  const char* end_ = nullptr;
  int depth_ = 0;
  std::size_t lastOuterSum_ = static_cast<std::size_t>(-1);  // code offset of the last outer + or -
  int height_ = 0;
  int maxHeight_ = 0;
  ByteBuffer code_;
  ByteBuffer text_;
  std::unique_ptr<ProgramExtras> extras_;
  ByteBuffer rowSpans_;  // RowSpan after RowSpan
  bool movable_ = true;
  bool arrayContext_ = false;  // inside an argument that a function evaluates as an array
  // The names LET and LAMBDA bind where the parser stands, outermost first.
  struct BoundName {
    std::string_view name;
    int slot;
  };
  std::vector<BoundName> names_;
  int slotCount_ = 0;
  // The LAMBDAs whose bodies are being read, outermost first, with the names from outside each
  // body that it reads.
  struct OpenLambda {
    int firstSlot;
    std::bitset<256> captures;
  };
  std::vector<OpenLambda> lambdas_;
  std::vector<BoundNameSpan>* nameSpans_ = nullptr;
  // Where the current argument of a call that takes a LAMBDA starts: a function's name alone
  // there is the function itself (etaFunction).
  std::size_t etaArgumentAt_ = static_cast<std::size_t>(-1);
  char buffer_[kMaxFormulaLength + 2];
};

}  // namespace

std::variant<std::unique_ptr<Formula::Impl>, ParseError> compileFormula(std::string_view text) {
  try {
    return Parser(text).run();
  } catch (const Failure& failure) {
    return failure.error;
  }
}

std::vector<BoundNameSpan> boundNameSpans(std::string_view text) {
  std::vector<BoundNameSpan> spans;
  try {
    Parser(text, &spans).run();
  } catch (const Failure&) {
    spans.clear();
  }
  return spans;
}

}  // namespace calc
