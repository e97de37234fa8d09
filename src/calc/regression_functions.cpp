// Paired data: covariance, correlation, the regression line (SLOPE, INTERCEPT, STEYX,
// FORECAST), PROB, and the least-squares fits with array results (LINEST, LOGEST, TREND,
// GROWTH).
//
// The pairwise functions take the two lists place by place and leave out a pair with
// anything but a number on either side; lists of different sizes are #N/A. The fits want
// numbers only: any other value is #VALUE!, and shapes that do not match are #REF!.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "collect.h"
#include "regression_fit.h"

namespace calc {
namespace {

// Means and sums of squared and crossed deviations of paired lists, in two passes.
struct Moments {
  double n = 0, meanX = 0, meanY = 0, sxx = 0, syy = 0, sxy = 0;
};

Moments momentsOf(const std::vector<double>& xs, const std::vector<double>& ys) {
  Moments m;
  m.n = static_cast<double>(xs.size());
  if (xs.empty()) return m;
  for (std::size_t i = 0; i < xs.size(); ++i) m.meanX += xs[i], m.meanY += ys[i];
  m.meanX /= m.n;
  m.meanY /= m.n;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double dx = xs[i] - m.meanX, dy = ys[i] - m.meanY;
    m.sxx += dx * dx, m.syy += dy * dy, m.sxy += dx * dy;
  }
  return m;
}

// The moments of arguments `first` (x) and `second` (y), or the error that stopped them.
std::optional<ErrorCode> pairedMoments(const Args& args, std::size_t first, std::size_t second, Moments& m) {
  std::vector<double> xs, ys;
  if (auto error = pairedNumbers(args, first, second, xs, ys)) return error;
  m = momentsOf(xs, ys);
  return std::nullopt;
}

template <bool Sample>
Value covariance(const Args& args) {
  Moments m;
  if (auto error = pairedMoments(args, 0, 1, m)) return *error;
  if (m.n < (Sample ? 2 : 1)) return ErrorCode::Div0;
  return numberResult(m.sxy / (m.n - (Sample ? 1 : 0)));
}

// CORREL and PEARSON; RSQ squares it.
template <bool Squared>
Value correlation(const Args& args) {
  Moments m;
  if (auto error = pairedMoments(args, 0, 1, m)) return *error;
  if (m.sxx == 0 || m.syy == 0) return ErrorCode::Div0;
  const double r = m.sxy / std::sqrt(m.sxx * m.syy);
  return numberResult(Squared ? r * r : r);
}

// SLOPE, INTERCEPT and STEYX take the known y values first, then the known x values.
Value slope(const Args& args) {
  Moments m;
  if (auto error = pairedMoments(args, 1, 0, m)) return *error;
  if (m.sxx == 0) return ErrorCode::Div0;
  return numberResult(m.sxy / m.sxx);
}

Value intercept(const Args& args) {
  Moments m;
  if (auto error = pairedMoments(args, 1, 0, m)) return *error;
  if (m.sxx == 0) return ErrorCode::Div0;
  return numberResult(m.meanY - m.sxy / m.sxx * m.meanX);
}

Value standardErrorOfY(const Args& args) {
  Moments m;
  if (auto error = pairedMoments(args, 1, 0, m)) return *error;
  if (m.n < 3 || m.sxx == 0) return ErrorCode::Div0;
  return numberResult(std::sqrt(std::fmax(0.0, m.syy - m.sxy * m.sxy / m.sxx) / (m.n - 2)));
}

// FORECAST(x, known y, known x): the regression line at x.
Value forecast(const Args& args) {
  const Number x = toNumber(args.scalar(0));
  if (x.failed) return x.error;
  Moments m;
  if (auto error = pairedMoments(args, 2, 1, m)) return *error;
  if (m.sxx == 0) return ErrorCode::Div0;
  return numberResult(m.meanY + m.sxy / m.sxx * (x.value - m.meanX));
}

// PROB(values, probabilities, lower, [upper]): the probability of a value in [lower, upper],
// or of exactly lower. The probabilities must lie in [0, 1] and add up to 1.
Value prob(const Args& args) {
  std::vector<double> xs, ps;
  if (auto error = pairedNumbers(args, 0, 1, xs, ps)) return *error;
  const Number lower = toNumber(args.scalar(2));
  if (lower.failed) return lower.error;
  Number upper = lower;
  if (args.size() > 3 && !args.isMissing(3)) upper = toNumber(args.scalar(3));
  if (upper.failed) return upper.error;
  if (ps.empty()) return ErrorCode::Div0;
  double total = 0, inside = 0;
  for (std::size_t i = 0; i < ps.size(); ++i) {
    if (ps[i] < 0 || ps[i] > 1) return ErrorCode::Num;
    total += ps[i];
    if (xs[i] >= lower.value && xs[i] <= upper.value) inside += ps[i];
  }
  if (std::fabs(total - 1) > 1e-7) return ErrorCode::Num;
  return numberResult(inside);
}

// ---- least-squares fits ----

constexpr double kMaxFitSteps = 1e9;
constexpr double kMaxFitCells = 2e7;

// An argument as a block of numbers: anything else in it is #VALUE!, its first error returned.
struct Grid {
  std::int64_t rows = 0, columns = 0;
  std::vector<double> values;  // row by row
};

std::optional<ErrorCode> gridOf(const Args& args, std::size_t i, Grid& grid) {
  grid.values.clear();
  const Operand& op = args.operand(i);
  if (op.kind == Operand::Kind::Range) grid.rows = op.range.rows(), grid.columns = op.range.columns();
  else if (op.kind == Operand::Kind::Array) grid.rows = op.array->rows, grid.columns = op.array->columns;
  else grid.rows = grid.columns = 1;
  const ListedValues listed = listedValues(args, i);
  std::optional<ErrorCode> failure;
  for (const Value& v : listed.values) {
    if (v.isError()) return v.error();
    if (!v.isNumber()) failure = ErrorCode::Value;
    else grid.values.push_back(v.number());
  }
  // Cells past the used extent are empty, which is no number either.
  if (static_cast<std::int64_t>(listed.values.size()) != listed.size) failure = ErrorCode::Value;
  return failure;
}

// 1, 2, 3... in the shape of the known y values, when no x values are given.
Grid countingGrid(const Grid& like) {
  Grid grid{like.rows, like.columns, std::vector<double>(like.values.size())};
  for (std::size_t i = 0; i < grid.values.size(); ++i) grid.values[i] = static_cast<double>(i + 1);
  return grid;
}

// The observations of x as rows of k variables, for y laid out as a column (variables in
// columns), a row (variables in rows) or any block matched by one variable of its shape.
struct Design {
  std::size_t k = 1;
  bool variablesInRows = false;
  std::vector<double> x;  // observation by observation
};

std::optional<Design> designOf(const Grid& y, const Grid& known) {
  Design d;
  const std::size_t n = y.values.size();
  if (known.values.size() == n && (known.rows == 1 || known.columns == 1 || (known.rows == y.rows))) {
    d.x = known.values;
    return d;
  }
  if (y.columns == 1 && known.rows == y.rows) {
    d.k = static_cast<std::size_t>(known.columns);
    d.x = known.values;
    return d;
  }
  if (y.rows == 1 && known.columns == y.columns) {
    d.k = static_cast<std::size_t>(known.rows);
    d.variablesInRows = true;
    d.x.resize(known.values.size());
    for (std::size_t var = 0; var < d.k; ++var)
      for (std::size_t obs = 0; obs < n; ++obs) d.x[obs * d.k + var] = known.values[var * n + obs];
    return d;
  }
  return std::nullopt;
}

// What LINEST and TREND share: known y, known x, the intercept switch (argument `constAt`).
struct Problem {
  Grid y, knownX;
  Design design;
  bool withIntercept = true;
};

std::optional<ErrorCode> problemOf(const Args& args, std::size_t constAt, bool logarithmic, Problem& p) {
  if (auto error = gridOf(args, 0, p.y)) return error;
  if (args.size() > 1 && !args.isMissing(1)) {
    if (auto error = gridOf(args, 1, p.knownX)) return error;
  } else {
    p.knownX = countingGrid(p.y);
  }
  if (p.y.values.empty()) return ErrorCode::Value;
  const auto design = designOf(p.y, p.knownX);
  if (!design) return ErrorCode::Ref;
  p.design = *design;
  // The fit costs about n k min(n, k) steps and holds n k numbers: a size no sheet fits in
  // reasonable time and memory is refused rather than left to hang the calculation.
  const double n = static_cast<double>(p.y.values.size()), k = static_cast<double>(p.design.k);
  if (n * k > kMaxFitCells || n * k * std::min(n, k) > kMaxFitSteps) return ErrorCode::Num;
  if (args.size() > constAt && !args.isMissing(constAt)) {
    const Truth t = toTruth(args.scalar(constAt));
    if (t.failed) return t.error;
    p.withIntercept = t.value;
  }
  if (logarithmic)
    for (double& v : p.y.values) {
      if (v <= 0) return ErrorCode::Num;
      v = std::log(v);
    }
  return std::nullopt;
}

Value resultValue(double x) { return std::isnan(x) ? Value(ErrorCode::Num) : numberResult(x); }

// LINEST and LOGEST: coefficients last variable first, then the intercept; with statistics,
// four more rows (standard errors; r2 and the residuals' sd; F and the degrees of freedom;
// the regression and residual sums of squares), #N/A where a row has no more to give.
template <bool Logarithmic>
Operand linest(const Args& args) {
  Problem p;
  if (auto error = problemOf(args, 2, Logarithmic, p)) return errorOperand(*error);
  bool stats = false;
  if (args.size() > 3 && !args.isMissing(3)) {
    const Truth t = toTruth(args.scalar(3));
    if (t.failed) return errorOperand(t.error);
    stats = t.value;
  }
  const LinearFit fit = fitLeastSquares(p.y.values, p.design.x, p.design.k, p.withIntercept);
  const std::size_t k = p.design.k;
  auto out = std::make_shared<Array>();
  out->rows = stats ? 5 : 1;
  out->columns = static_cast<std::int32_t>(k + 1);
  out->values.assign(static_cast<std::size_t>(out->rows) * (k + 1), Value(ErrorCode::NA));
  auto at = [&](std::size_t row, std::size_t column) -> Value& { return out->values[row * (k + 1) + column]; };
  auto shown = [&](double coefficient) { return Logarithmic ? std::exp(coefficient) : coefficient; };
  for (std::size_t j = 0; j < k; ++j) at(0, k - 1 - j) = resultValue(shown(fit.coefficients[j]));
  at(0, k) = resultValue(shown(fit.intercept));
  if (stats) {
    for (std::size_t j = 0; j < k; ++j) at(1, k - 1 - j) = resultValue(fit.errors[j]);
    if (p.withIntercept) at(1, k) = resultValue(fit.interceptError);
    at(2, 0) = resultValue(fit.r2), at(2, 1) = resultValue(fit.residualSd);
    at(3, 0) = resultValue(fit.f), at(3, 1) = resultValue(fit.freedom);
    at(4, 0) = resultValue(fit.ssRegression), at(4, 1) = resultValue(fit.ssResidual);
  }
  return arrayOperand(std::move(out));
}

// The observations of new x laid out as the fit's variables are, and the shape of the
// result: new x's own shape for one variable, else one value per observation; nullopt when
// new x does not hold the fit's number of variables.
struct NewObservations {
  std::int32_t rows = 0, columns = 0;
  std::vector<double> x;  // observation by observation
};

std::optional<NewObservations> newObservationsOf(const Grid& fresh, const Design& design) {
  const std::size_t k = design.k;
  NewObservations out;
  if (k == 1 || !design.variablesInRows) {
    if (k != 1 && static_cast<std::size_t>(fresh.columns) != k) return std::nullopt;
    out.rows = static_cast<std::int32_t>(fresh.rows);
    out.columns = k == 1 ? static_cast<std::int32_t>(fresh.columns) : 1;
    out.x = fresh.values;
    return out;
  }
  if (static_cast<std::size_t>(fresh.rows) != k) return std::nullopt;
  const auto m = static_cast<std::size_t>(fresh.columns);
  out.rows = 1, out.columns = static_cast<std::int32_t>(m);
  out.x.resize(fresh.values.size());
  for (std::size_t var = 0; var < k; ++var)
    for (std::size_t obs = 0; obs < m; ++obs) out.x[obs * k + var] = fresh.values[var * m + obs];
  return out;
}

// TREND and GROWTH: the fitted values at new x (by default the known x).
template <bool Logarithmic>
Operand trend(const Args& args) {
  Problem p;
  if (auto error = problemOf(args, 3, Logarithmic, p)) return errorOperand(*error);
  Grid fresh = p.knownX;
  if (args.size() > 2 && !args.isMissing(2))
    if (auto error = gridOf(args, 2, fresh)) return errorOperand(*error);
  const auto observations = newObservationsOf(fresh, p.design);
  if (!observations) return errorOperand(ErrorCode::Ref);
  const std::size_t k = p.design.k;
  const LinearFit fit = fitLeastSquares(p.y.values, p.design.x, k, p.withIntercept);
  auto out = std::make_shared<Array>();
  out->rows = observations->rows, out->columns = observations->columns;
  for (std::size_t at = 0; at + k <= observations->x.size(); at += k) {
    const double value = predict(fit, &observations->x[at]);
    out->values.push_back(resultValue(Logarithmic ? std::exp(value) : value));
  }
  return arrayOperand(std::move(out));
}

const FunctionSpec kRegression[] = {
    arrayArguments(raw("COVAR", 2, 2, covariance<false>)),
    arrayArguments(newer(raw("COVARIANCE.P", 2, 2, covariance<false>))),
    arrayArguments(newer(raw("COVARIANCE.S", 2, 2, covariance<true>))),
    arrayArguments(raw("CORREL", 2, 2, correlation<false>)),
    arrayArguments(raw("PEARSON", 2, 2, correlation<false>)),
    arrayArguments(raw("RSQ", 2, 2, correlation<true>)),
    arrayArguments(raw("SLOPE", 2, 2, slope)),
    arrayArguments(raw("INTERCEPT", 2, 2, intercept)),
    arrayArguments(raw("STEYX", 2, 2, standardErrorOfY)),
    arrayArguments(raw("FORECAST", 3, 3, forecast)),
    arrayArguments(newer(raw("FORECAST.LINEAR", 3, 3, forecast))),
    arrayArguments(raw("PROB", 3, 4, prob)),
    arrayArguments(rawOperand("LINEST", 1, 4, linest<false>)),
    arrayArguments(rawOperand("LOGEST", 1, 4, linest<true>)),
    arrayArguments(rawOperand("TREND", 1, 4, trend<false>)),
    arrayArguments(rawOperand("GROWTH", 1, 4, trend<true>)),
};

}  // namespace

std::span<const FunctionSpec> regressionFunctions() { return kRegression; }

}  // namespace calc
