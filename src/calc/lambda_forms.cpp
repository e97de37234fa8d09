// MAP, REDUCE, SCAN, BYROW, BYCOL, MAKEARRAY and ISOMITTED: the LAMBDA each takes is called
// through the evaluator's LambdaCaller.
#include "lambda_forms.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "calc/cell_address.h"
#include "coercion.h"
#include "function_spec.h"
#include "grouping_functions.h"

namespace calc {
namespace {

constexpr LambdaFormSpec kForms[] = {
    {"BYCOL", LambdaForm::ByCol, 2, 2},         {"BYROW", LambdaForm::ByRow, 2, 2},
    {"GROUPBY", LambdaForm::GroupBy, 3, 8},     {"PIVOTBY", LambdaForm::PivotBy, 4, 11},
    {"ISOMITTED", LambdaForm::IsOmitted, 1, 1}, {"MAKEARRAY", LambdaForm::MakeArray, 3, 3},
    {"MAP", LambdaForm::Map, 2, kManyArgs},     {"REDUCE", LambdaForm::Reduce, 3, 3},
    {"SCAN", LambdaForm::Scan, 3, 3},
};

Operand valueOperand(Value value) {
  Operand o;
  o.set(std::move(value));
  return o;
}

Operand arrayOperand(std::shared_ptr<Array> array) {
  Operand o;
  o.kind = Operand::Kind::Array;
  o.array = std::move(array);
  return o;
}

// The grid an argument spans: a range's cells (whole columns and rows cut at the sheet's used
// extent, as every walk over them is), an array's values, or one value.
struct Grid {
  const Operand& source;
  std::int32_t rows = 1, columns = 1;

  Grid(const Operand& o, const EvalContext& context) : source(o) {
    if (o.kind == Operand::Kind::Range) {
      const CellRange& r = o.range;
      const CellRef extent = context.usedExtent(r.sheet);
      const bool wholeColumns = r.row1 == 1 && r.row2 == kMaxRows;
      const bool wholeRows = r.column1 == 1 && r.column2 == kMaxColumns;
      rows = (wholeColumns ? std::max(1, std::min(r.row2, extent.row)) : r.row2) - r.row1 + 1;
      columns = (wholeRows ? std::max(1, std::min(r.column2, extent.column)) : r.column2) - r.column1 + 1;
    } else if (o.kind == Operand::Kind::Array) {
      rows = o.array->rows;
      columns = o.array->columns;
    }
  }
  std::int64_t size() const { return std::int64_t{rows} * columns; }

  // Element (r, c) as a LAMBDA receives it: a cell stays a reference to that cell.
  Operand at(std::int32_t r, std::int32_t c) const {
    if (source.kind == Operand::Kind::Array) {
      if (r >= rows || c >= columns) return valueOperand(ErrorCode::NA);
      return valueOperand(source.array->at(r, c));
    }
    if (source.kind != Operand::Kind::Range) return source;
    if (r >= rows || c >= columns) return valueOperand(ErrorCode::NA);
    Operand cell = source;
    cell.range.row1 = cell.range.row2 = source.range.row1 + r;
    cell.range.column1 = cell.range.column2 = source.range.column1 + c;
    return cell;
  }
  // Row r (or column c) whole, as BYROW and BYCOL hand it over.
  Operand row(std::int32_t r) const { return slice(r, r, 0, columns - 1); }
  Operand column(std::int32_t c) const { return slice(0, rows - 1, c, c); }

 private:
  Operand slice(std::int32_t r1, std::int32_t r2, std::int32_t c1, std::int32_t c2) const {
    if (source.kind == Operand::Kind::Range) {
      Operand part = source;
      part.range.row1 = source.range.row1 + r1;
      part.range.row2 = source.range.row1 + r2;
      part.range.column1 = source.range.column1 + c1;
      part.range.column2 = source.range.column1 + c2;
      return part;
    }
    if (source.kind != Operand::Kind::Array) return source;
    auto part = std::make_shared<Array>();
    part->rows = r2 - r1 + 1;
    part->columns = c2 - c1 + 1;
    for (std::int32_t r = r1; r <= r2; ++r)
      for (std::int32_t c = c1; c <= c2; ++c) part->values.push_back(source.array->at(r, c));
    return arrayOperand(std::move(part));
  }
};

// A LAMBDA's result as one element of an array: an array or a range of several cells cannot
// be one (#CALC!); an empty cell is 0.
Value elementOf(const Operand& result, const EvalContext& context) {
  if (result.kind == Operand::Kind::Array)
    return result.array->values.size() == 1 ? result.array->values.front() : Value(ErrorCode::Calc);
  if (result.kind == Operand::Kind::Range && !result.range.isSingleCell()) return ErrorCode::Calc;
  Value v = scalarOf(result, context);
  return v.isEmpty() ? Value(0.0) : v;
}

// Whether `lambda` is a LAMBDA taking exactly `arity` arguments (or more, when the ones after
// are optional: the caller checks that).
bool fits(const LambdaCaller& caller, const Operand& lambda, std::size_t arity) {
  const auto count = caller.parameterCount(lambda);
  return count && *count >= arity;
}

class FormRun {
 public:
  FormRun(std::span<const Operand> args, LambdaCaller& caller, const EvalContext& context)
      : args_(args), caller_(caller), context_(context) {}

  Operand map() const {
    const Operand& lambda = args_.back();
    const auto grids = args_.first(args_.size() - 1);
    if (!fits(caller_, lambda, grids.size())) return valueOperand(ErrorCode::Value);
    std::int32_t rows = 1, columns = 1;
    for (const Operand& g : grids) {
      const Grid grid(g, context_);
      rows = std::max(rows, grid.rows), columns = std::max(columns, grid.columns);
    }
    if (std::int64_t{rows} * columns > kMaxLambdaArrayValues) return valueOperand(ErrorCode::Num);
    std::vector<Grid> sources;
    for (const Operand& g : grids) sources.emplace_back(g, context_);
    return build(rows, columns, [&](std::int32_t r, std::int32_t c) {
      std::vector<Operand> element;
      for (const Grid& grid : sources)
        element.push_back(grid.rows == 1 && grid.columns == 1 ? grid.at(0, 0) : grid.at(r, c));
      return caller_.call(lambda, element);
    });
  }

  Operand reduce(bool keepEach) const {
    const Operand& lambda = args_[2];
    if (!fits(caller_, lambda, 2)) return valueOperand(ErrorCode::Value);
    const Grid grid(args_[1], context_);
    if (grid.size() > kMaxLambdaArrayValues) return valueOperand(ErrorCode::Num);
    Operand accumulator = args_[0];
    if (!keepEach) {
      for (std::int32_t r = 0; r < grid.rows; ++r)
        for (std::int32_t c = 0; c < grid.columns; ++c) accumulator = step(lambda, accumulator, grid.at(r, c));
      return accumulator;
    }
    return build(grid.rows, grid.columns, [&](std::int32_t r, std::int32_t c) {
      accumulator = step(lambda, accumulator, grid.at(r, c));
      return accumulator;
    });
  }

  Operand byRowOrColumn(bool byRow) const {
    const Operand& lambda = args_[1];
    if (!fits(caller_, lambda, 1)) return valueOperand(ErrorCode::Value);
    const Grid grid(args_[0], context_);
    if (grid.size() > kMaxLambdaArrayValues) return valueOperand(ErrorCode::Num);
    return build(byRow ? grid.rows : 1, byRow ? 1 : grid.columns, [&](std::int32_t r, std::int32_t c) {
      const Operand part = byRow ? grid.row(r) : grid.column(c);
      return caller_.call(lambda, {&part, 1});
    });
  }

  Operand makeArray() const {
    const Operand& lambda = args_[2];
    std::int32_t size[2];
    for (int i = 0; i < 2; ++i) {
      const Value v = scalarOf(args_[i], context_);
      if (v.isError()) return valueOperand(v);
      const Number n = toNumber(v, context_);
      if (n.failed) return valueOperand(n.error);
      const double whole = std::trunc(n.value);
      if (whole < 1) return valueOperand(ErrorCode::Value);
      if (whole > static_cast<double>(kMaxLambdaArrayValues)) return valueOperand(ErrorCode::Num);
      size[i] = static_cast<std::int32_t>(whole);
    }
    if (std::int64_t{size[0]} * size[1] > kMaxLambdaArrayValues) return valueOperand(ErrorCode::Num);
    if (!fits(caller_, lambda, 2)) return valueOperand(ErrorCode::Value);
    return build(size[0], size[1], [&](std::int32_t r, std::int32_t c) {
      const Operand indices[2] = {valueOperand(r + 1.0), valueOperand(c + 1.0)};
      return caller_.call(lambda, indices);
    });
  }

 private:
  Operand step(const Operand& lambda, const Operand& accumulator, const Operand& element) const {
    const Operand pair[2] = {accumulator, element};
    return caller_.call(lambda, pair);
  }

  template <class Element>
  Operand build(std::int32_t rows, std::int32_t columns, Element&& element) const {
    auto array = std::make_shared<Array>();
    array->rows = rows;
    array->columns = columns;
    array->values.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (std::int32_t r = 0; r < rows; ++r)
      for (std::int32_t c = 0; c < columns; ++c) array->values.push_back(elementOf(element(r, c), context_));
    return arrayOperand(std::move(array));
  }

  std::span<const Operand> args_;
  LambdaCaller& caller_;
  const EvalContext& context_;
};

}  // namespace

std::optional<LambdaFormSpec> findLambdaForm(std::string_view name) {
  for (const LambdaFormSpec& spec : kForms)
    if (equalsInAnyCase(name, spec.name)) return spec;
  return std::nullopt;
}

namespace {

bool holdsUncomputed(const Operand& result) {
  if (result.kind == Operand::Kind::Value) return result.value.isUncomputed();
  if (result.kind != Operand::Kind::Array || !result.array) return false;
  const auto& values = result.array->values;
  return std::any_of(values.begin(), values.end(), [](const Value& v) { return v.isUncomputed(); });
}

Operand runLambdaForm(LambdaForm form, std::span<const Operand> args, LambdaCaller& caller,
                      const EvalContext& context) {
  const FormRun run(args, caller, context);
  switch (form) {
    case LambdaForm::IsOmitted: return valueOperand(args[0].kind == Operand::Kind::Missing);
    case LambdaForm::Map: return run.map();
    case LambdaForm::Reduce: return run.reduce(false);
    case LambdaForm::Scan: return run.reduce(true);
    case LambdaForm::ByRow: return run.byRowOrColumn(true);
    case LambdaForm::ByCol: return run.byRowOrColumn(false);
    case LambdaForm::MakeArray: return run.makeArray();
    case LambdaForm::GroupBy: return groupBy(args, caller, context);
    case LambdaForm::PivotBy: return pivotBy(args, caller, context);
  }
  return valueOperand(ErrorCode::Value);
}

}  // namespace

Operand applyLambdaForm(LambdaForm form, std::span<const Operand> args, LambdaCaller& caller,
                        const EvalContext& context) {
  Operand result = runLambdaForm(form, args, caller, context);
  // A part this engine cannot compute leaves the whole formula uncomputed, whatever the rest
  // of it (IFERROR, ISERROR) would make of the marker.
  if (holdsUncomputed(result)) context.noteUncomputed();
  return result;
}

}  // namespace calc
