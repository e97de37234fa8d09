#pragma once
// The compiled form of a formula (Formula::Impl): postfix byte code over a small operand stack,
// held in one allocation together with the texts it names. Each instruction is an Op byte
// followed by its operands, unaligned, in the widths listed below. Function calls are resolved
// to table indices when the formula is parsed.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calc/formula.h"
#include "operand.h"

namespace calc {

enum class Op : std::uint8_t {
  Number,        // f64
  String,        // text
  Bool,          // u8
  Error,         // u8 ErrorCode (also a name that is neither function nor reference)
  Cell,          // i32 row (see kRelativeRow), u16 column: the cell's value, read at once
  SheetCell,     // text sheet, i32 row, u16 column: the same on a named sheet
  CellRef,       // as Cell, but left unread for a function that takes references
  SheetCellRef,  // as SheetCell, likewise
  Range,         // text sheet (empty: own), i32 row1, u16 column1, i32 row2, u16 column2 (rows in
                 // either order when one is relative and the other not)
  Array,         // u16 index into Extras::arrays
  Missing,
  Negate, Percent,
  Power, Multiply, Divide, Add, Subtract, Concat,
  Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
  Call,         // u16 function index, u8 argc
  UnknownCall,  // u8 argc
  // Add and Subtract as the formula's last operation, outside parentheses: opposites that
  // cancel up to their conversion error give 0 (see finalSum in excel_arithmetic.h).
  FinalAdd, FinalSubtract,
  // Inside an argument the function evaluates as an array (SUMPRODUCT's): the reference on top
  // becomes the array of its values, so that operators and functions apply element by element.
  ToArray,
  // The range operator between references that are computed (OFFSET(A1,1,1):B3): the smallest
  // range holding both.
  RangeJoin,
  // As Call, for a call whose result is the same in every cell of a filled-down formula (its
  // arguments are fixed references and constants, SUM(A:A)): the context may keep the result.
  FixedCall,
  // Names bound inside the formula (LET's names, LAMBDA's parameters), each a slot of the
  // evaluation: Local pushes the slot's operand, Bind pops the top into it.
  Local,  // u8 slot
  Bind,   // u8 slot
  // A LAMBDA: u16 body length, u8 first parameter slot, u8 parameters, u8 required parameters;
  // then the body's code, skipped here and run when the value is called; then u8 count and
  // the u8 slots of the names from outside that the body reads, captured as they stand now.
  MakeLambda,
  // Calls the value under the argc arguments on top (a LAMBDA, or a name bound to one).
  CallValue,  // u8 argc
  // LET's helpers that take a LAMBDA, and ISOMITTED: u8 LambdaForm, u8 argc.
  LambdaForm,
  // After IF's condition inside a LAMBDA's body, so that only the branch taken runs (a LAMBDA
  // may call itself): u16 length of the code of the value if true, u16 of the value if false
  // (0 when left out), after which comes the Call to IF. A condition that is no single value
  // goes on through both branches to that Call.
  LazyIf,
};

// A text operand: u16 offset into the formula's text pool, u16 length.
inline constexpr std::size_t kTextBytes = 4;
inline constexpr std::size_t kCellBytes = 6;
// Set in a row operand written without '$': the row moves with the formula when one compiled
// formula serves a whole filled-down column (evaluate()'s rowShift is added to it).
inline constexpr std::int32_t kRelativeRow = 1 << 30;

// Where a relative row number stands in the formula's text: what moves when it is filled down.
struct RowSpan {
  std::uint16_t offset;
  std::uint16_t length;
};

// What few formulas need: kept apart so that the common formula is a single allocation.
struct ProgramExtras {
  std::vector<std::shared_ptr<const Array>> arrays;
  std::vector<std::string> unknownFunctions;  // names called that the table does not hold
  // It calls a function of the spreadsheet that this engine does not compute: its result is
  // left to the spreadsheet application.
  bool uncomputable = false;
  // Slots for the names LET and LAMBDA bind (see Op::Local).
  std::uint16_t localSlots = 0;
};

// Reads operands from code; the code was written by the parser, so it is trusted. Relative rows
// come out moved by `rowShift`.
class CodeReader {
 public:
  CodeReader(const std::uint8_t* at, std::int32_t rowShift) : at_(at), rowShift_(rowShift) {}
  template <class T>
  T next() {
    T value;
    std::memcpy(&value, at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }
  Op op() { return static_cast<Op>(*at_++); }
  const std::uint8_t* position() const { return at_; }
  std::int32_t rowShift() const { return rowShift_; }

 private:
  const std::uint8_t* at_;
  std::int32_t rowShift_;
};

// A cell operand as the parser writes it: the row, then the column.
inline CellRef readCell(CodeReader& code, std::string_view sheet) {
  auto row = code.next<std::int32_t>();
  if (row & kRelativeRow) row = (row & ~kRelativeRow) + code.rowShift();
  const auto column = code.next<std::uint16_t>();
  return CellRef{sheet, row, column};
}

}  // namespace calc

struct calc::Formula::Impl {
  // Code, text and row spans follow the header in the same block (see create()).
  static std::unique_ptr<Impl> create(std::string_view code, std::string_view text, std::uint32_t maxStack,
                                      std::string_view rowSpans, bool movable,
                                      std::unique_ptr<ProgramExtras> extras);
  static void operator delete(void* block) { ::operator delete(block); }
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  const std::uint8_t* code() const { return reinterpret_cast<const std::uint8_t*>(this + 1); }
  const std::uint8_t* codeEnd() const { return code() + codeLength; }
  std::string_view text(std::uint16_t offset, std::uint16_t length) const {
    return {reinterpret_cast<const char*>(codeEnd()) + offset, length};
  }
  RowSpan rowSpan(std::size_t i) const {
    RowSpan span;
    std::memcpy(&span, codeEnd() + textLength + i * sizeof(RowSpan), sizeof span);
    return span;
  }
  std::size_t bytes() const { return sizeof(Impl) + codeLength + textLength + rowSpanCount * sizeof(RowSpan); }

  // A formula of at most kMaxFormulaLength characters compiles to well under 64 KiB.
  std::uint16_t codeLength = 0;
  std::uint16_t textLength = 0;
  std::uint16_t maxStack = 0;
  // The relative rows of the formula's source text, in order; none unless `movable`.
  std::uint16_t rowSpanCount : 15 = 0;
  // Whether it can be filled down by moving its relative rows (it holds no whole-row range).
  std::uint16_t movable : 1 = 0;
  ProgramExtras* extras = nullptr;

 private:
  Impl() = default;
};
