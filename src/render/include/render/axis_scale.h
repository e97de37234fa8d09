#pragma once
// Value axis limits and major unit, chosen the way a spreadsheet chooses them automatically:
// round numbers, a small margin above and below the data, and 0 included when the data lie
// well away from it on one side.
#include <QString>

#include <vector>

namespace render {

struct AxisScale {
  double minimum = 0;
  double maximum = 1;
  double majorUnit = 0.2;

  // The major tick values from minimum to maximum (at most a few dozen).
  std::vector<double> ticks() const;
  // A tick value as the axis labels it: as many decimals as the major unit needs.
  QString label(double value) const;
};

// Automatic scale for data from low to high (low <= high, both finite).
AxisScale automaticScale(double low, double high);

// Scale for a window the user zoomed to: exactly low..high, with a round major unit.
AxisScale windowScale(double low, double high);

// The round major unit (1, 2 or 5 times a power of ten) that splits span into at most
// maxIntervals intervals.
double roundMajorUnit(double span, int maxIntervals);

}  // namespace render
