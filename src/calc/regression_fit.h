#pragma once
// Least squares of one variable on one or more others, with the statistics LINEST reports.
// Solved by Householder reflections on the (centred) observations, not by the normal
// equations, so that nearly collinear data keeps its digits; a variable that is a combination
// of the ones before it is left out with a coefficient and standard error of 0.
#include <cstddef>
#include <vector>

namespace calc {

struct LinearFit {
  std::vector<double> coefficients;  // one per variable, in the variables' order
  std::vector<double> errors;        // their standard errors
  double intercept = 0;
  double interceptError = 0;
  double r2 = 0;          // NaN when y does not vary
  double residualSd = 0;  // NaN with no degree of freedom left
  double f = 0;           // NaN or infinite when it is undefined
  double freedom = 0;     // degrees of freedom of the residuals
  double ssRegression = 0;
  double ssResidual = 0;
};

// y: n observations; x: n rows of k variables, row by row. Without an intercept the line
// goes through the origin and the sums of squares are taken about 0.
LinearFit fitLeastSquares(const std::vector<double>& y, const std::vector<double>& x, std::size_t k,
                          bool withIntercept);

// The fitted value at one observation of the k variables.
double predict(const LinearFit& fit, const double* x);

}  // namespace calc
