#pragma once
// Axis limits and major unit, chosen as the spreadsheet application chooses them automatically
// for an XY chart, and the tick labels in its General format.
#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

namespace render {

struct AxisScale {
  double minimum = 0;
  double maximum = 1;
  double majorUnit = 0.2;

  // The major tick values from minimum to maximum (at most a few dozen).
  std::vector<double> ticks() const;
  // The labels of ticks(): General format in the locale, with more digits only where General
  // would show two neighbouring ticks alike (a window zoomed in far).
  QStringList labels(const QLocale& locale = QLocale()) const;
};

// The x axis of a scatter chart keeps to its data; the value axis starts at 0 when the data lie
// well to one side of it and reaches further toward 0 when they lie close together.
enum class AxisKind { X, Value };

// Automatic scale for data from low to high (both finite; any finite double).
AxisScale automaticScale(double low, double high, AxisKind kind = AxisKind::Value);

// Scale for a window the user zoomed to: exactly low..high, with a round major unit.
AxisScale windowScale(double low, double high);

// The round major unit (1, 2 or 5 times a power of ten) that splits low..high into at most
// maxIntervals intervals; finite for any finite low and high.
double roundMajorUnit(double low, double high, int maxIntervals);

// (high - low) / 2 without overflow: the arithmetic of scales works on half spans, so that
// data from -1.7E+308 to 1.7E+308 still has a finite one.
inline double halfSpan(double low, double high) { return high * 0.5 - low * 0.5; }

}  // namespace render
