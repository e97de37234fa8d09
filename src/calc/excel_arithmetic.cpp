#include "excel_arithmetic.h"

#include <algorithm>
#include <limits>

#include "calc/number_text.h"

namespace calc {

int compareNumbers(double a, double b) {
  if (a == b) return 0;
  const int plain = a < b ? -1 : 1;
  // Two values that show alike lie within one unit of the 15th digit of each other; only those
  // pay for rounding (the margin covers a value that rounds up into the next decade).
  const double scale = std::max(std::fabs(a), std::fabs(b));
  if (!(std::fabs(a - b) < scale * 2e-14)) return plain;
  return roundToSignificant15(a) == roundToSignificant15(b) ? 0 : plain;
}

double floorShown(double x) {
  const double down = std::floor(x);
  if (down == x || !(down + 1 - x < std::fabs(x) * 2e-14)) return down;
  return std::floor(roundToSignificant15(x));
}

double moduloByDefinition(double n, double d) {
  double r = std::fmod(n, d);  // n - d*trunc(n/d), exact
  if (r != 0 && std::signbit(r) != std::signbit(d)) r += d;
  return r;
}

double multinomialOf(const double* x, std::size_t n) {
  double result = 1, total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    // result *= C(total + x, x), one factor at a time: each quotient is a whole number.
    for (double k = 1; k <= x[i]; ++k) {
      total += 1;
      result = result * total / k;
      if (!std::isfinite(result)) return result;
    }
  }
  return result;
}

}  // namespace calc
