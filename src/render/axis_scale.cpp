#include "render/axis_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "render/shown_number.h"

namespace render {
namespace {

constexpr int kMaxIntervals = 10;  // as many major intervals as the spreadsheet allows itself
constexpr int kMaxTicks = 64;
constexpr double kLargest = std::numeric_limits<double>::max();
// Data within 1/21 of the axis' span from a rounded limit get one more interval of room.
constexpr double kCloseToBorder = 20.0 / 21.0;
// A value axis over data whose smallest is below 5/6 of its largest starts at 0.
constexpr double kWideToZero = 5.0 / 6.0;

double clampFinite(double v) { return std::clamp(v, -kLargest, kLargest); }

// Floor and ceiling that forgive the last bits of a quotient such as 0.30000000000000004 / 0.1,
// relative to its size: 1E-14 is not 0 but a small part of the first interval.
bool nearlyWhole(double q, double nearest) { return std::abs(q - nearest) <= 1e-9 * std::abs(q); }
double forgivingFloor(double q) {
  const double nearest = std::round(q);
  return nearlyWhole(q, nearest) ? nearest : std::floor(q);
}
double forgivingCeil(double q) {
  const double nearest = std::round(q);
  return nearlyWhole(q, nearest) ? nearest : std::ceil(q);
}

// The next round unit after `unit`: 1, 2, 5, 10, 20, ... times a power of ten.
double nextUnit(double unit) {
  const double power = std::pow(10.0, forgivingFloor(std::log10(unit)));
  const double factor = std::round(unit / power);
  return factor == 1 ? 2 * power : factor == 2 ? 5 * power : 10 * power;
}

// The first round unit that is at least `rough`.
double unitAtLeast(double rough) {
  if (!(rough > 0)) return 1;
  double power = std::pow(10.0, forgivingFloor(std::log10(rough)));
  if (!(power > 0)) power = std::numeric_limits<double>::denorm_min();
  const double normal = rough / power;
  if (normal <= 1) return power;
  if (normal <= 2) return 2 * power;
  if (normal <= 5) return 5 * power;
  return 10 * power;
}

double intervals(double low, double high, double unit) { return forgivingFloor(halfSpan(low, high) / unit * 2); }

struct Limits {
  double low, high;
};

// Rounds low..high out to the unit's multiples and gives data that end close to a limit one more
// interval; limits beyond the largest double stop at it.
Limits roundedOut(double low, double high, double dataLow, double dataHigh, double unit) {
  double axisLow = clampFinite(forgivingFloor(low / unit) * unit);
  if (axisLow != 0 && halfSpan(dataLow, high) / halfSpan(axisLow, high) > kCloseToBorder)
    axisLow = clampFinite(axisLow - unit);
  double axisHigh = clampFinite(forgivingCeil(high / unit) * unit);
  if (axisHigh != 0 && halfSpan(axisLow, dataHigh) / halfSpan(axisLow, axisHigh) > kCloseToBorder)
    axisHigh = clampFinite(axisHigh + unit);
  return {axisLow, axisHigh};
}

}  // namespace

double roundMajorUnit(double low, double high, int maxIntervals) {
  const double half = halfSpan(low, high);
  if (!(half > 0) || !std::isfinite(half)) return 1;
  double unit = unitAtLeast(half / maxIntervals * 2);
  while (intervals(low, high, unit) > maxIntervals && std::isfinite(nextUnit(unit))) unit = nextUnit(unit);
  return unit;
}

AxisScale automaticScale(double low, double high, AxisKind kind) {
  low = clampFinite(low);
  high = clampFinite(high);
  if (low > high) std::swap(low, high);
  // Data at or below 0 are scaled as their mirror image and mirrored back.
  const bool mirrored = low < 0 && high <= 0;
  if (mirrored) std::tie(low, high) = std::pair(-high, -low);
  double from = low, to = high;
  if (kind == AxisKind::Value && from > 0) {
    if (from == to || from / to < kWideToZero) from = 0;
    else from -= (to - from) / 2;  // close together: show how they compare
  }
  if (from == to) {
    if (to == 0) to = 1;
    else if (std::abs(to) <= kLargest / 2) to *= 2;
    else from = to / 2;
  }
  double unit = unitAtLeast(halfSpan(from, to) / kMaxIntervals * 2);
  Limits limits = roundedOut(from, to, low, high, unit);
  while (intervals(limits.low, limits.high, unit) > kMaxIntervals && std::isfinite(nextUnit(unit))) {
    unit = nextUnit(unit);
    limits = roundedOut(from, to, low, high, unit);
  }
  if (mirrored) return {-limits.high, -limits.low, unit};
  return {limits.low, limits.high, unit};
}

AxisScale windowScale(double low, double high) {
  low = clampFinite(low);
  high = clampFinite(high);
  if (!(high > low)) high = low + std::max(1.0, std::abs(low) * 1e-9);
  return {low, high, roundMajorUnit(low, high, kMaxIntervals - 2)};
}

std::vector<double> AxisScale::ticks() const {
  std::vector<double> values;
  if (!(majorUnit > 0) || !std::isfinite(majorUnit)) return values;
  const double first = std::ceil(minimum / majorUnit - 1e-9);
  for (int i = 0; i < kMaxTicks; ++i) {
    const double value = (first + i) * majorUnit;
    if (!std::isfinite(value) || value > maximum + majorUnit * 1e-9) break;
    // A tick that the major unit cannot tell from its neighbour (a window narrower than the
    // numbers' precision) ends the list rather than repeating.
    if (!values.empty() && value <= values.back()) break;
    values.push_back(std::abs(value) < majorUnit * 1e-9 ? 0.0 : value);
  }
  return values;
}

QStringList AxisScale::labels(const QLocale& locale) const {
  const auto values = ticks();
  QStringList texts;
  for (double v : values) texts << generalNumber(v, locale);
  // Zoomed in far, General's 11 characters may not tell the ticks apart: more digits then.
  for (int digits = 11; digits <= 17; ++digits) {
    bool distinct = true;
    for (qsizetype i = 1; i < texts.size() && distinct; ++i) distinct = texts[i] != texts[i - 1];
    if (distinct) break;
    texts.clear();
    for (double v : values) texts << significantNumber(v, digits, locale);
  }
  return texts;
}

}  // namespace render
