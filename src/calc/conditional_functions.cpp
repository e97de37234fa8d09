// Aggregates with conditions (COUNTIF, SUMIFS ...), COUNTBLANK, and sums over products
// (SUMPRODUCT, SUMX2MY2 ...).
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "coercion.h"
#include "criteria.h"
#include "function_spec.h"
#include "value_grid.h"

namespace calc {
namespace {

// A lifted criterion block bigger than this is cut: each element costs a walk of the ranges.
constexpr std::int64_t kMaxLiftedRows = 4096, kMaxLiftedColumns = 256;
// Lifting that would compare more cells than this in all is refused (#NUM!) rather than left
// to run for minutes: COUNTIF(A:A,A:A) over a long column.
constexpr double kMaxLiftedComparisons = 1e8;

enum class Reduce : std::uint8_t { Count, Sum, Average, Max, Min };

// Where a function's arguments stand: the values aggregated (if any) and the pairs of
// criteria range and criterion.
struct Layout {
  int valuesAt = -1;  // -1: counts only
  std::size_t firstPair = 0;
  bool valuesOptional = false;  // SUMIF: one pair; the values are the criteria range when left out
};

struct Accumulator {
  Reduce how;
  double total = 0, count = 0, best = 0;
  std::optional<ErrorCode> error;

  void add(const Value& v) {
    if (how == Reduce::Count) return void(++count);
    if (v.isError()) {
      if (!error) error = v.error();
      return;
    }
    if (!v.isNumber()) return;
    const double x = v.number();
    if (count == 0 || (how == Reduce::Max ? x > best : x < best)) best = x;
    total += x;
    ++count;
  }

  Value result() const {
    if (error) return *error;
    switch (how) {
      case Reduce::Count: return count;
      case Reduce::Sum: return numberResult(total);
      case Reduce::Average: return count == 0 ? Value(ErrorCode::Div0) : numberResult(total / count);
      case Reduce::Max:
      case Reduce::Min: return count == 0 ? 0.0 : best;
    }
    return ErrorCode::Value;
  }
};

// Aggregates the values at the positions where every range meets its criterion. Positions
// past every range's used cells hold empty cells only: they are counted, not read.
Value aggregateWhere(const std::vector<ValueGrid>& ranges, const std::vector<Criterion>& criteria,
                     const std::optional<ValueGrid>& values, Reduce how) {
  // The values count too: criteria cells past their own used cells are empty, and may match.
  std::int64_t usedRows = values ? values->usedRows() : 0, usedColumns = values ? values->usedColumns() : 0;
  for (const ValueGrid& g : ranges) {
    usedRows = std::max(usedRows, g.usedRows());
    usedColumns = std::max(usedColumns, g.usedColumns());
  }
  Accumulator acc{how, 0, 0, 0, std::nullopt};
  for (std::int64_t r = 0; r < usedRows; ++r)
    for (std::int64_t c = 0; c < usedColumns; ++c) {
      bool all = true;
      for (std::size_t k = 0; k < ranges.size() && all; ++k) all = criteria[k].matches(ranges[k].at(r, c));
      if (all) acc.add(values ? values->at(r, c) : Value());
    }
  if (how == Reduce::Count) {
    bool emptyMatches = true;
    for (const Criterion& criterion : criteria) emptyMatches = emptyMatches && criterion.matches(Value());
    if (emptyMatches) acc.count += static_cast<double>(ranges.front().size() - usedRows * usedColumns);
  }
  return acc.result();
}

// One result for one set of criterion values; `pick` gives the criterion of pair k.
template <class Pick>
Value conditionalOnce(const Args& args, const Layout& layout, Reduce how, Pick pick) {
  std::vector<ValueGrid> ranges;
  std::vector<Criterion> criteria;
  const std::size_t pairsEnd = layout.valuesOptional ? 2 : args.size();
  for (std::size_t i = layout.firstPair, k = 0; i + 1 < pairsEnd; i += 2, ++k) {
    if (const Operand& op = args.operand(i); op.isScalar() && op.scalar().isError()) return op.scalar();
    ranges.emplace_back(args.operand(i), args.context());
    criteria.emplace_back(pick(k, i + 1));
    if (!ranges.back().sameShape(ranges.front())) return ErrorCode::Value;
  }
  std::optional<ValueGrid> values;
  if (layout.valuesAt >= 0) {
    const auto at = static_cast<std::size_t>(layout.valuesAt);
    if (at < args.size() && !args.isMissing(at)) {
      if (const Operand& op = args.operand(at); op.isScalar() && op.scalar().isError()) return op.scalar();
      values.emplace(args.operand(at), args.context());
      if (layout.valuesOptional) values = values->resized(ranges.front().rows(), ranges.front().columns());
      else if (!values->sameShape(ranges.front())) return ErrorCode::Value;
    } else {
      values = ranges.front();
    }
  }
  return aggregateWhere(ranges, criteria, values, how);
}

bool isBlock(const Operand& op) {
  return op.kind == Operand::Kind::Array || (op.kind == Operand::Kind::Range && !op.range.isSingleCell());
}

// A criterion given as an array or a block of cells gives an array of results, one per
// element (a cell shows the first).
Operand conditional(const Args& args, const Layout& layout, Reduce how) {
  Operand result;
  if (!layout.valuesOptional && (args.size() - layout.firstPair) % 2 != 0) return result.set(ErrorCode::Value), result;
  const std::size_t pairsEnd = layout.valuesOptional ? 2 : args.size();
  std::optional<ValueGrid> shape;
  for (std::size_t i = layout.firstPair + 1; i < pairsEnd && !shape; i += 2)
    if (isBlock(args.operand(i))) shape.emplace(args.operand(i), args.context());
  if (!shape) {
    result.set(conditionalOnce(args, layout, how, [&](std::size_t, std::size_t at) { return Criterion(args.scalar(at)); }));
    return result;
  }
  const ValueGrid walked(args.operand(layout.firstPair), args.context());
  if (static_cast<double>(walked.usedRows() * walked.usedColumns()) *
          static_cast<double>(std::min(shape->usedRows(), kMaxLiftedRows) * std::min(shape->usedColumns(), kMaxLiftedColumns)) >
      kMaxLiftedComparisons)
    return result.set(ErrorCode::Num), result;
  auto out = std::make_shared<Array>();
  out->rows = static_cast<std::int32_t>(std::min<std::int64_t>(shape->rows(), kMaxLiftedRows));
  out->columns = static_cast<std::int32_t>(std::min<std::int64_t>(shape->columns(), kMaxLiftedColumns));
  // Past the used cells of every criterion block the criteria are all empty cells: one
  // result serves them all.
  std::optional<Value> pastUsedCells;
  for (std::int32_t r = 0; r < out->rows; ++r)
    for (std::int32_t c = 0; c < out->columns; ++c) {
      bool pastUsed = true;
      const auto element = [&](std::size_t, std::size_t at) {
        const Operand& op = args.operand(at);
        if (!isBlock(op)) return Criterion(args.scalar(at));
        const ValueGrid grid(op, args.context());
        if (r < grid.usedRows() && c < grid.usedColumns()) pastUsed = false;
        const bool inside = r < grid.rows() && c < grid.columns();
        if (!inside) pastUsed = false;  // #N/A here, not an empty cell: never shared
        return Criterion(inside ? grid.at(r, c) : Value(ErrorCode::NA));
      };
      for (std::size_t i = layout.firstPair + 1; i < pairsEnd; i += 2) element(0, i);
      if (!pastUsed || !pastUsedCells) {
        Value v = conditionalOnce(args, layout, how, element);
        if (pastUsed) pastUsedCells = v;
        out->values.push_back(std::move(v));
      } else {
        out->values.push_back(*pastUsedCells);
      }
    }
  result.kind = Operand::Kind::Array;
  result.array = std::move(out);
  return result;
}

constexpr Layout kIfLayout{2, 0, true};        // SUMIF(range, criterion, [sum_range])
constexpr Layout kIfsLayout{0, 1, false};      // SUMIFS(sum_range, range1, criterion1, ...)
constexpr Layout kCountLayout{-1, 0, false};   // COUNTIFS(range1, criterion1, ...)

Value countBlank(const Args& args) {
  const ValueGrid grid(args.operand(0), args.context());
  double blanks = static_cast<double>(grid.size() - grid.usedRows() * grid.usedColumns());
  for (std::int64_t r = 0; r < grid.usedRows(); ++r)
    for (std::int64_t c = 0; c < grid.usedColumns(); ++c) {
      const Value v = grid.at(r, c);
      if (v.isEmpty() || (v.isText() && v.text().empty())) ++blanks;
    }
  return blanks;
}

// SUMPRODUCT: blocks of one shape multiplied element by element; what is not a number counts
// as 0, an error anywhere is the result.
Value sumProduct(const Args& args) {
  std::vector<ValueGrid> grids;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args.isMissing(i)) return ErrorCode::Value;
    grids.emplace_back(args.operand(i), args.context());
    if (!grids.back().sameShape(grids.front())) return ErrorCode::Value;
  }
  std::int64_t usedRows = 0, usedColumns = 0;
  for (const ValueGrid& g : grids) {
    usedRows = std::max(usedRows, g.usedRows());
    usedColumns = std::max(usedColumns, g.usedColumns());
  }
  double total = 0;
  for (std::int64_t r = 0; r < usedRows; ++r)
    for (std::int64_t c = 0; c < usedColumns; ++c) {
      double product = 1;
      for (const ValueGrid& g : grids) {
        const Value v = g.at(r, c);
        if (v.isError()) return v;
        product *= v.isNumber() ? v.number() : 0;
      }
      total += product;
    }
  return numberResult(total);
}

// SUMX2MY2 and its kin: pairs taken in order from two lists of the same length; a pair with
// anything but two numbers is skipped.
template <class Term>
Value sumOfPairs(const Args& args, Term term) {
  const ValueGrid x(args.operand(0), args.context()), y(args.operand(1), args.context());
  if (x.size() != y.size()) return ErrorCode::NA;
  double total = 0;
  for (std::int64_t i = 0; i < x.size(); ++i) {
    const Value a = x.at(i / x.columns(), i % x.columns());
    const Value b = y.at(i / y.columns(), i % y.columns());
    if (a.isError()) return a;
    if (b.isError()) return b;
    if (a.isNumber() && b.isNumber()) total += term(a.number(), b.number());
  }
  return numberResult(total);
}

const FunctionSpec kConditional[] = {
    rawOperand("COUNTIF", 2, 2, [](const Args& a) { return conditional(a, kCountLayout, Reduce::Count); }),
    rawOperand("COUNTIFS", 2, kManyArgs, [](const Args& a) { return conditional(a, kCountLayout, Reduce::Count); }),
    rawOperand("SUMIF", 2, 3, [](const Args& a) { return conditional(a, kIfLayout, Reduce::Sum); }),
    rawOperand("SUMIFS", 3, kManyArgs, [](const Args& a) { return conditional(a, kIfsLayout, Reduce::Sum); }),
    rawOperand("AVERAGEIF", 2, 3, [](const Args& a) { return conditional(a, kIfLayout, Reduce::Average); }),
    rawOperand("AVERAGEIFS", 3, kManyArgs, [](const Args& a) { return conditional(a, kIfsLayout, Reduce::Average); }),
    newer(rawOperand("MAXIFS", 3, kManyArgs, [](const Args& a) { return conditional(a, kIfsLayout, Reduce::Max); })),
    newer(rawOperand("MINIFS", 3, kManyArgs, [](const Args& a) { return conditional(a, kIfsLayout, Reduce::Min); })),
    raw("COUNTBLANK", 1, 1, countBlank),
    arrayArguments(raw("SUMPRODUCT", 1, kManyArgs, sumProduct)),
    arrayArguments(raw("SUMX2MY2", 2, 2, [](const Args& a) { return sumOfPairs(a, [](double x, double y) { return x * x - y * y; }); })),
    arrayArguments(raw("SUMX2PY2", 2, 2, [](const Args& a) { return sumOfPairs(a, [](double x, double y) { return x * x + y * y; }); })),
    arrayArguments(raw("SUMXMY2", 2, 2, [](const Args& a) { return sumOfPairs(a, [](double x, double y) { return (x - y) * (x - y); }); })),
};

}  // namespace

std::span<const FunctionSpec> conditionalFunctions() { return kConditional; }

}  // namespace calc
