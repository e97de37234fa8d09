#include "lookup_arrays.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "lookup_grid.h"

namespace calc {
namespace {

// Arrays built here stay within what memory comfortably holds: a million values.
constexpr std::int64_t kMaxCells = 1 << 20;

Operand errorOperand(ErrorCode code) { return valueOperand(code); }

bool isError(const Operand& o) { return o.kind == Operand::Kind::Value && o.value.isError(); }

Operand arrayOperand(Array array) {
  if (array.values.size() == 1) return valueOperand(array.values.front());
  Operand out;
  out.kind = Operand::Kind::Array;
  out.array = std::make_shared<const Array>(std::move(array));
  return out;
}

// Every value of an argument, row by row; false (with `error`) for an error value or an
// argument too large to hold.
bool readAll(const Args& args, std::size_t i, Array& out, Value& error) {
  const Operand& o = args.operand(i);
  if (isError(o)) {
    error = o.value;
    return false;
  }
  if (o.kind == Operand::Kind::Array) {
    out = *o.array;
    return true;
  }
  if (onMissingSheet(o, args.context())) {
    error = ErrorCode::Ref;
    return false;
  }
  const Grid grid(o, args.context());
  if (grid.rows() * grid.columns() > kMaxCells) {
    error = ErrorCode::Num;
    return false;
  }
  out.rows = static_cast<std::int32_t>(grid.rows());
  out.columns = static_cast<std::int32_t>(grid.columns());
  out.values.clear();
  out.values.reserve(static_cast<std::size_t>(out.rows) * out.columns);
  for (std::int32_t r = 0; r < out.rows; ++r)
    for (std::int32_t c = 0; c < out.columns; ++c) out.values.push_back(grid.at(r, c));
  return true;
}

Array sized(std::int64_t rows, std::int64_t columns, const Value& fill = Value()) {
  Array a;
  a.rows = static_cast<std::int32_t>(rows);
  a.columns = static_cast<std::int32_t>(columns);
  a.values.assign(static_cast<std::size_t>(rows * columns), fill);
  return a;
}

Value& cellOf(Array& a, std::int64_t r, std::int64_t c) {
  return a.values[static_cast<std::size_t>(r * a.columns + c)];
}

// A count from the front (positive) or the back (negative) of `size` items, clamped.
struct Span {
  std::int64_t first, count;
};
Span taken(double n, std::int64_t size) {
  const std::int64_t k = std::min<std::int64_t>(static_cast<std::int64_t>(std::fabs(n)), size);
  return n >= 0 ? Span{0, k} : Span{size - k, k};
}
Span dropped(double n, std::int64_t size) {
  const std::int64_t k = std::min<std::int64_t>(static_cast<std::int64_t>(std::fabs(n)), size);
  return n >= 0 ? Span{k, size - k} : Span{0, size - k};
}

// TAKE and DROP: rows and columns from the front (positive) or the back (negative).
template <Span (*Part)(double, std::int64_t)>
Operand takeOrDrop(const Args& args, double leftOut) {
  const Operand& from = args.operand(0);
  if (isError(from)) return from;
  double rows = 0, columns = 0;
  Value error;
  if (!integerArgument(args, 1, leftOut, rows, error) || !integerArgument(args, 2, leftOut, columns, error))
    return valueOperand(error);
  const Grid grid(from, args.context());
  const Span r = args.isMissing(1) ? Span{0, grid.rows()} : Part(rows, grid.rows());
  const Span c = args.size() < 3 || args.isMissing(2) ? Span{0, grid.columns()} : Part(columns, grid.columns());
  if (r.count <= 0 || c.count <= 0) return errorOperand(ErrorCode::Calc);  // an empty array
  return spilledPart(grid, r.first, c.first, r.count, c.count);
}

// The positions CHOOSECOLS and CHOOSEROWS pick: from 1, or from the end when negative.
bool picks(const Args& args, std::int64_t size, std::vector<std::int64_t>& out, Value& error) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    double k = 0;
    if (!integerArgument(args, i, 0, k, error)) return false;
    if (k == 0 || std::fabs(k) > static_cast<double>(size)) {
      error = ErrorCode::Value;
      return false;
    }
    out.push_back(k > 0 ? static_cast<std::int64_t>(k) - 1 : size + static_cast<std::int64_t>(k));
  }
  return true;
}

template <bool columns>
Operand choose(const Args& args) {
  Array from;
  Value error;
  if (!readAll(args, 0, from, error)) return valueOperand(error);
  std::vector<std::int64_t> chosen;
  if (!picks(args, columns ? from.columns : from.rows, chosen, error)) return valueOperand(error);
  const auto n = static_cast<std::int64_t>(chosen.size());
  Array out = columns ? sized(from.rows, n) : sized(n, from.columns);
  for (std::int64_t r = 0; r < out.rows; ++r)
    for (std::int64_t c = 0; c < out.columns; ++c)
      cellOf(out, r, c) = columns ? from.at(static_cast<std::int32_t>(r), static_cast<std::int32_t>(chosen[c]))
                                  : from.at(static_cast<std::int32_t>(chosen[r]), static_cast<std::int32_t>(c));
  return arrayOperand(std::move(out));
}

// VSTACK and HSTACK: side by side or one under another, short ones padded with #N/A.
template <bool vertical>
Operand stack(const Args& args) {
  std::vector<Array> parts(args.size());
  Value error;
  std::int64_t along = 0, across = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!readAll(args, i, parts[i], error)) return valueOperand(error);
    along += vertical ? parts[i].rows : parts[i].columns;
    across = std::max<std::int64_t>(across, vertical ? parts[i].columns : parts[i].rows);
  }
  if (along * across > kMaxCells) return errorOperand(ErrorCode::Num);
  Array out = vertical ? sized(along, across, ErrorCode::NA) : sized(across, along, ErrorCode::NA);
  std::int64_t offset = 0;
  for (const Array& part : parts) {
    for (std::int32_t r = 0; r < part.rows; ++r)
      for (std::int32_t c = 0; c < part.columns; ++c)
        cellOf(out, vertical ? offset + r : r, vertical ? c : offset + c) = part.at(r, c);
    offset += vertical ? part.rows : part.columns;
  }
  return arrayOperand(std::move(out));
}

// TOCOL and TOROW: `ignore` 1 skips blanks, 2 errors, 3 both; read by rows unless by columns.
template <bool column>
Operand flatten(const Args& args) {
  Array from;
  Value error;
  double ignore = 0;
  if (!readAll(args, 0, from, error) || !integerArgument(args, 1, 0, ignore, error)) return valueOperand(error);
  bool byColumn = false;
  if (args.size() > 2 && !args.isMissing(2)) {
    const Truth t = toTruth(args.scalar(2));
    if (t.failed) return errorOperand(t.error);
    byColumn = t.value;
  }
  if (ignore < 0 || ignore > 3) return errorOperand(ErrorCode::Value);
  const bool skipBlanks = ignore == 1 || ignore == 3, skipErrors = ignore == 2 || ignore == 3;
  std::vector<Value> kept;
  const std::int32_t outer = byColumn ? from.columns : from.rows, inner = byColumn ? from.rows : from.columns;
  for (std::int32_t i = 0; i < outer; ++i)
    for (std::int32_t j = 0; j < inner; ++j) {
      const Value& v = byColumn ? from.at(j, i) : from.at(i, j);
      if ((skipBlanks && v.isEmpty()) || (skipErrors && v.isError())) continue;
      kept.push_back(v);
    }
  if (kept.empty()) return errorOperand(ErrorCode::Calc);  // an empty array
  Array out;
  out.rows = column ? static_cast<std::int32_t>(kept.size()) : 1;
  out.columns = column ? 1 : static_cast<std::int32_t>(kept.size());
  out.values = std::move(kept);
  return arrayOperand(std::move(out));
}

// WRAPROWS and WRAPCOLS: a row or column cut into rows (or columns) of `count`, the last one
// padded.
template <bool rows>
Operand wrap(const Args& args) {
  Array from;
  Value error;
  double count = 0;
  if (!readAll(args, 0, from, error) || !integerArgument(args, 1, 0, count, error)) return valueOperand(error);
  if (from.rows != 1 && from.columns != 1) return errorOperand(ErrorCode::Value);
  if (count < 1) return errorOperand(ErrorCode::Num);
  const Value pad = args.size() > 2 && !args.isMissing(2) ? args.scalar(2) : Value(ErrorCode::NA);
  const auto n = static_cast<std::int64_t>(from.values.size());
  const std::int64_t width = std::min<std::int64_t>(static_cast<std::int64_t>(count), n);
  const std::int64_t lines = (n + width - 1) / width;
  Array out = rows ? sized(lines, width, pad) : sized(width, lines, pad);
  for (std::int64_t i = 0; i < n; ++i)
    cellOf(out, rows ? i / width : i % width, rows ? i % width : i / width) = from.values[static_cast<std::size_t>(i)];
  return arrayOperand(std::move(out));
}

// Sort order: numbers, texts, truth values, errors (by code), blanks last either way.
int sortRank(const Value& v) {
  if (v.isNumber()) return 0;
  if (v.isText()) return 1;
  if (v.isBool()) return 2;
  if (v.isError()) return 3;
  return 4;
}

// <0, 0, >0 for `a` before, with or after `b` in ascending (`order` 1) or descending (-1) order.
int sortCompare(const Value& a, const Value& b, int order) {
  const int ra = sortRank(a), rb = sortRank(b);
  if (ra == 4 || rb == 4) return ra == rb ? 0 : (ra == 4 ? 1 : -1);
  int c = ra != rb ? (ra < rb ? -1 : 1)
          : ra == 3 ? static_cast<int>(a.error()) - static_cast<int>(b.error())
                    : compareValues(a, b);
  return c * order;
}

struct SortKey {
  const Array* by;  // one row or column per item sorted
  std::int32_t line;  // which row or column of `by` holds the key
  int order;
};

// The items (rows, or columns when `byColumn`) of `from` reordered by `keys`, stably.
Operand sortedBy(const Array& from, bool byColumn, const std::vector<SortKey>& keys) {
  const std::int32_t items = byColumn ? from.columns : from.rows;
  std::vector<std::int32_t> order(static_cast<std::size_t>(items));
  std::iota(order.begin(), order.end(), 0);
  const auto keyOf = [byColumn](const SortKey& k, std::int32_t item) -> const Value& {
    return byColumn ? k.by->at(k.line, item) : k.by->at(item, k.line);
  };
  std::stable_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
    for (const SortKey& k : keys)
      if (const int c = sortCompare(keyOf(k, x), keyOf(k, y), k.order); c != 0) return c < 0;
    return false;
  });
  Array out = sized(from.rows, from.columns);
  for (std::int32_t r = 0; r < from.rows; ++r)
    for (std::int32_t c = 0; c < from.columns; ++c)
      cellOf(out, r, c) = byColumn ? from.at(r, order[static_cast<std::size_t>(c)]) : from.at(order[static_cast<std::size_t>(r)], c);
  return arrayOperand(std::move(out));
}

bool truthArgument(const Args& args, std::size_t i, bool& out, Value& error) {
  if (i >= args.size() || args.isMissing(i)) return true;
  const Truth t = toTruth(args.scalar(i));
  if (t.failed) error = t.error;
  else out = t.value;
  return !t.failed;
}

bool sortOrder(const Args& args, std::size_t i, int& order, Value& error) {
  double k = 1;
  if (!integerArgument(args, i, 1, k, error)) return false;
  if (k != 1 && k != -1) {
    error = ErrorCode::Value;
    return false;
  }
  order = static_cast<int>(k);
  return true;
}

// Items ordered for UNIQUE, value by value: equal when of the same type and value, texts
// without regard to case.
int compareItems(const Array& a, bool byColumn, std::int32_t x, std::int32_t y) {
  const std::int32_t n = byColumn ? a.rows : a.columns;
  for (std::int32_t k = 0; k < n; ++k) {
    const Value& u = byColumn ? a.at(k, x) : a.at(x, k);
    const Value& v = byColumn ? a.at(k, y) : a.at(y, k);
    if (const int c = sortCompare(u, v, 1); c != 0) return c;
  }
  return 0;
}

// The items (rows or columns) of `from` listed in `items`, in that order.
Operand itemsOf(const Array& from, bool byColumn, const std::vector<std::int32_t>& items) {
  if (items.empty()) return errorOperand(ErrorCode::Calc);  // an empty array
  const auto n = static_cast<std::int64_t>(items.size());
  Array out = byColumn ? sized(from.rows, n) : sized(n, from.columns);
  for (std::int64_t r = 0; r < out.rows; ++r)
    for (std::int64_t c = 0; c < out.columns; ++c)
      cellOf(out, r, c) = byColumn ? from.at(static_cast<std::int32_t>(r), items[static_cast<std::size_t>(c)])
                                   : from.at(items[static_cast<std::size_t>(r)], static_cast<std::int32_t>(c));
  return arrayOperand(std::move(out));
}

}  // namespace

Operand take(const Args& args) { return takeOrDrop<taken>(args, 0); }
Operand drop(const Args& args) { return takeOrDrop<dropped>(args, 0); }
Operand chooseColumns(const Args& args) { return choose<true>(args); }
Operand chooseRows(const Args& args) { return choose<false>(args); }
Operand verticalStack(const Args& args) { return stack<true>(args); }
Operand horizontalStack(const Args& args) { return stack<false>(args); }
Operand toColumn(const Args& args) { return flatten<true>(args); }
Operand toRow(const Args& args) { return flatten<false>(args); }
Operand wrapRows(const Args& args) { return wrap<true>(args); }
Operand wrapColumns(const Args& args) { return wrap<false>(args); }

// EXPAND(array, rows, [columns], [pad_with]): never smaller than the array.
Operand expand(const Args& args) {
  Array from;
  Value error;
  if (!readAll(args, 0, from, error)) return valueOperand(error);
  double rows = 0, columns = 0;
  if (!integerArgument(args, 1, from.rows, rows, error) || !integerArgument(args, 2, from.columns, columns, error))
    return valueOperand(error);
  if (rows < from.rows || columns < from.columns) return errorOperand(ErrorCode::Value);
  if (rows * columns > static_cast<double>(kMaxCells)) return errorOperand(ErrorCode::Num);
  const Value pad = args.size() > 3 && !args.isMissing(3) ? args.scalar(3) : Value(ErrorCode::NA);
  Array out = sized(static_cast<std::int64_t>(rows), static_cast<std::int64_t>(columns), pad);
  for (std::int32_t r = 0; r < from.rows; ++r)
    for (std::int32_t c = 0; c < from.columns; ++c) cellOf(out, r, c) = from.at(r, c);
  return arrayOperand(std::move(out));
}

// SORT(array, [sort_index], [sort_order], [by_col]).
Operand sort(const Args& args) {
  Array from;
  Value error;
  double index = 1;
  int order = 1;
  bool byColumn = false;
  if (!readAll(args, 0, from, error) || !integerArgument(args, 1, 1, index, error) ||
      !sortOrder(args, 2, order, error) || !truthArgument(args, 3, byColumn, error))
    return valueOperand(error);
  if (index < 1 || index > (byColumn ? from.rows : from.columns)) return errorOperand(ErrorCode::Value);
  return sortedBy(from, byColumn, {SortKey{&from, static_cast<std::int32_t>(index) - 1, order}});
}

// SORTBY(array, by_array1, [order1], ...): each key a row or column as long as the array.
Operand sortBy(const Args& args) {
  Array from;
  Value error;
  if (!readAll(args, 0, from, error)) return valueOperand(error);
  std::vector<Array> by((args.size()) / 2);
  std::vector<SortKey> keys;
  bool byColumn = false;
  for (std::size_t i = 1, k = 0; i < args.size(); i += 2, ++k) {
    int order = 1;
    if (!readAll(args, i, by[k], error) || !sortOrder(args, i + 1, order, error)) return valueOperand(error);
    const bool isRow = by[k].rows == 1 && by[k].columns > 1;
    if (k == 0) byColumn = isRow;
    const bool fits = byColumn ? isRow && by[k].columns == from.columns : by[k].columns == 1 && by[k].rows == from.rows;
    if (!fits) return errorOperand(ErrorCode::Value);
    keys.push_back(SortKey{&by[k], 0, order});
  }
  return sortedBy(from, byColumn, keys);
}

// UNIQUE(array, [by_col], [exactly_once]).
Operand unique(const Args& args) {
  Array from;
  Value error;
  bool byColumn = false, exactlyOnce = false;
  if (!readAll(args, 0, from, error) || !truthArgument(args, 1, byColumn, error) ||
      !truthArgument(args, 2, exactlyOnce, error))
    return valueOperand(error);
  // Sorted, equal items stand together, the first of them first: O(n log n) however many.
  const std::int32_t items = byColumn ? from.columns : from.rows;
  std::vector<std::int32_t> order(static_cast<std::size_t>(items));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
    return compareItems(from, byColumn, x, y) < 0;
  });
  std::vector<bool> keep(static_cast<std::size_t>(items), false);
  for (std::size_t start = 0; start < order.size();) {
    std::size_t end = start + 1;
    while (end < order.size() && compareItems(from, byColumn, order[start], order[end]) == 0) ++end;
    if (!exactlyOnce || end - start == 1) keep[static_cast<std::size_t>(order[start])] = true;
    start = end;
  }
  std::vector<std::int32_t> kept;
  for (std::int32_t i = 0; i < items; ++i)
    if (keep[static_cast<std::size_t>(i)]) kept.push_back(i);
  return itemsOf(from, byColumn, kept);
}

// FILTER(array, include, [if_empty]): `include` a column as tall as the array or a row as wide.
Operand filter(const Args& args) {
  Array from, include;
  Value error;
  if (!readAll(args, 0, from, error) || !readAll(args, 1, include, error)) return valueOperand(error);
  const bool byRow = include.columns == 1 && include.rows == from.rows;
  const bool byColumn = !byRow && include.rows == 1 && include.columns == from.columns;
  if (!byRow && !byColumn) return errorOperand(ErrorCode::Value);
  std::vector<std::int32_t> kept;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(include.values.size()); ++i) {
    const Value& v = include.values[static_cast<std::size_t>(i)];
    if (v.isError()) return valueOperand(v);
    const Truth t = v.isEmpty() ? Truth{} : toTruth(v);
    if (t.failed) return errorOperand(ErrorCode::Value);
    if (t.value) kept.push_back(i);
  }
  if (kept.empty())
    return args.size() > 2 && !args.isMissing(2) ? args.operand(2) : errorOperand(ErrorCode::Calc);
  return itemsOf(from, byColumn, kept);
}

}  // namespace calc
