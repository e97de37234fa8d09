#pragma once
// The chance of exactly k successes in n trials, accurate to the last digits however many the
// trials: Loader's saddle-point form ("Fast and accurate computation of binomial
// probabilities", 2000), which never subtracts the logarithms of large factorials.

namespace calc::distribution {

// P(X = k) for X binomial(n, p); k and n whole, 0 <= k <= n, 0 <= p <= 1.
double binomialProbability(double k, double n, double p);

}  // namespace calc::distribution
