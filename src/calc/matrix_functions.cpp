// Matrices and generated arrays: MMULT, MDETERM, MINVERSE, MUNIT, TRANSPOSE, SEQUENCE and
// RANDARRAY. Each returns an array; a cell shows its top-left element.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "coercion.h"
#include "function_spec.h"
#include "value_grid.h"

namespace calc {
namespace {

// Arrays larger than this are refused (#NUM!) rather than built: a whole-sheet SEQUENCE or
// the product of two whole columns would take the machine's memory.
constexpr std::int64_t kMaxElements = 1 << 20;
// Matrix arithmetic past this many multiply-adds is refused the same way, so no formula hangs.
constexpr double kMaxOperations = 2e8;

struct Matrix {
  std::int64_t rows = 0, columns = 0;
  std::vector<double> x;  // row by row

  double& at(std::int64_t r, std::int64_t c) { return x[static_cast<std::size_t>(r * columns + c)]; }
  double at(std::int64_t r, std::int64_t c) const { return x[static_cast<std::size_t>(r * columns + c)]; }
};

Operand errorOperand(ErrorCode code) {
  Operand op;
  op.set(Value(code));
  return op;
}

Operand arrayOperand(std::shared_ptr<Array> array) {
  Operand op;
  op.kind = Operand::Kind::Array;
  op.array = std::move(array);
  return op;
}

// Every element must be a number: an error element gives that error, anything else #VALUE!.
bool readMatrix(const Args& args, std::size_t i, Matrix& m, ErrorCode& error) {
  if (args.isMissing(i)) return error = ErrorCode::Value, false;
  const ValueGrid grid(args.operand(i), args.context());
  if (grid.size() > kMaxElements) return error = ErrorCode::Num, false;
  m.rows = grid.rows();
  m.columns = grid.columns();
  m.x.reserve(static_cast<std::size_t>(grid.size()));
  for (std::int64_t r = 0; r < m.rows; ++r)
    for (std::int64_t c = 0; c < m.columns; ++c) {
      const Value v = grid.at(r, c);
      if (v.isError()) return error = v.error(), false;
      if (!v.isNumber()) return error = ErrorCode::Value, false;
      m.x.push_back(v.number());
    }
  return true;
}

Operand fromMatrix(const Matrix& m) {
  auto out = std::make_shared<Array>();
  out->rows = static_cast<std::int32_t>(m.rows);
  out->columns = static_cast<std::int32_t>(m.columns);
  out->values.reserve(m.x.size());
  for (double x : m.x) {
    const Value v = numberResult(x);
    if (v.isError()) return errorOperand(v.error());
    out->values.push_back(v);
  }
  return arrayOperand(std::move(out));
}

Operand mmult(const Args& args) {
  Matrix a, b;
  ErrorCode error{};
  if (!readMatrix(args, 0, a, error) || !readMatrix(args, 1, b, error)) return errorOperand(error);
  if (a.columns != b.rows) return errorOperand(ErrorCode::Value);
  if (a.rows * b.columns > kMaxElements ||
      static_cast<double>(a.rows) * static_cast<double>(b.columns) * static_cast<double>(a.columns) > kMaxOperations)
    return errorOperand(ErrorCode::Num);
  Matrix product{a.rows, b.columns, std::vector<double>(static_cast<std::size_t>(a.rows * b.columns))};
  for (std::int64_t r = 0; r < a.rows; ++r)
    for (std::int64_t c = 0; c < b.columns; ++c) {
      double sum = 0;
      for (std::int64_t k = 0; k < a.columns; ++k) sum += a.at(r, k) * b.at(k, c);
      product.at(r, c) = sum;
    }
  return fromMatrix(product);
}

bool readSquare(const Args& args, Matrix& m, ErrorCode& error) {
  if (!readMatrix(args, 0, m, error)) return false;
  if (m.rows != m.columns) return error = ErrorCode::Value, false;
  if (std::pow(static_cast<double>(m.rows), 3) > kMaxOperations) return error = ErrorCode::Num, false;
  return true;
}

// Gaussian elimination with partial pivoting, applied alongside to `companion` (the identity,
// for an inverse). Returns the determinant; 0 when the matrix is singular.
double eliminate(Matrix& m, Matrix* companion) {
  const std::int64_t n = m.rows;
  double determinant = 1;
  for (std::int64_t col = 0; col < n; ++col) {
    std::int64_t pivot = col;
    for (std::int64_t r = col + 1; r < n; ++r)
      if (std::fabs(m.at(r, col)) > std::fabs(m.at(pivot, col))) pivot = r;
    if (m.at(pivot, col) == 0) return 0;
    if (pivot != col) {
      determinant = -determinant;
      for (std::int64_t c = 0; c < n; ++c) {
        std::swap(m.at(pivot, c), m.at(col, c));
        if (companion) std::swap(companion->at(pivot, c), companion->at(col, c));
      }
    }
    determinant *= m.at(col, col);
    for (std::int64_t r = 0; r < n; ++r) {
      if (r == col || (!companion && r < col)) continue;
      const double factor = m.at(r, col) / m.at(col, col);
      if (factor == 0) continue;
      for (std::int64_t c = 0; c < n; ++c) {
        m.at(r, c) -= factor * m.at(col, c);
        if (companion) companion->at(r, c) -= factor * companion->at(col, c);
      }
    }
  }
  return determinant;
}

Value mdeterm(const Args& args) {
  Matrix m;
  ErrorCode error{};
  if (!readSquare(args, m, error)) return error;
  return numberResult(eliminate(m, nullptr));
}

Matrix identity(std::int64_t n) {
  Matrix m{n, n, std::vector<double>(static_cast<std::size_t>(n * n))};
  for (std::int64_t i = 0; i < n; ++i) m.at(i, i) = 1;
  return m;
}

Operand minverse(const Args& args) {
  Matrix m;
  ErrorCode error{};
  if (!readSquare(args, m, error)) return errorOperand(error);
  Matrix inverse = identity(m.rows);
  if (eliminate(m, &inverse) == 0) return errorOperand(ErrorCode::Num);
  for (std::int64_t r = 0; r < m.rows; ++r)
    for (std::int64_t c = 0; c < m.columns; ++c) inverse.at(r, c) /= m.at(r, r);
  return fromMatrix(inverse);
}

// A size argument: truncated, at least 1, and the whole array within kMaxElements.
bool readCount(const Value& v, double& out, ErrorCode& error) {
  const Number n = toNumber(v);
  if (n.failed) return error = n.error, false;
  out = std::trunc(n.value);
  if (out < 1) return error = ErrorCode::Value, false;
  if (out > kMaxElements) return error = ErrorCode::Num, false;
  return true;
}

Operand munit(const Args& args) {
  double n = 0;
  ErrorCode error{};
  if (!readCount(args.scalar(0), n, error)) return errorOperand(error);
  if (n * n > kMaxElements) return errorOperand(ErrorCode::Num);
  return fromMatrix(identity(static_cast<std::int64_t>(n)));
}

// An optional argument of SEQUENCE or RANDARRAY, `fallback` when left out or empty.
bool optionalNumber(const Args& args, std::size_t i, double fallback, double& out, ErrorCode& error) {
  out = fallback;
  if (i >= args.size() || args.isMissing(i)) return true;
  const Value v = args.scalar(i);
  if (v.isEmpty()) return true;
  const Number n = toNumber(v);
  if (n.failed) return error = n.error, false;
  out = n.value;
  return true;
}

// The rows and columns of a generated array from arguments 0 and 1 (each 1 when left out).
bool readShape(const Args& args, double& rows, double& columns, ErrorCode& error) {
  rows = columns = 1;
  for (std::size_t i = 0; i < 2 && i < args.size(); ++i) {
    if (args.isMissing(i) || args.scalar(i).isEmpty()) continue;
    if (!readCount(args.scalar(i), i == 0 ? rows : columns, error)) return false;
  }
  if (rows * columns > kMaxElements) return error = ErrorCode::Num, false;
  return true;
}

template <class Element>
Operand generated(double rows, double columns, Element element) {
  auto out = std::make_shared<Array>();
  out->rows = static_cast<std::int32_t>(rows);
  out->columns = static_cast<std::int32_t>(columns);
  out->values.reserve(static_cast<std::size_t>(rows * columns));
  for (std::int32_t r = 0; r < out->rows; ++r)
    for (std::int32_t c = 0; c < out->columns; ++c) out->values.push_back(element(r, c));
  return arrayOperand(std::move(out));
}

Operand sequence(const Args& args) {
  double rows = 1, columns = 1, start = 1, step = 1;
  ErrorCode error{};
  if (!readShape(args, rows, columns, error) || !optionalNumber(args, 2, 1, start, error) ||
      !optionalNumber(args, 3, 1, step, error))
    return errorOperand(error);
  return generated(rows, columns, [&](std::int32_t r, std::int32_t c) {
    return numberResult(start + step * (static_cast<double>(r) * columns + c));
  });
}

Operand randArray(const Args& args) {
  double rows = 1, columns = 1, low = 0, high = 1, whole = 0;
  ErrorCode error{};
  if (!readShape(args, rows, columns, error) || !optionalNumber(args, 2, 0, low, error) ||
      !optionalNumber(args, 3, 1, high, error) || !optionalNumber(args, 4, 0, whole, error))
    return errorOperand(error);
  if (low > high) return errorOperand(ErrorCode::Value);
  if (whole != 0) {
    low = std::ceil(low);
    high = std::floor(high);
    if (low > high) return errorOperand(ErrorCode::Value);
  }
  const EvalContext& context = args.context();
  return generated(rows, columns, [&](std::int32_t, std::int32_t) -> Value {
    const double r = context.random();
    if (whole != 0) return std::min(high, low + std::floor(r * (high - low + 1)));
    return low + r * (high - low);
  });
}

// Rows become columns; empty cells of a range read as 0, as in any array taken from cells.
Operand transpose(const Args& args) {
  const ValueGrid grid(args.operand(0), args.context());
  if (grid.size() > kMaxElements) return errorOperand(ErrorCode::Num);
  return generated(static_cast<double>(grid.columns()), static_cast<double>(grid.rows()),
                   [&](std::int32_t r, std::int32_t c) {
                     Value v = grid.at(c, r);
                     return v.isEmpty() ? Value(0.0) : v;
                   });
}

const FunctionSpec kMatrix[] = {
    arrayArguments(rawOperand("MMULT", 2, 2, mmult)),
    arrayArguments(raw("MDETERM", 1, 1, mdeterm)),
    arrayArguments(rawOperand("MINVERSE", 1, 1, minverse)),
    newer(rawOperand("MUNIT", 1, 1, munit)),
    arrayArguments(rawOperand("TRANSPOSE", 1, 1, transpose)),
    newer(rawOperand("SEQUENCE", 1, 4, sequence)),
    newer(rawOperand("RANDARRAY", 0, 5, randArray)),
};

}  // namespace

std::span<const FunctionSpec> matrixFunctions() { return kMatrix; }

}  // namespace calc
