#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <vector>

#include "coercion.h"
#include "function_spec.h"

namespace calc {
namespace {

constexpr std::size_t kMaxNameLength = 32;

// FNV-1a over the name as given, letters folded to upper case.
template <class Byte>
std::uint32_t nameHash(std::string_view name, Byte&& upperAt) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < name.size(); ++i) h = (h ^ static_cast<unsigned char>(upperAt(i))) * 16777619u;
  return h;
}

// Names are a few bytes long: a plain loop beats a call to memcmp.
bool sameBytes(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// The table in name order (its positions are what compiled code stores) and an open-addressing
// hash over it, so that the parser finds a name with one hash and mostly one comparison.
class FunctionIndex {
 public:
  FunctionIndex() {
    for (auto family : {mathFunctions(), roundingFunctions(), trigonometricFunctions(), aggregateFunctions(),
                        logicalFunctions(), informationFunctions(), dateFunctions(), textFunctions(),
                        statisticsFunctions(), rankingFunctions(), regressionFunctions(), distributionFunctions(),
                        conditionalFunctions(), matrixFunctions(), engineeringFunctions(), complexFunctions(),
                        financialFunctions(), bondFunctions(), textSearchFunctions(), calendarFunctions(),
                        lookupFunctions(), referenceFunctions(), databaseFunctions(),
                        remainingFunctions()})
      for (const FunctionSpec& spec : family) sorted_.push_back(&spec);
    std::sort(sorted_.begin(), sorted_.end(),
              [](const FunctionSpec* a, const FunctionSpec* b) { return a->name < b->name; });
    slots_.fill(kEmpty);
    for (std::size_t i = 0; i < sorted_.size(); ++i) {
      const std::string_view name = sorted_[i]->name;
      std::size_t slot = nameHash(name, [&](std::size_t k) { return name[k]; }) & kMask;
      while (slots_[slot] != kEmpty) slot = (slot + 1) & kMask;
      slots_[slot] = static_cast<std::uint16_t>(i);
    }
  }

  int find(std::string_view name) const {
    if (name.empty() || name.size() > kMaxNameLength) return -1;
    char upper[kMaxNameLength];
    const std::uint32_t h = nameHash(name, [&](std::size_t k) {
      const char c = name[k];
      return upper[k] = asciiUpper(c);
    });
    for (std::size_t slot = h & kMask; slots_[slot] != kEmpty; slot = (slot + 1) & kMask) {
      const std::string_view candidate = sorted_[slots_[slot]]->name;
      if (candidate.size() == name.size() && sameBytes(candidate.data(), upper, name.size()))
        return slots_[slot];
    }
    return -1;
  }

  const FunctionSpec& at(std::size_t index) const { return *sorted_[index]; }
  std::span<const FunctionSpec* const> all() const { return sorted_; }

 private:
  static constexpr std::size_t kSlots = 4096;  // a power of two, eight times the table's size: short probes
  static constexpr std::size_t kMask = kSlots - 1;
  static constexpr std::uint16_t kEmpty = 0xFFFF;

  std::vector<const FunctionSpec*> sorted_;
  std::array<std::uint16_t, kSlots> slots_;
};

const FunctionIndex& functionIndex() {
  static const FunctionIndex index;
  return index;
}

// Reads an argument as a number for Takes::Number(s); false with `error` set on failure.
bool numberArgument(const Operand& op, const EvalContext& context, double& out, Value& error,
                    bool strict = false) {
  if (op.kind == Operand::Kind::Number) {
    out = op.number;
    return true;
  }
  if (strict && op.kind == Operand::Kind::Missing) {
    error = ErrorCode::NA;
    return false;
  }
  const Value v = op.kind == Operand::Kind::Missing ? Value(0.0) : scalarOf(op, context);
  if (strict && v.isBool()) {
    error = ErrorCode::Value;
    return false;
  }
  const Number n = toNumber(v, context);
  if (n.failed) {
    error = n.error;
    return false;
  }
  out = n.value;
  return true;
}

}  // namespace

int findFunctionIndex(std::string_view name) { return functionIndex().find(name); }

const FunctionSpec* findFunction(std::string_view name) {
  const int index = findFunctionIndex(name);
  return index < 0 ? nullptr : &functionIndex().at(static_cast<std::size_t>(index));
}

const FunctionSpec& functionAt(std::size_t index) { return functionIndex().at(index); }

std::span<const FunctionSpec* const> functionTable() { return functionIndex().all(); }

Value callFunction(const FunctionSpec& spec, std::span<const Operand> args,
                   const EvalContext& context) {
  if (args.size() < spec.minArgs || args.size() > spec.maxArgs) return ErrorCode::Value;
  switch (spec.takes) {
    case FunctionSpec::Takes::Number: {
      double x = 0;
      Value error;
      return numberArgument(args[0], context, x, error) ? spec.unary(x) : error;
    }
    case FunctionSpec::Takes::Numbers: {
      std::array<double, kMaxNumberArgs> x{};
      Value error;
      for (std::size_t i = 0; i < args.size(); ++i)
        if (!numberArgument(args[i], context, x[i], error, spec.strictNumbers)) return error;
      return spec.numbers(x.data(), args.size());
    }
    case FunctionSpec::Takes::Scalars: {
      std::array<Value, 8> few;
      std::vector<Value> many;
      Value* values = few.data();
      if (args.size() > few.size()) {
        many.resize(args.size());
        values = many.data();
      }
      for (std::size_t i = 0; i < args.size(); ++i) values[i] = scalarOf(args[i], context);
      return spec.scalars(values, args.size());
    }
    case FunctionSpec::Takes::Args:
      return spec.args(Args(args, context));
    case FunctionSpec::Takes::Operand:
      return scalarOf(spec.operand(Args(args, context)), context);
  }
  return ErrorCode::Value;
}

Value Args::scalar(std::size_t i) const { return scalarOf(operands_[i], context_); }

Value scalarOf(const Operand& op, const EvalContext& context) {
  switch (op.kind) {
    case Operand::Kind::Number: return op.number;
    case Operand::Kind::Value: return op.value;
    case Operand::Kind::Missing: return Value();
    case Operand::Kind::Array:
      return op.array->values.empty() ? Value(ErrorCode::Value) : op.array->values.front();
    case Operand::Kind::Range: break;
  }
  const CellRange& r = op.range;
  if (r.isSingleCell()) return context.cell(CellRef{r.sheet, r.row1, r.column1});
  // Implicit intersection with the formula's own row (a column range) or column (a row range).
  const CellRef at = context.formulaCell();
  if (at.row <= 0) return ErrorCode::Value;
  if (r.column1 == r.column2 && at.row >= r.row1 && at.row <= r.row2)
    return context.cell(CellRef{r.sheet, at.row, r.column1});
  if (r.row1 == r.row2 && at.column >= r.column1 && at.column <= r.column2)
    return context.cell(CellRef{r.sheet, r.row1, at.column});
  return ErrorCode::Value;
}

std::vector<std::string_view> functionNames() {
  std::vector<std::string_view> names;
  for (const FunctionSpec* spec : functionTable()) names.push_back(spec->name);
  return names;
}

bool isFunctionName(std::string_view name) {
  // "_xlfn." and "_xlfn._xlws." as files write them, in any case.
  while (name.size() > 6) {
    std::string prefix(name.substr(0, 6));
    for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (prefix != "_xlfn." && prefix != "_xlws.") break;
    name.remove_prefix(6);
  }
  return findFunction(name) != nullptr;
}

}  // namespace calc
