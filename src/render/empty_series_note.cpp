#include "render/empty_series_note.h"

#include <cmath>

namespace render {
namespace {

bool hasPoint(const PlotSeries& series) {
  const std::size_t count = std::min(series.x.size(), series.y.size());
  for (std::size_t i = 0; i < count; ++i)
    if (std::isfinite(series.x[i]) && std::isfinite(series.y[i])) return true;
  return false;
}

QString why(const PlotSeries& series) {
  if (series.y.empty()) return QStringLiteral("no values");
  const QString& first = series.firstGap;
  if (first.isEmpty()) return QStringLiteral("no x value is a number");
  if (!series.gapsAlike) return QStringLiteral("no value is a number (the first is %1)").arg(first);
  if (first == QLatin1String("not computed"))
    return QStringLiteral("not computed here; your spreadsheet application computes it");
  if (first == QLatin1String("empty")) return QStringLiteral("every cell is empty");
  if (first == QLatin1String("text")) return QStringLiteral("every value is text");
  return QStringLiteral("every value is %1").arg(first);
}

}  // namespace

QString emptySeriesNote(const PlotSeries& series, int number) {
  if (hasPoint(series)) return {};
  const QString name = series.name.isEmpty() ? QStringLiteral("Series %1").arg(number) : series.name;
  return name + QStringLiteral(": ") + why(series);
}

}  // namespace render
