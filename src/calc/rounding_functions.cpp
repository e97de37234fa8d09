// ROUND and friends, FLOOR and CEILING in their variants. All of them round the 15-digit
// decimal value the sheet shows, not the binary double: ROUND(2.15,1) is 2.2.
#include <cmath>

#include "coercion.h"
#include "function_spec.h"
#include "calc/number_text.h"

namespace calc {
namespace {

enum class Direction { Nearest, AwayFromZero, TowardZero, Down, Up };

double roundInteger(double x, Direction d) {
  switch (d) {
    case Direction::Nearest: return std::round(x);
    case Direction::AwayFromZero: return x < 0 ? -std::ceil(-x) : std::ceil(x);
    case Direction::TowardZero: return std::trunc(x);
    case Direction::Down: return std::floor(x);
    case Direction::Up: return std::ceil(x);
  }
  return x;
}

// Rounds x to `digits` decimal places (negative: to tens, hundreds ...).
Value roundDigits(double x, double digitsArg, Direction direction) {
  const double digits = std::trunc(digitsArg);
  if (x == 0) return 0.0;
  if (digits > 308) return x;
  if (digits < -308) return direction == Direction::AwayFromZero ? Value(ErrorCode::Num) : Value(0.0);
  const int d = static_cast<int>(digits);
  const double y = roundToSignificant15(x);
  const double scale = std::pow(10.0, std::abs(d));
  const double scaled = roundToSignificant15(d >= 0 ? y * scale : y / scale);
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e15) return y;  // no digits left to cut
  const double r = roundInteger(scaled, direction);
  return numberResult(d >= 0 ? r / scale : r * scale);
}

// The multiple of `step` that `direction` picks for x; step must not be 0.
Value toMultiple(double x, double step, Direction direction) {
  const double quotient = roundToSignificant15(x / step);
  if (!std::isfinite(quotient)) return ErrorCode::Num;
  return numberResult(roundInteger(quotient, direction) * step);
}

Value ceilingClassic(const double* a, std::size_t) {
  const double x = a[0], step = a[1];
  if (x == 0 || step == 0) return 0.0;
  if (x > 0 && step < 0) return ErrorCode::Num;
  return toMultiple(x, step, Direction::Up);
}

Value floorClassic(const double* a, std::size_t) {
  const double x = a[0], step = a[1];
  if (step == 0) return x == 0 ? Value(0.0) : Value(ErrorCode::Div0);
  if (x > 0 && step < 0) return ErrorCode::Num;
  if (x == 0) return 0.0;
  return toMultiple(x, step, Direction::Down);
}

// CEILING.MATH / FLOOR.MATH: the step's sign is ignored; a mode other than 0 rounds negative
// numbers the other way (away from zero for CEILING, toward zero for FLOOR).
Value ceilingMath(const double* a, std::size_t n) {
  const double step = n > 1 ? std::fabs(a[1]) : 1, mode = n > 2 ? a[2] : 0;
  if (step == 0 || a[0] == 0) return 0.0;
  return toMultiple(a[0], step, a[0] < 0 && mode != 0 ? Direction::Down : Direction::Up);
}

Value floorMath(const double* a, std::size_t n) {
  const double step = n > 1 ? std::fabs(a[1]) : 1, mode = n > 2 ? a[2] : 0;
  if (step == 0 || a[0] == 0) return 0.0;
  return toMultiple(a[0], step, a[0] < 0 && mode != 0 ? Direction::Up : Direction::Down);
}

Value ceilingPrecise(const double* a, std::size_t n) {
  const double step = n > 1 ? std::fabs(a[1]) : 1;
  if (step == 0 || a[0] == 0) return 0.0;
  return toMultiple(a[0], step, Direction::Up);
}

Value floorPrecise(const double* a, std::size_t n) {
  const double step = n > 1 ? std::fabs(a[1]) : 1;
  if (step == 0 || a[0] == 0) return 0.0;
  return toMultiple(a[0], step, Direction::Down);
}

Value mround(const double* a, std::size_t) {
  const double x = a[0], step = a[1];
  if (x == 0 || step == 0) return 0.0;
  if ((x < 0) != (step < 0)) return ErrorCode::Num;
  return toMultiple(x, step, Direction::Nearest);
}

const FunctionSpec kRounding[] = {
    numbers("ROUND", 2, 2, [](const double* a, std::size_t) { return roundDigits(a[0], a[1], Direction::Nearest); }),
    numbers("ROUNDUP", 2, 2, [](const double* a, std::size_t) { return roundDigits(a[0], a[1], Direction::AwayFromZero); }),
    numbers("ROUNDDOWN", 2, 2, [](const double* a, std::size_t) { return roundDigits(a[0], a[1], Direction::TowardZero); }),
    numbers("TRUNC", 1, 2, [](const double* a, std::size_t n) { return roundDigits(a[0], n > 1 ? a[1] : 0, Direction::TowardZero); }),
    strictNumbers("MROUND", 2, 2, mround),
    numbers("CEILING", 2, 2, ceilingClassic),
    numbers("FLOOR", 2, 2, floorClassic),
    newer(numbers("CEILING.MATH", 1, 3, ceilingMath)),
    newer(numbers("FLOOR.MATH", 1, 3, floorMath)),
    newer(numbers("CEILING.PRECISE", 1, 2, ceilingPrecise)),
    numbers("ISO.CEILING", 1, 2, ceilingPrecise),
    newer(numbers("FLOOR.PRECISE", 1, 2, floorPrecise)),
};

}  // namespace

std::span<const FunctionSpec> roundingFunctions() { return kRounding; }

}  // namespace calc
