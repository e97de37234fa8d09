// Excel does not solve IRR by Newton's method on the rate: it runs the secant method on the
// discount factor v = 1/(1+r). It starts from the guess and a second point a thousandth away
// (above it when the flows are worth more than nothing at the guess, below otherwise), stops
// at the first step in v smaller than 1e-7 and gives 1/v - 1 there. That iterate lies a few
// units in the 12th digit from the root; taking the same steps gives the digits Excel saves.
#include "financial_irr_secant.h"

#include <algorithm>
#include <cmath>

namespace calc {
namespace {

constexpr double kSecondPoint = 0.001;  // the second point's distance from the guess, in v
constexpr double kSettled = 1e-7;       // a step in v below this ends the search
constexpr int kMostSteps = 100;
// Long series get fewer steps, so that a search that does not settle stays quick.
constexpr double kMostTerms = 5e7;

// The flows' worth at the start of the first period, each divided by the growth (1/v)^i.
double worthAt(std::span<const double> flows, double v) {
  const double growth = 1 / v;
  double total = 0;
  for (std::size_t i = 0; i < flows.size(); ++i) total += flows[i] / std::pow(growth, static_cast<double>(i));
  return total;
}

int stepsAllowed(std::size_t terms) {
  const double byBudget = kMostTerms / static_cast<double>(std::max<std::size_t>(terms, 1));
  return static_cast<int>(std::clamp(byBudget, 20.0, static_cast<double>(kMostSteps)));
}

}  // namespace

std::optional<double> irrBySecant(std::span<const double> flows, double guess) {
  double v0 = 1 / (1 + guess);
  double f0 = worthAt(flows, v0);
  double v1 = f0 > 0 ? v0 + kSecondPoint : v0 - kSecondPoint;
  const int steps = stepsAllowed(flows.size());
  for (int i = 0; i < steps; ++i) {
    const double f1 = worthAt(flows, v1);
    if (f1 == f0 || !std::isfinite(f0) || !std::isfinite(f1)) return std::nullopt;
    const double v2 = v1 - f1 * (v1 - v0) / (f1 - f0);
    if (!std::isfinite(v2)) return std::nullopt;
    if (std::fabs(v2 - v1) < kSettled) {
      if (!(v2 > 0)) return std::nullopt;  // no rate above -100% discounts by a factor <= 0
      return 1 / v2 - 1;
    }
    v0 = v1;
    f0 = f1;
    v1 = v2;
  }
  return std::nullopt;
}

}  // namespace calc
