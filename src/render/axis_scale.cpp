#include "render/axis_scale.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace render {
namespace {

constexpr int kMaxIntervals = 10;       // as many major intervals as a spreadsheet allows itself
constexpr double kMargin = 0.05;        // of the data's span, added beyond each end
constexpr double kZeroFraction = 5.0 / 6.0;  // data above 0 starting below 5/6 of the maximum start at 0
constexpr int kMaxTicks = 64;

// Far enough from the limits of double that span and margins stay finite.
constexpr double kLargest = 1e300;

double clampFinite(double v) { return std::clamp(v, -kLargest, kLargest); }

}  // namespace

double roundMajorUnit(double span, int maxIntervals) {
  if (!(span > 0) || !std::isfinite(span)) return 1;
  const double rough = span / maxIntervals;
  double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (;;) {
    for (double factor : {1.0, 2.0, 5.0}) {
      const double unit = factor * power;
      if (span / unit <= maxIntervals * (1 + 1e-9)) return unit;
    }
    power *= 10;
  }
}

AxisScale automaticScale(double low, double high) {
  low = clampFinite(low);
  high = clampFinite(high);
  if (low == high) {
    // One value: the axis runs from 0 to it (or from it to 0); 0 alone gets 0 to 1.
    if (low == 0) return {0, 1, 0.2};
    if (low > 0) low = 0;
    else high = 0;
  }
  double from = low, to = high;
  const double span = high - low;
  if (low >= 0 && low < kZeroFraction * high) from = 0;
  else from = low - kMargin * span;
  if (high <= 0 && high > kZeroFraction * low) to = 0;
  else to = high + kMargin * span;
  if (low >= 0 && from < 0) from = 0;  // the margin never takes positive data below 0
  if (high <= 0 && to > 0) to = 0;
  const double unit = roundMajorUnit(to - from, kMaxIntervals);
  AxisScale scale{std::floor(from / unit) * unit, std::ceil(to / unit) * unit, unit};
  // The rounded limits may need one interval more than the rough span did.
  if ((scale.maximum - scale.minimum) / unit > kMaxIntervals + 0.5) {
    const double wider = roundMajorUnit(scale.maximum - scale.minimum, kMaxIntervals);
    scale = {std::floor(from / wider) * wider, std::ceil(to / wider) * wider, wider};
  }
  return scale;
}

AxisScale windowScale(double low, double high) {
  if (!(high > low)) high = low + 1;
  return {low, high, roundMajorUnit(high - low, kMaxIntervals - 2)};
}

std::vector<double> AxisScale::ticks() const {
  std::vector<double> values;
  if (!(majorUnit > 0)) return values;
  const double first = std::ceil(minimum / majorUnit - 1e-9);
  for (int i = 0; i < kMaxTicks; ++i) {
    const double value = (first + i) * majorUnit;
    if (value > maximum + majorUnit * 1e-9) break;
    // A tick that the major unit cannot tell from its neighbour (a window narrower than the
    // numbers' precision) ends the list rather than repeating.
    if (!values.empty() && value <= values.back()) break;
    values.push_back(std::abs(value) < majorUnit * 1e-9 ? 0.0 : value);
  }
  return values;
}

// General format, as the axis of a spreadsheet shows it: no trailing zeros, exponent notation
// for very large or very small numbers.
QString AxisScale::label(double value) const {
  const double magnitude = std::max(std::abs(minimum), std::abs(maximum));
  QString text;
  if (magnitude >= 1e10 || (majorUnit < 1e-6 && magnitude < 1e-3)) {
    text = QLocale::c().toString(value, 'E', 2);
    const int e = text.indexOf('E');
    QString mantissa = text.left(e);
    while (mantissa.endsWith('0')) mantissa.chop(1);
    if (mantissa.endsWith('.')) mantissa.chop(1);
    return mantissa + text.mid(e).replace("E+0", "E+").replace("E-0", "E-");
  }
  const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(majorUnit) + 1e-9)), 0, 15);
  text = QLocale::c().toString(value, 'f', decimals);
  if (text.contains('.')) {
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
  }
  return text == "-0" ? "0" : text;
}

}  // namespace render
