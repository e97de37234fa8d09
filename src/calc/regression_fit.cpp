#include "regression_fit.h"

#include <cmath>
#include <limits>

namespace calc {
namespace {

// A column whose remaining length falls below this share of its own length is taken to be a
// combination of the columns before it.
constexpr double kDependentShare = 1e-12;

struct Columns {
  std::size_t n = 0;
  std::vector<std::vector<double>> of;  // of[j][i]: variable j at observation i
};

// The variables column by column, less their means when the fit has an intercept.
Columns columnsOf(const std::vector<double>& x, std::size_t n, std::size_t k, bool centre,
                  std::vector<double>& means) {
  Columns c{n, std::vector<std::vector<double>>(k, std::vector<double>(n))};
  means.assign(k, 0);
  for (std::size_t j = 0; j < k; ++j) {
    for (std::size_t i = 0; i < n; ++i) c.of[j][i] = x[i * k + j];
    if (!centre) continue;
    for (double v : c.of[j]) means[j] += v;
    means[j] /= static_cast<double>(n);
    for (double& v : c.of[j]) v -= means[j];
  }
  return c;
}

double normFrom(const std::vector<double>& v, std::size_t first) {
  double scale = 0, sum = 1;  // scaled, so that large or tiny values neither overflow nor vanish
  for (std::size_t i = first; i < v.size(); ++i) {
    const double a = std::fabs(v[i]);
    if (a == 0) continue;
    if (a > scale) sum = 1 + sum * (scale / a) * (scale / a), scale = a;
    else sum += (a / scale) * (a / scale);
  }
  return scale * std::sqrt(sum);
}

// Reflects the rows from `row` on of `target` by the Householder vector v (v[row..n)).
void reflect(const std::vector<double>& v, double vv, std::size_t row, std::vector<double>& target) {
  double dot = 0;
  for (std::size_t i = row; i < v.size(); ++i) dot += v[i] * target[i];
  const double factor = 2 * dot / vv;
  for (std::size_t i = row; i < v.size(); ++i) target[i] -= factor * v[i];
}

// Triangulates the columns in place; `pivots` lists the variables kept, in order, and the
// rows of R are the first pivots.size() rows of those columns. y is reflected alongside.
std::vector<std::size_t> triangulate(Columns& c, std::vector<double>& y) {
  std::vector<std::size_t> pivots;
  std::vector<double> lengths(c.of.size());
  for (std::size_t j = 0; j < c.of.size(); ++j) lengths[j] = normFrom(c.of[j], 0);
  for (std::size_t j = 0; j < c.of.size(); ++j) {
    const std::size_t row = pivots.size();
    if (row >= c.n) break;
    const double length = normFrom(c.of[j], row);
    if (lengths[j] == 0 || length <= kDependentShare * lengths[j]) continue;
    std::vector<double> v(c.n, 0);
    for (std::size_t i = row; i < c.n; ++i) v[i] = c.of[j][i];
    const double alpha = c.of[j][row] > 0 ? -length : length;
    v[row] -= alpha;
    double vv = 0;
    for (std::size_t i = row; i < c.n; ++i) vv += v[i] * v[i];
    for (std::size_t later = j; later < c.of.size(); ++later) reflect(v, vv, row, c.of[later]);
    reflect(v, vv, row, y);
    pivots.push_back(j);
  }
  return pivots;
}

// The inverse of the upper triangle R (r x r) formed by the kept columns' first r rows.
std::vector<std::vector<double>> invertTriangle(const Columns& c, const std::vector<std::size_t>& pivots) {
  const std::size_t r = pivots.size();
  std::vector<std::vector<double>> inverse(r, std::vector<double>(r, 0));
  for (std::size_t col = 0; col < r; ++col) {
    inverse[col][col] = 1 / c.of[pivots[col]][col];
    for (std::size_t row = col; row-- > 0;) {
      double sum = 0;
      for (std::size_t m = row + 1; m <= col; ++m) sum += c.of[pivots[m]][row] * inverse[m][col];
      inverse[row][col] = -sum / c.of[pivots[row]][row];
    }
  }
  return inverse;
}

// Back substitution of R b = (Q^T y) over the kept columns.
std::vector<double> solveTriangle(const Columns& c, const std::vector<std::size_t>& pivots,
                                  const std::vector<double>& qy) {
  const std::size_t r = pivots.size();
  std::vector<double> b(r, 0);
  for (std::size_t row = r; row-- > 0;) {
    double sum = qy[row];
    for (std::size_t m = row + 1; m < r; ++m) sum -= c.of[pivots[m]][row] * b[m];
    b[row] = sum / c.of[pivots[row]][row];
  }
  return b;
}

void addStatistics(LinearFit& fit, const std::vector<double>& y, const std::vector<double>& x,
                   std::size_t k, bool withIntercept, std::size_t kept) {
  const double n = static_cast<double>(y.size());
  double mean = 0;
  if (withIntercept) {
    for (double v : y) mean += v;
    mean /= n;
  }
  double total = 0, residual = 0;
  for (std::size_t i = 0; i < y.size(); ++i) {
    const double e = y[i] - predict(fit, &x[i * k]);
    residual += e * e;
    total += (y[i] - mean) * (y[i] - mean);
  }
  fit.freedom = n - static_cast<double>(kept) - (withIntercept ? 1 : 0);
  fit.ssResidual = residual;
  fit.ssRegression = total - residual;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  fit.r2 = total == 0 ? nan : fit.ssRegression / total;
  fit.residualSd = fit.freedom > 0 ? std::sqrt(residual / fit.freedom) : nan;
  fit.f = fit.freedom > 0 && kept > 0 ? (fit.ssRegression / static_cast<double>(kept)) / (residual / fit.freedom) : nan;
}

}  // namespace

LinearFit fitLeastSquares(const std::vector<double>& y, const std::vector<double>& x, std::size_t k,
                          bool withIntercept) {
  const std::size_t n = y.size();
  std::vector<double> means;
  Columns c = columnsOf(x, n, k, withIntercept, means);
  double meanY = 0;
  if (withIntercept) {
    for (double v : y) meanY += v;
    meanY /= static_cast<double>(n);
  }
  std::vector<double> qy(n);
  for (std::size_t i = 0; i < n; ++i) qy[i] = y[i] - meanY;
  const std::vector<std::size_t> pivots = triangulate(c, qy);
  const std::vector<double> b = solveTriangle(c, pivots, qy);

  LinearFit fit;
  fit.coefficients.assign(k, 0);
  fit.errors.assign(k, 0);
  for (std::size_t m = 0; m < pivots.size(); ++m) fit.coefficients[pivots[m]] = b[m];
  fit.intercept = meanY;
  for (std::size_t j = 0; j < k; ++j) fit.intercept -= fit.coefficients[j] * means[j];
  addStatistics(fit, y, x, k, withIntercept, pivots.size());

  // Standard errors from the diagonal of (X'X)^-1 = R^-1 R^-T; the intercept's adds the
  // means' share, m' (X'X)^-1 m.
  const auto inverse = invertTriangle(c, pivots);
  double meansShare = 0;
  for (std::size_t row = 0; row < pivots.size(); ++row) {
    double diagonal = 0, projected = 0;
    for (std::size_t col = row; col < pivots.size(); ++col) diagonal += inverse[row][col] * inverse[row][col];
    for (std::size_t m = 0; m <= row; ++m) projected += inverse[m][row] * means[pivots[m]];
    meansShare += projected * projected;
    fit.errors[pivots[row]] = fit.residualSd * std::sqrt(diagonal);
  }
  fit.interceptError = withIntercept ? fit.residualSd * std::sqrt(1 / static_cast<double>(n) + meansShare)
                                     : std::numeric_limits<double>::quiet_NaN();
  return fit;
}

double predict(const LinearFit& fit, const double* x) {
  double value = fit.intercept;
  for (std::size_t j = 0; j < fit.coefficients.size(); ++j) value += fit.coefficients[j] * x[j];
  return value;
}

}  // namespace calc
