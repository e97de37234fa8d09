#include "grouping_functions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

#include "calc/cell_address.h"
#include "coercion.h"
#include "function_spec.h"

namespace calc {
namespace {

// The result of an error or of what the engine leaves to the spreadsheet (a layout it does
// not know for certain): no value is better than a made-up one.
using Failure = std::optional<Value>;

constexpr std::int64_t kMaxCells = 1 << 20;
constexpr int kAutomatic = 1000;  // a depth or header mode left out

Operand valueOperand(Value value) {
  Operand o;
  o.set(std::move(value));
  return o;
}

// An argument's values, row by row.
struct Table {
  std::int32_t rows = 0, columns = 0;
  std::vector<Value> values;

  const Value& at(std::int32_t r, std::int32_t c) const { return values[static_cast<std::size_t>(r) * columns + c]; }
};

// Reads a range (whole columns cut at the sheet's used rows), an array or one value.
Failure readTable(const Operand& o, const EvalContext& context, Table& out) {
  if (o.kind == Operand::Kind::Missing) return Value(ErrorCode::Uncomputed);
  if (o.isScalar()) {
    if (o.scalar().isError()) return o.scalar();
    out = Table{1, 1, {o.scalar()}};
    return std::nullopt;
  }
  if (o.kind == Operand::Kind::Array) {
    out = Table{o.array->rows, o.array->columns, o.array->values};
    return std::nullopt;
  }
  const CellRange& r = o.range;
  if (!r.sheet.empty() && context.sheetNumber(r.sheet) == 0) return Value(ErrorCode::Ref);
  const CellRef extent = context.usedExtent(r.sheet);
  const std::int32_t lastRow = r.row1 == 1 && r.row2 == kMaxRows ? std::max(1, std::min(r.row2, extent.row)) : r.row2;
  const std::int32_t lastColumn =
      r.column1 == 1 && r.column2 == kMaxColumns ? std::max(1, std::min(r.column2, extent.column)) : r.column2;
  out.rows = lastRow - r.row1 + 1;
  out.columns = lastColumn - r.column1 + 1;
  if (std::int64_t{out.rows} * out.columns > kMaxCells) return Value(ErrorCode::Num);
  out.values.clear();
  out.values.reserve(static_cast<std::size_t>(out.rows) * out.columns);
  for (std::int32_t row = r.row1; row <= lastRow; ++row)
    for (std::int32_t column = r.column1; column <= lastColumn; ++column)
      out.values.push_back(context.cell(CellRef{r.sheet, row, column}));
  return std::nullopt;
}

// A whole-number option; `fallback` when left out.
Failure integerOption(std::span<const Operand> args, std::size_t i, int fallback, int& out,
                      const EvalContext& context) {
  if (i >= args.size() || args[i].kind == Operand::Kind::Missing) {
    out = fallback;
    return std::nullopt;
  }
  const Value v = scalarOf(args[i], context);
  if (v.isError()) return v;
  const Number n = toNumber(v, context);
  if (n.failed) return n.error;
  if (std::fabs(n.value) > 1e6) return Value(ErrorCode::Value);
  out = static_cast<int>(std::trunc(n.value));
  return std::nullopt;
}

// A sort order: one column number or a vector of them, each counted from 1 over the fields and
// then the value columns, negative for descending. Left out: every field ascending.
Failure sortOption(std::span<const Operand> args, std::size_t i, int fields, int columns, std::vector<int>& out,
                   const EvalContext& context) {
  out.clear();
  if (i >= args.size() || args[i].kind == Operand::Kind::Missing) {
    for (int k = 1; k <= fields; ++k) out.push_back(k);
    return std::nullopt;
  }
  Table t;
  if (auto failure = readTable(args[i], context, t)) return failure;
  if (t.rows != 1 && t.columns != 1) return Value(ErrorCode::Value);
  for (const Value& v : t.values) {
    if (v.isError()) return v;
    const Number n = toNumber(v, context);
    if (n.failed) return n.error;
    const int k = static_cast<int>(std::trunc(n.value));
    if (k == 0 || std::abs(k) > columns) return Value(ErrorCode::Value);
    out.push_back(k);
  }
  return std::nullopt;
}

using Rows = std::vector<std::int32_t>;  // data rows, ascending

// The order SORT gives: numbers, texts (without regard to case), truth values, errors, and
// blanks last either way. <0, 0, >0 for `a` before, with or after `b`; `order` -1 reverses.
int sortCompare(const Value& a, const Value& b, int order) {
  const auto rank = [](const Value& v) { return v.isNumber() ? 0 : v.isText() ? 1 : v.isBool() ? 2 : v.isError() ? 3 : 4; };
  const int ra = rank(a), rb = rank(b);
  if (ra == 4 || rb == 4) return ra == rb ? 0 : (ra == 4 ? 1 : -1);
  const int c = ra != rb   ? (ra < rb ? -1 : 1)
                : ra == 3 ? static_cast<int>(a.error()) - static_cast<int>(b.error())
                          : compareValues(a, b);
  return c * order;
}

// A group of data rows sharing the values of the first path.size() fields (all of them, in a
// flat table); the root, with an empty path, holds every row kept.
struct Group {
  std::vector<Value> path;
  Rows rows;
  std::vector<Group> children;
  const Group* parent = nullptr;
  std::vector<Value> sortValues;  // its aggregates, when the order asks for them
};

// The rows of `parent` split by the values of fields `first` to `last` (equal as SORT compares
// them, text without regard to case), each group showing the values its first row has.
std::vector<Group> splitBy(const Group& parent, const Table& keys, std::int32_t first, std::int32_t last) {
  Rows order = parent.rows;
  const auto compare = [&](std::int32_t x, std::int32_t y) {
    for (std::int32_t c = first; c <= last; ++c)
      if (const int k = sortCompare(keys.at(x, c), keys.at(y, c), 1); k != 0) return k;
    return 0;
  };
  std::stable_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) { return compare(x, y) < 0; });
  std::vector<Group> groups;
  for (std::size_t start = 0; start < order.size();) {
    std::size_t end = start + 1;
    while (end < order.size() && compare(order[start], order[end]) == 0) ++end;
    Group g;
    g.path = parent.path;
    for (std::int32_t c = first; c <= last; ++c) g.path.push_back(keys.at(order[start], c));
    g.rows.assign(order.begin() + static_cast<std::ptrdiff_t>(start), order.begin() + static_cast<std::ptrdiff_t>(end));
    std::sort(g.rows.begin(), g.rows.end());
    groups.push_back(std::move(g));
    start = end;
  }
  return groups;
}

// The groups under `root`: one level per field (a hierarchy), or one level of whole rows of
// fields (a flat table).
void buildTree(Group& root, const Table& keys, bool flat) {
  if (keys.columns == 0) return;
  if (flat) {
    root.children = splitBy(root, keys, 0, keys.columns - 1);
    return;
  }
  const auto level = static_cast<std::int32_t>(root.path.size());
  if (level >= keys.columns) return;
  root.children = splitBy(root, keys, level, level);
  for (Group& child : root.children) buildTree(child, keys, false);
}

void linkParents(Group& g) {
  for (Group& child : g.children) {
    child.parent = &g;
    linkParents(child);
  }
}

Rows intersection(const Rows& a, const Rows& b) {
  Rows out;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

// Calls the aggregating function on a group's values: with one parameter it gets them alone,
// with two (PERCENTOF) also the values they are a part of.
class Aggregator {
 public:
  Aggregator(const Operand& function, std::size_t parameters, const Table& values, LambdaCaller& caller,
             const EvalContext& context)
      : function_(function), parameters_(parameters), values_(values), caller_(caller), context_(context) {}

  bool wantsWhole() const { return parameters_ >= 2; }

  Value operator()(const Rows& part, const Rows& whole, std::int32_t column) const {
    Operand args[2] = {columnOf(part, column), wantsWhole() ? columnOf(whole, column) : Operand()};
    const Operand result = caller_.call(function_, {args, wantsWhole() ? 2u : 1u});
    // One value per cell: an array or a range of several cells cannot be one; an empty cell
    // is 0, as in the arrays MAP builds.
    if (result.kind == Operand::Kind::Array)
      return result.array->values.size() == 1 ? result.array->values.front() : Value(ErrorCode::Value);
    if (result.kind == Operand::Kind::Range && !result.range.isSingleCell()) return ErrorCode::Value;
    Value v = scalarOf(result, context_);
    return v.isEmpty() ? Value(0.0) : v;
  }

 private:
  Operand columnOf(const Rows& rows, std::int32_t column) const {
    auto array = std::make_shared<Array>();
    array->rows = static_cast<std::int32_t>(rows.size());
    array->columns = 1;
    array->values.reserve(rows.size());
    for (std::int32_t r : rows) array->values.push_back(values_.at(r, column));
    Operand o;
    o.kind = Operand::Kind::Array;
    o.array = std::move(array);
    return o;
  }

  const Operand& function_;
  std::size_t parameters_;
  const Table& values_;
  LambdaCaller& caller_;
  const EvalContext& context_;
};

// Puts the children of every group in the order asked: by field values (a field deeper than
// the group's own ties) or by the group's aggregate of a value column, then by the fields.
class Orderer {
 public:
  Orderer(const std::vector<int>& keys, std::int32_t fields, const Aggregator& aggregate, const Rows& across)
      : keys_(keys), fields_(fields), aggregate_(aggregate), across_(across) {}

  void order(Group& g) const {
    for (Group& child : g.children) {
      for (int k : keys_)
        if (std::abs(k) > fields_) {
          const Rows part = intersection(child.rows, across_);
          child.sortValues.push_back(aggregate_(part, across_, std::abs(k) - fields_ - 1));
        }
      order(child);
    }
    std::stable_sort(g.children.begin(), g.children.end(),
                     [&](const Group& a, const Group& b) { return compare(a, b) < 0; });
  }

 private:
  int compare(const Group& a, const Group& b) const {
    std::size_t aggregateAt = 0;
    for (int k : keys_) {
      const int order = k < 0 ? -1 : 1;
      const auto c = static_cast<std::size_t>(std::abs(k) - 1);
      int result = 0;
      if (std::abs(k) > fields_) {
        result = sortCompare(a.sortValues[aggregateAt], b.sortValues[aggregateAt], order);
        ++aggregateAt;
      } else if (c < a.path.size() && c < b.path.size()) {
        result = sortCompare(a.path[c], b.path[c], order);
      }
      if (result != 0) return result;
    }
    for (std::size_t c = 0; c < a.path.size() && c < b.path.size(); ++c)
      if (const int result = sortCompare(a.path[c], b.path[c], 1); result != 0) return result;
    return 0;
  }

  const std::vector<int>& keys_;
  std::int32_t fields_;
  const Aggregator& aggregate_;
  const Rows& across_;
};

// Which totals a side shows: the grand total and subtotals down to `depth` - 1 levels, above
// their groups when `atTop`.
struct Totals {
  int depth = 1;
  bool atTop = false;
};

Totals totalsOf(int option, std::int32_t fields, bool flat) {
  if (option == kAutomatic) return Totals{flat ? 1 : fields, false};
  Totals t{std::abs(option), option < 0};
  t.depth = std::min<int>(t.depth, flat ? 1 : fields);
  return t;
}

// The lines of one side in the order shown: groups of every field, subtotals and the total.
void layOut(const Group& g, Totals totals, std::vector<const Group*>& lines) {
  const auto level = static_cast<int>(g.path.size());
  if (g.children.empty() && level > 0) {
    lines.push_back(&g);
    return;
  }
  const bool total = level == 0 ? totals.depth >= 1 : level <= totals.depth - 1;
  if (total && totals.atTop) lines.push_back(&g);
  for (const Group& child : g.children) layOut(child, totals, lines);
  if (total && !totals.atTop) lines.push_back(&g);
}

// The label of a line at field `i`: its value, blank below a subtotal's fields, and "Total"
// first on the grand total's line.
Value labelOf(const Group& line, std::size_t i) {
  if (line.path.empty()) return i == 0 ? Value(std::string("Total")) : Value();
  return i < line.path.size() ? line.path[i] : Value();
}

// Field headers: whether the data's first row holds them, and whether the result shows them.
struct Headers {
  bool inData = false, shown = false;
};

// Modes: 0 none, 1 in the data and hidden, 2 generated (left to the spreadsheet), 3 in the data
// and shown; left out, the data has them when the values begin with a text above a number,
// shown when there are several levels of fields.
Failure headersOf(int mode, const Table& values, bool severalLevels, Headers& out) {
  switch (mode) {
    case 0: out = {false, false}; return std::nullopt;
    case 1: out = {true, false}; return std::nullopt;
    case 2: return Value(ErrorCode::Uncomputed);
    case 3: out = {true, true}; return std::nullopt;
    case kAutomatic: {
      const bool inData = values.rows >= 2 && values.at(0, 0).isText() && values.at(1, 0).isNumber();
      out = {inData, inData && severalLevels};
      return std::nullopt;
    }
    default: return Value(ErrorCode::Value);
  }
}

// The rows the filter keeps (a column or row of truth values as long as the fields).
Failure keptRows(std::span<const Operand> args, std::size_t i, std::int32_t rows, std::int32_t first, Rows& kept,
                 const EvalContext& context) {
  kept.clear();
  Table filter;
  const bool filtered = i < args.size() && args[i].kind != Operand::Kind::Missing;
  if (filtered) {
    if (auto failure = readTable(args[i], context, filter)) return failure;
    if ((filter.columns != 1 && filter.rows != 1) || static_cast<std::int32_t>(filter.values.size()) != rows)
      return Value(ErrorCode::Value);
  }
  for (std::int32_t r = first; r < rows; ++r) {
    if (filtered) {
      const Truth t = toTruth(filter.values[static_cast<std::size_t>(r)]);
      if (t.failed) return t.error;
      if (!t.value) continue;
    }
    kept.push_back(r - first);
  }
  if (kept.empty()) return Value(ErrorCode::Value);  // nothing to summarise (the spreadsheet's #CALC!)
  return std::nullopt;
}

// The data rows of a table below its header row, if it has one.
Table bodyOf(const Table& t, bool headed) {
  if (!headed) return t;
  Table body{t.rows - 1, t.columns, {}};
  body.values.assign(t.values.begin() + t.columns, t.values.end());
  return body;
}

// The function argument: a LAMBDA, or a function passed by name. A vector of them is left to
// the spreadsheet.
Failure functionOf(const Operand& function, const LambdaCaller& caller, std::size_t& parameters) {
  if (const auto count = caller.parameterCount(function)) {
    parameters = *count;
    return std::nullopt;
  }
  if (function.kind == Operand::Kind::Array || function.kind == Operand::Kind::Range)
    return Value(ErrorCode::Uncomputed);
  if (function.isScalar() && function.scalar().isError()) return function.scalar();
  return Value(ErrorCode::Value);
}

Operand resultOf(Array array) {
  if (array.values.size() == 1) return valueOperand(array.values.front());
  Operand out;
  out.kind = Operand::Kind::Array;
  out.array = std::make_shared<const Array>(std::move(array));
  return out;
}

// The arguments GROUPBY and PIVOTBY share, read and checked.
struct Source {
  Table rowFields, columnFields, values;
  Headers headers;
  Rows kept;
  std::size_t parameters = 1;
};

Failure readSource(std::span<const Operand> args, bool pivot, int headerMode, std::size_t filterAt,
                   LambdaCaller& caller, const EvalContext& context, Source& s) {
  const std::size_t valuesAt = pivot ? 2 : 1;
  if (auto failure = readTable(args[0], context, s.rowFields)) return failure;
  if (pivot)
    if (auto failure = readTable(args[1], context, s.columnFields)) return failure;
  if (auto failure = readTable(args[valuesAt], context, s.values)) return failure;
  if (auto failure = functionOf(args[valuesAt + 1], caller, s.parameters)) return failure;
  const std::int32_t rows = s.values.rows;
  if (s.rowFields.rows != rows || (pivot && s.columnFields.rows != rows)) return Value(ErrorCode::Value);
  const bool severalLevels = s.rowFields.columns > 1 || (pivot && s.columnFields.columns > 1);
  if (auto failure = headersOf(headerMode, s.values, severalLevels, s.headers)) return failure;
  return keptRows(args, filterAt, rows, s.headers.inData ? 1 : 0, s.kept, context);
}

// The tree of one side's groups under `root`, ordered and linked to their parents (which is why
// the root is the caller's: it must not move afterwards).
void buildSide(Group& root, const Table& fields, const Rows& kept, bool flat, const std::vector<int>& order,
               const Aggregator& aggregate, const Rows& across) {
  root.rows = kept;
  buildTree(root, fields, flat);
  Orderer(order, fields.columns, aggregate, across).order(root);
  linkParents(root);
}

Failure groupByResult(std::span<const Operand> args, LambdaCaller& caller, const EvalContext& context, Array& out) {
  int headerMode = 0, depth = 0, relationship = 0;
  if (auto failure = integerOption(args, 3, kAutomatic, headerMode, context)) return failure;
  if (auto failure = integerOption(args, 4, kAutomatic, depth, context)) return failure;
  if (auto failure = integerOption(args, 7, 0, relationship, context)) return failure;
  if (relationship != 0 && relationship != 1) return Value(ErrorCode::Value);
  Source s;
  if (auto failure = readSource(args, false, headerMode, 6, caller, context, s)) return failure;
  const Table keys = bodyOf(s.rowFields, s.headers.inData), values = bodyOf(s.values, s.headers.inData);
  std::vector<int> order;
  if (auto failure = sortOption(args, 5, keys.columns, keys.columns + values.columns, order, context)) return failure;

  const Aggregator aggregate(args[2], s.parameters, values, caller, context);
  Group root;
  buildSide(root, keys, s.kept, relationship == 1, order, aggregate, s.kept);
  std::vector<const Group*> lines;
  layOut(root, totalsOf(depth, keys.columns, relationship == 1), lines);

  const std::int32_t width = keys.columns + values.columns;
  const std::int64_t height = static_cast<std::int64_t>(lines.size()) + (s.headers.shown ? 1 : 0);
  if (height * width > kMaxLambdaArrayValues) return Value(ErrorCode::Num);
  out.rows = static_cast<std::int32_t>(height);
  out.columns = width;
  if (s.headers.shown) {
    for (std::int32_t c = 0; c < keys.columns; ++c) out.values.push_back(s.rowFields.at(0, c));
    for (std::int32_t c = 0; c < values.columns; ++c) out.values.push_back(s.values.at(0, c));
  }
  for (const Group* line : lines) {
    for (std::int32_t c = 0; c < keys.columns; ++c) out.values.push_back(labelOf(*line, static_cast<std::size_t>(c)));
    for (std::int32_t c = 0; c < values.columns; ++c) out.values.push_back(aggregate(line->rows, s.kept, c));
  }
  return std::nullopt;
}

// What PIVOTBY's function gets as the whole a cell is a part of (relative_to): 0 the column's
// total, 1 the row's, 2 the grand total, 3 the parent column's total, 4 the parent row's.
Rows wholeFor(int relativeTo, const Group& row, const Group& column, const Rows& all) {
  const Group& parentColumn = column.parent ? *column.parent : column;
  const Group& parentRow = row.parent ? *row.parent : row;
  switch (relativeTo) {
    case 0: return column.rows;
    case 1: return row.rows;
    case 3: return intersection(row.rows, parentColumn.rows);
    case 4: return intersection(parentRow.rows, column.rows);
    default: return all;
  }
}

Failure pivotByResult(std::span<const Operand> args, LambdaCaller& caller, const EvalContext& context, Array& out) {
  int headerMode = 0, rowDepth = 0, columnDepth = 0, relativeTo = 0;
  if (auto failure = integerOption(args, 4, kAutomatic, headerMode, context)) return failure;
  if (auto failure = integerOption(args, 5, kAutomatic, rowDepth, context)) return failure;
  if (auto failure = integerOption(args, 7, kAutomatic, columnDepth, context)) return failure;
  if (auto failure = integerOption(args, 10, 0, relativeTo, context)) return failure;
  if (relativeTo < 0 || relativeTo > 4) return Value(ErrorCode::Value);
  Source s;
  if (auto failure = readSource(args, true, headerMode, 9, caller, context, s)) return failure;
  // Shown field headers and several value columns have a layout left to the spreadsheet.
  if (s.headers.shown || s.values.columns != 1) return Value(ErrorCode::Uncomputed);
  const bool headed = s.headers.inData;
  const Table rowKeys = bodyOf(s.rowFields, headed), columnKeys = bodyOf(s.columnFields, headed),
              values = bodyOf(s.values, headed);
  std::vector<int> rowOrder, columnOrder;
  if (auto failure = sortOption(args, 6, rowKeys.columns, rowKeys.columns + 1, rowOrder, context)) return failure;
  if (auto failure = sortOption(args, 8, columnKeys.columns, columnKeys.columns + 1, columnOrder, context))
    return failure;

  const Aggregator aggregate(args[3], s.parameters, values, caller, context);
  Group rows, columns;
  buildSide(rows, rowKeys, s.kept, false, rowOrder, aggregate, s.kept);
  buildSide(columns, columnKeys, s.kept, false, columnOrder, aggregate, s.kept);
  std::vector<const Group*> rowLines, columnLines;
  layOut(rows, totalsOf(rowDepth, rowKeys.columns, false), rowLines);
  layOut(columns, totalsOf(columnDepth, columnKeys.columns, false), columnLines);

  const std::int64_t height = static_cast<std::int64_t>(rowLines.size()) + columnKeys.columns;
  const std::int64_t width = static_cast<std::int64_t>(columnLines.size()) + rowKeys.columns;
  if (height * width > kMaxLambdaArrayValues) return Value(ErrorCode::Num);
  out.rows = static_cast<std::int32_t>(height);
  out.columns = static_cast<std::int32_t>(width);
  for (std::int32_t h = 0; h < columnKeys.columns; ++h) {
    out.values.insert(out.values.end(), static_cast<std::size_t>(rowKeys.columns), Value());
    for (const Group* column : columnLines) out.values.push_back(labelOf(*column, static_cast<std::size_t>(h)));
  }
  for (const Group* row : rowLines) {
    for (std::int32_t c = 0; c < rowKeys.columns; ++c) out.values.push_back(labelOf(*row, static_cast<std::size_t>(c)));
    for (const Group* column : columnLines) {
      // A combination without data stays blank.
      const Rows part = intersection(row->rows, column->rows);
      out.values.push_back(part.empty() ? Value()
                                        : aggregate(part, aggregate.wantsWhole() ? wholeFor(relativeTo, *row, *column, s.kept)
                                                                                 : Rows{},
                                                    0));
    }
  }
  return std::nullopt;
}

}  // namespace

Operand groupBy(std::span<const Operand> args, LambdaCaller& caller, const EvalContext& context) {
  Array out;
  if (auto failure = groupByResult(args, caller, context, out)) return valueOperand(*failure);
  return resultOf(std::move(out));
}

Operand pivotBy(std::span<const Operand> args, LambdaCaller& caller, const EvalContext& context) {
  Array out;
  if (auto failure = pivotByResult(args, caller, context, out)) return valueOperand(*failure);
  return resultOf(std::move(out));
}

}  // namespace calc
