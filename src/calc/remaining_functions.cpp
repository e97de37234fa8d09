// The last functions of the table: regular expressions, width conversions, BAHTTEXT,
// PHONETIC, HYPERLINK, ENCODEURL, PERCENTOF and TRIMRANGE. The larger bodies live in the
// remaining_*.cpp files that remaining_functions.h lists.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "collect.h"
#include "coercion.h"
#include "lookup_grid.h"
#include "remaining_functions.h"

namespace calc {
namespace {

// PHONETIC: the reading of Japanese text, which the workbook does not store: the text itself.
// Over a range the texts of its cells are joined, numbers and other values left out.
Value phonetic(const Args& args) {
  if (!args.isRange(0)) {
    const Value v = args.scalar(0);
    return v.isError() || v.isText() ? v : Value(std::string());
  }
  std::string out;
  args.forEach(0, [&](const Value& v) {
    if (v.isText()) out.append(v.text());
    return true;
  });
  return textResult(std::move(out));
}

// HYPERLINK(link_location, [friendly_name]): the cell shows the friendly name, else the link.
Value hyperlink(const Args& args) {
  const std::size_t shown = args.size() > 1 && !args.isMissing(1) ? 1 : 0;
  const Value v = args.scalar(shown);
  return v.isEmpty() ? Value(0.0) : v;
}

// ENCODEURL: every byte of the UTF-8 text but letters, digits and "-._~" as %XX.
Value encodeUrl(const Value* a, std::size_t) {
  if (a[0].isError()) return a[0];
  const std::string text = toText(a[0]);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~';
    if (plain) {
      out.push_back(ch);
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return textResult(std::move(out));
}

// PERCENTOF(data_subset, data_all): the sum of the first over the sum of the second.
Value percentOf(const Args& args) {
  double part = 0, whole = 0;
  if (auto e = collectNumbers(onlyArgument(args, 0), kSumRule, [&](double x) { part += x; })) return *e;
  if (auto e = collectNumbers(onlyArgument(args, 1), kSumRule, [&](double x) { whole += x; })) return *e;
  if (whole == 0) return ErrorCode::Div0;
  return numberResult(part / whole);
}

// Which edges TRIMRANGE trims: 0 none, 1 leading, 2 trailing, 3 both (the default).
struct TrimEdges {
  bool leading = true, trailing = true;
};

std::optional<ErrorCode> trimEdgesOf(const Args& args, std::size_t i, TrimEdges& edges) {
  if (i >= args.size() || args.isMissing(i)) return std::nullopt;
  const Number n = toNumber(args.scalar(i));
  if (n.failed) return n.error;
  const double mode = std::trunc(n.value);
  if (mode < 0 || mode > 3) return ErrorCode::Value;
  edges.leading = mode == 1 || mode == 3;
  edges.trailing = mode == 2 || mode == 3;
  return std::nullopt;
}

bool trimsNothing(TrimEdges rows, TrimEdges columns) {
  return !rows.leading && !rows.trailing && !columns.leading && !columns.trailing;
}

// The rows [first, last] and columns of a grid that hold a value, as far as `edges` trim.
struct Bounds {
  std::int64_t row1, row2, column1, column2;
};

template <class Blank>
std::optional<Bounds> trimmedBounds(std::int64_t rows, std::int64_t columns, TrimEdges rowEdges,
                                    TrimEdges columnEdges, Blank&& blank) {
  std::int64_t top = rows, bottom = -1, left = columns, right = -1;
  for (std::int64_t r = 0; r < rows; ++r)
    for (std::int64_t c = 0; c < columns; ++c)
      if (!blank(r, c)) {
        top = std::min(top, r), bottom = std::max(bottom, r);
        left = std::min(left, c), right = std::max(right, c);
      }
  if (bottom < 0) return std::nullopt;
  return Bounds{rowEdges.leading ? top : 0, rowEdges.trailing ? bottom : rows - 1,
                columnEdges.leading ? left : 0, columnEdges.trailing ? right : columns - 1};
}

// TRIMRANGE(range, [trim_rows], [trim_cols]): the range without its blank outer rows and
// columns; an array likewise without its empty ones. Nothing left is #REF!.
Operand trimRange(const Args& args) {
  TrimEdges rowEdges, columnEdges;
  if (auto e = trimEdgesOf(args, 1, rowEdges)) return errorOperand(*e);
  if (auto e = trimEdgesOf(args, 2, columnEdges)) return errorOperand(*e);
  const Operand& op = args.operand(0);
  if (op.kind == Operand::Kind::Range) {
    const CellRange& r = op.range;
    // Cells past the sheet's used extent are blank: trailing ones trim at once.
    const CellRef extent = args.context().usedExtent(r.sheet);
    const std::int32_t lastRow = std::min(r.row2, extent.row), lastColumn = std::min(r.column2, extent.column);
    const auto blank = [&](std::int64_t row, std::int64_t column) {
      return args.context()
          .cell(CellRef{r.sheet, static_cast<std::int32_t>(r.row1 + row), static_cast<std::int32_t>(r.column1 + column)})
          .isEmpty();
    };
    const auto b = trimmedBounds(lastRow - r.row1 + 1, lastColumn - r.column1 + 1, rowEdges, columnEdges, blank);
    if (!b) return trimsNothing(rowEdges, columnEdges) ? op : errorOperand(ErrorCode::Ref);
    // Like the other functions of its kind, several cells come back as values for the cell to
    // show from the top-left.
    const std::int64_t lastRowKept = rowEdges.trailing ? b->row2 : r.rows() - 1;
    const std::int64_t lastColumnKept = columnEdges.trailing ? b->column2 : r.columns() - 1;
    return spilledPart(Grid(op, args.context()), b->row1, b->column1, lastRowKept - b->row1 + 1,
                       lastColumnKept - b->column1 + 1);
  }
  if (op.kind != Operand::Kind::Array) {
    Operand result = op;
    if (op.isScalar() && op.scalar().isEmpty()) return errorOperand(ErrorCode::Ref);
    return result;
  }
  const Array& a = *op.array;
  const auto b = trimmedBounds(a.rows, a.columns, rowEdges, columnEdges,
                               [&](std::int64_t row, std::int64_t column) {
                                 return a.at(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column)).isEmpty();
                               });
  if (!b) return trimsNothing(rowEdges, columnEdges) ? op : errorOperand(ErrorCode::Ref);
  auto trimmed = std::make_shared<Array>();
  trimmed->rows = static_cast<std::int32_t>(b->row2 - b->row1 + 1);
  trimmed->columns = static_cast<std::int32_t>(b->column2 - b->column1 + 1);
  for (std::int64_t row = b->row1; row <= b->row2; ++row)
    for (std::int64_t column = b->column1; column <= b->column2; ++column)
      trimmed->values.push_back(a.at(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column)));
  return arrayOperand(std::move(trimmed));
}

const FunctionSpec kRemaining[] = {
    newer(scalars("REGEXTEST", 2, 3, regexTest)),
    newer(rawOperand("REGEXEXTRACT", 2, 4, regexExtract)),
    newer(scalars("REGEXREPLACE", 3, 5, regexReplace)),
    scalars("ASC", 1, 1, halfWidth),
    scalars("JIS", 1, 1, fullWidth),
    scalars("DBCS", 1, 1, fullWidth),
    numbers("BAHTTEXT", 1, 1, bahtText),
    raw("PHONETIC", 1, 1, phonetic),
    raw("HYPERLINK", 1, 2, hyperlink),
    newer(scalars("ENCODEURL", 1, 1, encodeUrl)),
    newer(raw("PERCENTOF", 2, 2, percentOf)),
    newer(rawOperand("TRIMRANGE", 1, 3, trimRange)),
};

}  // namespace

std::span<const FunctionSpec> remainingFunctions() { return kRemaining; }

}  // namespace calc
