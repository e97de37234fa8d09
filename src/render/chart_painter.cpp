#include "render/chart_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "curve_path.h"

namespace render {
namespace {

const QColor kTextColor(0x59, 0x59, 0x59);
const QColor kGridColor(0xD9, 0xD9, 0xD9);
const QColor kMinorGridColor(0xF2, 0xF2, 0xF2);
const QColor kAxisColor(0xBF, 0xBF, 0xBF);

// Sizes grow with the picture, so a large export reads like a small window.
struct Metrics {
  QFont label;
  QFont title;
  double lineWidth;
  double margin;

  explicit Metrics(const QSizeF& size) {
    const double labelPx = std::clamp(std::round(std::min(size.width(), size.height() * 1.5) / 90.0), 10.0, 22.0);
    label.setPixelSize(static_cast<int>(labelPx));
    title.setPixelSize(static_cast<int>(std::round(labelPx * 1.5)));
    lineWidth = std::clamp(labelPx / 5.0, 1.5, 4.0);
    margin = std::round(labelPx * 1.2);
  }
};

struct LegendEntry {
  QString text;
  int series;  // -1: the "more" note
};

// The legend's entries in rows that fit `width`, at most maxRows rows; entries that do not fit
// give way to a note of how many are left out.
std::vector<std::vector<LegendEntry>> legendRows(const PlotChart& chart, const Metrics& m, double width, int maxRows) {
  const QFontMetricsF fm(m.label);
  const double sample = m.label.pixelSize() * 2.0, gap = m.label.pixelSize() * 0.5, spacing = m.label.pixelSize() * 1.5;
  const double maxText = std::max(40.0, width * 0.45 - sample - gap);
  auto entryWidth = [&](const QString& text) { return sample + gap + fm.horizontalAdvance(text) + spacing; };
  std::vector<std::vector<LegendEntry>> rows(1);
  double used = 0;
  const int count = static_cast<int>(chart.series.size());
  for (int i = 0; i < count; ++i) {
    LegendEntry entry{fm.elidedText(chart.series[i].name, Qt::ElideRight, maxText), i};
    const double w = entryWidth(entry.text);
    if (used > 0 && used + w > width) {
      if (static_cast<int>(rows.size()) == maxRows) {
        // No room for the rest: the last entry of the last row makes way for the note.
        rows.back().back() = LegendEntry{QString("+%1 more").arg(count - rows.back().back().series), -1};
        return rows;
      }
      rows.emplace_back();
      used = 0;
    }
    rows.back().push_back(entry);
    used += w;
  }
  return rows;
}

void paintLegend(QPainter& painter, const std::vector<std::vector<LegendEntry>>& rows, const Metrics& m,
                 const QRectF& box) {
  const QFontMetricsF fm(m.label);
  const double sample = m.label.pixelSize() * 2.0, gap = m.label.pixelSize() * 0.5, spacing = m.label.pixelSize() * 1.5;
  const double rowHeight = fm.height() * 1.25;
  painter.setFont(m.label);
  double y = box.top();
  for (const auto& row : rows) {
    double total = 0;
    for (const auto& e : row) total += (e.series >= 0 ? sample + gap : 0) + fm.horizontalAdvance(e.text) + spacing;
    double x = box.center().x() - (total - spacing) / 2;
    const double mid = y + rowHeight / 2;
    for (const auto& e : row) {
      if (e.series >= 0) {
        painter.setPen(QPen(seriesColor(e.series), m.lineWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, mid), QPointF(x + sample, mid));
        x += sample + gap;
      }
      painter.setPen(kTextColor);
      const double w = fm.horizontalAdvance(e.text);
      painter.drawText(QRectF(x, y, w + 2, rowHeight), Qt::AlignLeft | Qt::AlignVCenter, e.text);
      x += w + spacing;
    }
    y += rowHeight;
  }
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
    for (double x : xs) painter.drawLine(QPointF(std::round(g.toPixel(x, 0).x()) + 0.5, plot.top()),
                                         QPointF(std::round(g.toPixel(x, 0).x()) + 0.5, plot.bottom()));
  };
  auto horizontal = [&](const std::vector<double>& ys, const QColor& color) {
    painter.setPen(QPen(color, 1));
    for (double y : ys) painter.drawLine(QPointF(plot.left(), std::round(g.toPixel(0, y).y()) + 0.5),
                                         QPointF(plot.right(), std::round(g.toPixel(0, y).y()) + 0.5));
  };
  if (chart.xGridlines.minor) vertical(minorTicks(g.xScale), kMinorGridColor);
  if (chart.yGridlines.minor) horizontal(minorTicks(g.yScale), kMinorGridColor);
  if (chart.xGridlines.major) vertical(g.xScale.ticks(), kGridColor);
  if (chart.yGridlines.major) horizontal(g.yScale.ticks(), kGridColor);
}

// The axis lines cross at 0 where 0 is in view, at the plot's edge otherwise.
void paintAxisLines(QPainter& painter, const ChartGeometry& g) {
  painter.setPen(QPen(kAxisColor, 1));
  const double y0 = std::clamp(0.0, g.yScale.minimum, g.yScale.maximum);
  const double x0 = std::clamp(0.0, g.xScale.minimum, g.xScale.maximum);
  const double py = std::round(g.toPixel(0, y0).y()) + 0.5, px = std::round(g.toPixel(x0, 0).x()) + 0.5;
  painter.drawLine(QPointF(g.plotArea.left(), py), QPointF(g.plotArea.right(), py));
  painter.drawLine(QPointF(px, g.plotArea.top()), QPointF(px, g.plotArea.bottom()));
}

void paintAxisLabels(QPainter& painter, const ChartGeometry& g, const Metrics& m) {
  const QFontMetricsF fm(m.label);
  painter.setFont(m.label);
  painter.setPen(kTextColor);
  const double pad = m.label.pixelSize() * 0.5;
  for (double y : g.yScale.ticks()) {
    const double py = g.toPixel(0, y).y();
    painter.drawText(QRectF(0, py - fm.height(), g.plotArea.left() - pad, 2 * fm.height()),
                     Qt::AlignRight | Qt::AlignVCenter, g.yScale.label(y));
  }
  const auto xs = g.xScale.ticks();
  double widest = 0;
  for (double x : xs) widest = std::max(widest, fm.horizontalAdvance(g.xScale.label(x)));
  const double spacing = xs.size() > 1 ? std::abs(g.toPixel(xs[1], 0).x() - g.toPixel(xs[0], 0).x()) : 1e9;
  const std::size_t every = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil((widest + pad) / spacing)));
  for (std::size_t i = 0; i < xs.size(); i += every) {
    const double px = g.toPixel(xs[i], 0).x();
    painter.drawText(QRectF(px - widest, g.plotArea.bottom() + pad * 0.6, 2 * widest, fm.height()),
                     Qt::AlignHCenter | Qt::AlignTop, g.xScale.label(xs[i]));
  }
}

double widestLabel(const AxisScale& scale, const QFontMetricsF& fm) {
  double widest = 0;
  for (double v : scale.ticks()) widest = std::max(widest, fm.horizontalAdvance(scale.label(v)));
  return widest;
}

}  // namespace

QPointF ChartGeometry::toPixel(double x, double y) const {
  const double fx = (x - xScale.minimum) / (xScale.maximum - xScale.minimum);
  const double fy = (y - yScale.minimum) / (yScale.maximum - yScale.minimum);
  return {plotArea.left() + fx * plotArea.width(), plotArea.bottom() - fy * plotArea.height()};
}

QPointF ChartGeometry::toData(const QPointF& pixel) const {
  const double fx = (pixel.x() - plotArea.left()) / plotArea.width();
  const double fy = (plotArea.bottom() - pixel.y()) / plotArea.height();
  return {xScale.minimum + fx * (xScale.maximum - xScale.minimum), yScale.minimum + fy * (yScale.maximum - yScale.minimum)};
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
    g.xScale = automaticScale(extent->xMin, extent->xMax);
    g.yScale = automaticScale(extent->yMin, extent->yMax);
  } else {
    g.xScale = automaticScale(0, 0);
    g.yScale = automaticScale(0, 0);
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
  const QFontMetricsF labelFm(m.label), titleFm(m.title);

  QRectF inner = area.adjusted(m.margin, m.margin * 0.8, -m.margin, -m.margin * 0.8);
  if (!chart.title.isEmpty()) {
    painter.setFont(m.title);
    painter.setPen(kTextColor);
    const QString title = titleFm.elidedText(chart.title, Qt::ElideRight, inner.width());
    painter.drawText(QRectF(inner.left(), inner.top(), inner.width(), titleFm.height()), Qt::AlignCenter, title);
    inner.setTop(inner.top() + titleFm.height() + m.margin * 0.6);
  }
  if (chart.showLegend && !chart.series.empty()) {
    const double rowHeight = labelFm.height() * 1.25;
    const int maxRows = std::max(1, static_cast<int>(area.height() * 0.25 / rowHeight));
    const auto rows = legendRows(chart, m, inner.width(), maxRows);
    const double height = rows.size() * rowHeight;
    paintLegend(painter, rows, m, QRectF(inner.left(), inner.bottom() - height, inner.width(), height));
    inner.setBottom(inner.bottom() - height - m.margin * 0.6);
  }

  ChartGeometry g = axesFor(chart, options.window);
  const double yLabels = widestLabel(g.yScale, labelFm) + m.label.pixelSize() * 0.8;
  const double xLabelHalf = widestLabel(g.xScale, labelFm) / 2;
  g.plotArea = QRectF(QPointF(inner.left() + yLabels, inner.top() + labelFm.height() / 2),
                      QPointF(inner.right() - xLabelHalf, inner.bottom() - labelFm.height() * 1.4));
  if (g.plotArea.width() < 1 || g.plotArea.height() < 1) {  // too small to hold a plot
    painter.restore();
    return g;
  }

  paintGridlines(painter, g, chart);
  paintAxisLines(painter, g);
  paintAxisLabels(painter, g, m);

  painter.setClipRect(g.plotArea.adjusted(-m.lineWidth, -m.lineWidth, m.lineWidth, m.lineWidth), Qt::IntersectClip);
  painter.setBrush(Qt::NoBrush);
  for (std::size_t i = 0; i < chart.series.size(); ++i) {
    painter.setPen(QPen(seriesColor(static_cast<int>(i)), m.lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPainterPath& piece : curvePath(chart.series[i], g, options.reduceDensePoints)) painter.drawPath(piece);
  }
  painter.restore();
  return g;
}

}  // namespace render
