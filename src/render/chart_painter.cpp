#include "render/chart_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart_legend.h"
#include "chart_metrics.h"
#include "curve_path.h"
#include "render/empty_series_note.h"

namespace render {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

// Where each axis line stands: the axes cross at 0, or at the plot's edge nearest to 0.
struct Crossing {
  double x;  // the x value the value axis stands at
  double y;  // the value the x axis stands at
};

Crossing crossingOf(const ChartGeometry& g) {
  return {std::clamp(0.0, g.xScale.minimum, g.xScale.maximum), std::clamp(0.0, g.yScale.minimum, g.yScale.maximum)};
}

double widest(const QStringList& texts, const QFontMetricsF& fm) {
  double w = 0;
  for (const auto& t : texts) w = std::max(w, fm.horizontalAdvance(t));
  return w;
}

// Every how many ticks a label fits, for labels `size` pixels long on ticks `spacing` apart.
std::size_t labelStride(double size, double spacing) {
  if (!(spacing > 0)) return 1;
  return std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(size / spacing)));
}

struct AxisLabels {
  QStringList x, y;
};

// The plot's rectangle inside `inner`: labels sit next to their axis line, on its left or below
// it, so room is kept outside the plot only where an axis line runs near the plot's edge.
QRectF plotAreaFor(const ChartGeometry& g, const AxisLabels& labels, const Metrics& m, const QRectF& inner) {
  const QFontMetricsF fm(m.label);
  const double yLabelWidth = widest(labels.y, fm) + m.pad + m.tick;
  const double xLabelHeight = fm.height() + m.pad + m.tick;
  const double right = labels.x.isEmpty() ? 0 : fm.horizontalAdvance(labels.x.back()) / 2;
  const double top = fm.height() / 2;
  const Crossing at = crossingOf(g);
  const double fx = halfSpan(g.xScale.minimum, at.x) / halfSpan(g.xScale.minimum, g.xScale.maximum);
  const double fy = halfSpan(g.yScale.minimum, at.y) / halfSpan(g.yScale.minimum, g.yScale.maximum);
  const double width = inner.width() - right, height = inner.height() - top;
  // The labels left of a line at fraction fx of the plot's width must stay inside `inner`.
  const double left = fx < 1 ? std::max(0.0, (yLabelWidth - fx * width) / (1 - fx)) : 0;
  const double bottom = fy < 1 ? std::max(0.0, (xLabelHeight - fy * height) / (1 - fy)) : 0;
  return QRectF(QPointF(inner.left() + left, inner.top() + top), QPointF(inner.right() - right, inner.bottom() - bottom));
}

void paintGridlines(QPainter& painter, const ChartGeometry& g, const PlotChart& chart) {
  const QRectF& plot = g.plotArea;
  auto minorTicks = [](const AxisScale& s) {
    AxisScale minor = s;
    minor.majorUnit = s.majorUnit / 5;
    return minor.ticks();
  };
  auto vertical = [&](const std::vector<double>& xs, const QColor& color) {
    painter.setPen(QPen(color, 1));
    for (double x : xs) {
      const double px = std::round(g.toPixel(x, 0).x()) + 0.5;
      painter.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
    }
  };
  auto horizontal = [&](const std::vector<double>& ys, const QColor& color) {
    painter.setPen(QPen(color, 1));
    for (double y : ys) {
      const double py = std::round(g.toPixel(0, y).y()) + 0.5;
      painter.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
    }
  };
  if (chart.xGridlines.minor) vertical(minorTicks(g.xScale), kMinorGridColor);
  if (chart.yGridlines.minor) horizontal(minorTicks(g.yScale), kMinorGridColor);
  if (chart.xGridlines.major) vertical(g.xScale.ticks(), kGridColor);
  if (chart.yGridlines.major) horizontal(g.yScale.ticks(), kGridColor);
}

// The axis lines with tick marks across them at every major tick, and the labels next to them.
void paintAxes(QPainter& painter, const ChartGeometry& g, const AxisLabels& labels, const Metrics& m) {
  const Crossing at = crossingOf(g);
  const double py = std::round(g.toPixel(0, at.y).y()) + 0.5, px = std::round(g.toPixel(at.x, 0).x()) + 0.5;
  const auto xs = g.xScale.ticks(), ys = g.yScale.ticks();
  painter.setPen(QPen(kAxisColor, 1));
  painter.drawLine(QPointF(g.plotArea.left(), py), QPointF(g.plotArea.right(), py));
  painter.drawLine(QPointF(px, g.plotArea.top()), QPointF(px, g.plotArea.bottom()));
  for (double x : xs) {
    const double tx = std::round(g.toPixel(x, 0).x()) + 0.5;
    painter.drawLine(QPointF(tx, py - m.tick), QPointF(tx, py + m.tick));
  }
  for (double y : ys) {
    const double ty = std::round(g.toPixel(0, y).y()) + 0.5;
    painter.drawLine(QPointF(px - m.tick, ty), QPointF(px + m.tick, ty));
  }

  const QFontMetricsF fm(m.label);
  painter.setFont(m.label);
  painter.setPen(kTextColor);
  const double yLabelsRight = px - m.tick - m.pad;
  const std::size_t everyY = ys.size() > 1 ? labelStride(fm.height(), std::abs(g.toPixel(0, ys[1]).y() - g.toPixel(0, ys[0]).y())) : 1;
  for (std::size_t i = 0; i < ys.size() && i < static_cast<std::size_t>(labels.y.size()); i += everyY) {
    const double ty = g.toPixel(0, ys[i]).y();
    painter.drawText(QRectF(0, ty - fm.height(), yLabelsRight, 2 * fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                     labels.y[static_cast<qsizetype>(i)]);
  }
  const double labelWidth = widest(labels.x, fm);
  const double spacing = xs.size() > 1 ? std::abs(g.toPixel(xs[1], 0).x() - g.toPixel(xs[0], 0).x()) : 0;
  const std::size_t everyX = labelStride(labelWidth + m.pad, spacing);
  for (std::size_t i = 0; i < xs.size() && i < static_cast<std::size_t>(labels.x.size()); i += everyX) {
    const double tx = g.toPixel(xs[i], 0).x();
    painter.drawText(QRectF(tx - labelWidth, py + m.tick + m.pad * 0.5, 2 * labelWidth, fm.height()),
                     Qt::AlignHCenter | Qt::AlignTop, labels.x[static_cast<qsizetype>(i)]);
  }
}

// One line inside the plot for each series with nothing to draw, saying why.
void paintEmptySeriesNotes(QPainter& painter, const PlotChart& chart, const ChartGeometry& g, const Metrics& m) {
  QStringList notes;
  std::vector<int> of;
  for (std::size_t i = 0; i < chart.series.size(); ++i) {
    const QString note = emptySeriesNote(chart.series[i], static_cast<int>(i) + 1);
    if (!note.isEmpty()) notes << note, of.push_back(static_cast<int>(i));
  }
  if (notes.isEmpty()) return;
  const QFontMetricsF fm(m.label);
  const QRectF box = g.plotArea.adjusted(m.pad * 2, m.pad, -m.pad * 2, -m.pad);
  const auto fit = static_cast<qsizetype>(std::max(1.0, std::floor(box.height() / m.rowHeight())));
  if (notes.size() > fit) {
    const auto more = notes.size() - (fit - 1);
    notes.resize(fit - 1);
    notes << QString("+%1 more series with nothing to draw").arg(more);
  }
  painter.setFont(m.label);
  for (qsizetype i = 0; i < notes.size(); ++i) {
    const QString text = fm.elidedText(notes[i], Qt::ElideRight, box.width());
    const QRectF line(box.left(), box.top() + static_cast<double>(i) * m.rowHeight(), fm.horizontalAdvance(text) + 2, m.rowHeight());
    painter.fillRect(line.adjusted(-m.pad / 2, 0, m.pad / 2, 0), QColor(255, 255, 255, 220));
    painter.setPen(i < static_cast<qsizetype>(of.size()) ? seriesColor(of[static_cast<std::size_t>(i)]).darker(140) : kTextColor);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, text);
  }
}

// a + f * (b - a), finite for every finite a and b and any f in reach of the plot.
double along(double a, double b, double f) { return std::clamp((a * 0.5 + f * halfSpan(a, b)) * 2, -kLargest, kLargest); }

}  // namespace

QPointF ChartGeometry::toPixel(double x, double y) const {
  const double fx = halfSpan(xScale.minimum, x) / halfSpan(xScale.minimum, xScale.maximum);
  const double fy = halfSpan(yScale.minimum, y) / halfSpan(yScale.minimum, yScale.maximum);
  return {plotArea.left() + fx * plotArea.width(), plotArea.bottom() - fy * plotArea.height()};
}

QPointF ChartGeometry::toData(const QPointF& pixel) const {
  const double fx = (pixel.x() - plotArea.left()) / plotArea.width();
  const double fy = (plotArea.bottom() - pixel.y()) / plotArea.height();
  return {along(xScale.minimum, xScale.maximum, fx), along(yScale.minimum, yScale.maximum, fy)};
}

// A gap whose value is only not computed here still has its x: the x axis spans it, so that a
// stretch left out at either end shows as a gap rather than as a shorter curve.
std::optional<DataWindow> dataExtent(const PlotChart& chart) {
  std::optional<std::pair<double, double>> xs, ys;
  const auto widen = [](std::optional<std::pair<double, double>>& range, double value) {
    if (!range) range = std::pair(value, value);
    range->first = std::min(range->first, value);
    range->second = std::max(range->second, value);
  };
  for (const auto& series : chart.series) {
    const std::size_t count = std::min(series.x.size(), series.y.size());
    for (std::size_t i = 0; i < count; ++i) {
      if (!std::isfinite(series.x[i]) || !std::isfinite(series.y[i])) continue;
      widen(xs, series.x[i]);
      widen(ys, series.y[i]);
    }
    for (std::size_t i : series.uncomputed)
      if (i < count && std::isfinite(series.x[i])) widen(xs, series.x[i]);
  }
  if (!xs) return std::nullopt;
  if (!ys) ys = std::pair(0.0, 0.0);  // nothing computed: the value axis as for no data
  return DataWindow{xs->first, xs->second, ys->first, ys->second};
}

ChartGeometry axesFor(const PlotChart& chart, const std::optional<DataWindow>& window) {
  ChartGeometry g;
  if (window) {
    g.xScale = windowScale(window->xMin, window->xMax);
    g.yScale = windowScale(window->yMin, window->yMax);
  } else if (const auto extent = dataExtent(chart)) {
    g.xScale = automaticScale(extent->xMin, extent->xMax, AxisKind::X);
    g.yScale = automaticScale(extent->yMin, extent->yMax, AxisKind::Value);
  } else {
    g.xScale = automaticScale(0, 0, AxisKind::X);
    g.yScale = automaticScale(0, 0, AxisKind::Value);
  }
  return g;
}

QColor seriesColor(int index) {
  static const QColor accents[] = {QColor(0x44, 0x72, 0xC4), QColor(0xED, 0x7D, 0x31), QColor(0xA5, 0xA5, 0xA5),
                                   QColor(0xFF, 0xC0, 0x00), QColor(0x5B, 0x9B, 0xD5), QColor(0x70, 0xAD, 0x47)};
  // Shades in the spreadsheet's order: plain, darker, lighter, then darker and lighter again.
  static const int shades[] = {100, 160, 60, 125, 80};
  const QColor base = accents[index % 6];
  const int shade = shades[(index / 6) % 5];
  if (shade == 100) return base;
  if (shade > 100) return base.darker(shade);
  const double toWhite = (100 - shade) / 100.0;
  return QColor::fromRgbF(base.redF() + (1 - base.redF()) * toWhite, base.greenF() + (1 - base.greenF()) * toWhite,
                          base.blueF() + (1 - base.blueF()) * toWhite);
}

ChartGeometry paintChart(QPainter& painter, const QRectF& area, const PlotChart& chart, const PaintOptions& options) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(area, Qt::white);
  const Metrics m(area.size());

  QRectF inner = area.adjusted(m.margin, m.margin * 0.8, -m.margin, -m.margin * 0.8);
  if (!chart.title.isEmpty()) {
    const QFontMetricsF titleFm(m.title);
    painter.setFont(m.title);
    painter.setPen(kTitleColor);
    const QString title = titleFm.elidedText(chart.title, Qt::ElideRight, inner.width());
    painter.drawText(QRectF(inner.left(), inner.top(), inner.width(), titleFm.height()), Qt::AlignCenter, title);
    inner.setTop(inner.top() + titleFm.height() + m.margin * 0.6);
  }
  inner = placeLegend(painter, chart, m, area, inner);

  ChartGeometry g = axesFor(chart, options.window);
  const AxisLabels labels{g.xScale.labels(), g.yScale.labels()};
  g.plotArea = plotAreaFor(g, labels, m, inner);
  if (g.plotArea.width() < 1 || g.plotArea.height() < 1) {  // too small to hold a plot
    painter.restore();
    return g;
  }

  paintGridlines(painter, g, chart);
  paintAxes(painter, g, labels, m);

  painter.save();
  painter.setClipRect(g.plotArea.adjusted(-m.lineWidth, -m.lineWidth, m.lineWidth, m.lineWidth), Qt::IntersectClip);
  painter.setBrush(Qt::NoBrush);
  for (std::size_t i = 0; i < chart.series.size(); ++i) {
    painter.setPen(QPen(seriesColor(static_cast<int>(i)), m.lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPainterPath& piece : curvePath(chart.series[i], g, options.reduceDensePoints)) painter.drawPath(piece);
  }
  painter.restore();
  paintEmptySeriesNotes(painter, chart, g, m);
  painter.restore();
  return g;
}

}  // namespace render
