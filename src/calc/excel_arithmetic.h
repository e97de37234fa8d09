#pragma once
// The spreadsheet's own floating-point habits, in one place. Plain IEEE arithmetic differs
// from what the sheet shows in a few documented or long-observed ways; each rule below names
// where it comes from.
//
// Sources:
//  [KB78113] Microsoft, "Floating-point arithmetic may give inaccurate results in Excel":
//      Excel keeps 15 significant digits, and from Excel 97 on, when the last operation of a
//      formula is an addition or subtraction whose result is at or very near zero, it
//      compensates for the binary conversion error and shows 0 (=0.5-0.4-0.1 is 0, while
//      =(0.5-0.4-0.1) and =1*(0.5-0.4-0.1) keep -2.78E-17).
//  [MOD] Microsoft, MOD function: MOD(n, d) = n - d*INT(n/d); the result has the sign of d.
//  [INT] Microsoft, INT function: rounds a number down to the nearest integer.
//  [LO] LibreOffice, rtl::math::approxEqual / approxAdd / approxSub / approxFloor: the public
//      reference of a spreadsheet that copies these habits; equality within 2^-48 of the
//      smaller magnitude (integers excepted), sums of such opposites as 0, floor after
//      rounding to 15 significant digits.
#include <cmath>
#include <cstdint>

namespace calc {

// [LO] a and b agree to within 2^-48 of either magnitude, same sign, neither 0; two whole
// numbers never agree unless equal (their difference is exact).
inline bool nearlyEqual(double a, double b) {
  if (a == b) return true;
  if (a == 0 || b == 0 || std::signbit(a) != std::signbit(b)) return false;
  const double d = std::fabs(a - b);
  constexpr double k2Pow48 = 1.0 / 281474976710656.0;
  a = std::fabs(a);
  b = std::fabs(b);
  if (!(d < a * k2Pow48 && d < b * k2Pow48)) return false;  // also false for inf and NaN
  constexpr double k2Pow53 = 9007199254740992.0;
  return !(a < k2Pow53 && b < k2Pow53 && a == std::trunc(a) && b == std::trunc(b));
}

// [KB78113][LO approxAdd] a + b as the final operation of a formula (or SUM's last addition):
// two opposites that cancel up to their conversion error give exactly 0.
inline double finalSum(double a, double b) {
  const double sum = a + b;
  // Cancellation leaves a result far below both operands; anything else keeps its value.
  if (sum != 0 && std::fabs(sum) < std::fabs(a) * 1e-14 && nearlyEqual(a, -b)) return 0;
  return sum;
}

// Orders two numbers as the sheet compares them with = <> < <= > >=: by their values rounded
// to 15 significant digits [KB78113], so that 0.3*3=0.9 is TRUE. Returns <0, 0 or >0.
int compareNumbers(double a, double b);

// [INT][LO approxFloor] INT: the value the sheet shows (15 significant digits), rounded down,
// so that INT(0.29*100) is 29 and not 28.
double floorShown(double x);

// [MOD] MOD(n, d) for d != 0: n - d*INT(n/d) computed exactly on the stored binary values,
// with the sign of d. Exactly, not in doubles: the sheet saves MOD(5,1E-10) as 9.99998E-11,
// the true remainder, where n/d rounded to a double is 5E10 and the definition evaluated in
// doubles would give 0. By the same token MOD(0.5,0.1) is 0.09999999999999998 (0.1 as a double
// is a little more than a tenth), and MOD(10.0000000001,0.1) is 9.99995E-11.
double moduloByDefinition(double n, double d);

// (x1+...+xk)! / (x1!...xk!) for whole xi >= 0, exact while it stays below 2^53 (a product of
// binomial coefficients, never a quotient of gammas): MULTINOMIAL(2,2) is 6, not
// 6.000000000000001. Infinity when it overflows.
double multinomialOf(const double* x, std::size_t n);

}  // namespace calc
