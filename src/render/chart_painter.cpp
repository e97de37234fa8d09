#include "render/chart_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

#include "curve_path.h"
#include "render/empty_series_note.h"

namespace render {
namespace {

const QColor kTextColor(0x40, 0x40, 0x40);
const QColor kTitleColor(0x1A, 0x1A, 0x1A);
const QColor kGridColor(0xD0, 0xD0, 0xD0);
const QColor kMinorGridColor(0xF0, 0xF0, 0xF0);
const QColor kAxisColor(0xA6, 0xA6, 0xA6);
constexpr double kLargest = std::numeric_limits<double>::max();

// Sizes grow with the picture, so a large export reads like a small window. The title is bold
// and 1.6 times the labels: the spreadsheet's default 14 pt title beside 9 pt labels (LibreOffice
// draws this workbook's title 1.8 times its labels).
struct Metrics {
  QFont label;
  QFont title;
  double lineWidth;
  double margin;
  double pad;   // between an axis and its labels
  double tick;  // half the length of a tick mark across its axis

  explicit Metrics(const QSizeF& size) {
    const double labelPx = std::clamp(std::round(std::min(size.width(), size.height() * 1.5) / 90.0), 10.0, 22.0);
    label.setPixelSize(static_cast<int>(labelPx));
    title.setPixelSize(static_cast<int>(std::round(labelPx * 1.6)));
    title.setBold(true);
    lineWidth = std::clamp(labelPx / 5.0, 1.5, 4.0);
    margin = std::round(labelPx * 1.2);
    pad = std::round(labelPx * 0.4);
    tick = std::round(labelPx * 0.3);
  }
  double sample() const { return label.pixelSize() * 2.0; }
  double gap() const { return label.pixelSize() * 0.5; }
  double spacing() const { return label.pixelSize() * 1.5; }
  double rowHeight() const { return QFontMetricsF(label).height() * 1.25; }
};

// ---- Legend ------------------------------------------------------------------------------

struct LegendEntry {
  QString text;
  int series;  // -1: the note of how many are left out
  QPointF at;  // top left
};

struct Legend {
  std::vector<LegendEntry> entries;
  QSizeF size;
};

double entryWidth(const LegendEntry& e, const Metrics& m, const QFontMetricsF& fm) {
  return (e.series >= 0 ? m.sample() + m.gap() : 0) + fm.horizontalAdvance(e.text);
}

std::vector<LegendEntry> elidedEntries(const PlotChart& chart, const QFontMetricsF& fm, double maxText) {
  std::vector<LegendEntry> entries;
  for (std::size_t i = 0; i < chart.series.size(); ++i)
    entries.push_back({fm.elidedText(chart.series[i].name, Qt::ElideRight, maxText), static_cast<int>(i), {}});
  return entries;
}

// Keeps the first capacity - 1 entries and a note of how many more there are.
void keepWithin(std::vector<LegendEntry>& entries, std::size_t capacity) {
  if (entries.size() <= capacity) return;
  const std::size_t kept = capacity > 0 ? capacity - 1 : 0;
  const auto more = entries.size() - kept;
  entries.resize(kept);
  entries.push_back({QString("+%1 more").arg(more), -1, {}});
}

// Beside the plot (left or right): entries in rows as many as the chart's height allows, in
// as many columns as need be within maxWidth, filled row by row as the spreadsheet fills them;
// each entry at most entryMax wide.
Legend columnLegend(const PlotChart& chart, const Metrics& m, double height, double entryMax, double maxWidth) {
  const QFontMetricsF fm(m.label);
  auto entries = elidedEntries(chart, fm, std::max(40.0, entryMax - m.sample() - m.gap()));
  const std::size_t rowsFit = std::max<std::size_t>(1, static_cast<std::size_t>(height / m.rowHeight()));
  double widest = 0;
  for (const auto& e : entries) widest = std::max(widest, entryWidth(e, m, fm));
  const double columnWidth = widest + m.spacing();
  const auto columnsFit = std::max<std::size_t>(1, static_cast<std::size_t>((maxWidth + m.spacing()) / columnWidth));
  keepWithin(entries, rowsFit * columnsFit);
  const std::size_t columns = std::min(columnsFit, (entries.size() + rowsFit - 1) / rowsFit);
  const std::size_t rows = columns > 0 ? (entries.size() + columns - 1) / columns : 0;
  for (std::size_t i = 0; i < entries.size(); ++i)
    entries[i].at = QPointF(static_cast<double>(i % columns) * columnWidth, static_cast<double>(i / columns) * m.rowHeight());
  return {entries, QSizeF(static_cast<double>(columns) * columnWidth - m.spacing(), static_cast<double>(rows) * m.rowHeight())};
}

// Above or below the plot: centred rows of entries, at most maxRows of them.
Legend rowLegend(const PlotChart& chart, const Metrics& m, double width, int maxRows) {
  const QFontMetricsF fm(m.label);
  auto entries = elidedEntries(chart, fm, std::max(40.0, width * 0.45 - m.sample() - m.gap()));
  std::vector<std::vector<LegendEntry>> rows(1);
  double used = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const double w = entryWidth(entries[i], m, fm) + m.spacing();
    if (used > 0 && used + w > width) {
      if (static_cast<int>(rows.size()) == maxRows) {
        // No room for the rest: the last entry of the last row makes way for the note.
        rows.back().back() = {QString("+%1 more").arg(entries.size() - static_cast<std::size_t>(rows.back().back().series)), -1, {}};
        break;
      }
      rows.emplace_back();
      used = 0;
    }
    rows.back().push_back(entries[i]);
    used += w;
  }
  Legend legend;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    double total = -m.spacing();
    for (const auto& e : rows[r]) total += entryWidth(e, m, fm) + m.spacing();
    double x = (width - total) / 2;
    for (auto e : rows[r]) {
      e.at = QPointF(x, static_cast<double>(r) * m.rowHeight());
      x += entryWidth(e, m, fm) + m.spacing();
      legend.entries.push_back(e);
    }
  }
  legend.size = QSizeF(width, static_cast<double>(rows.size()) * m.rowHeight());
  return legend;
}

void paintLegend(QPainter& painter, const Legend& legend, const QPointF& origin, const Metrics& m) {
  const QFontMetricsF fm(m.label);
  painter.setFont(m.label);
  for (const auto& e : legend.entries) {
    QPointF at = origin + e.at;
    const double mid = at.y() + m.rowHeight() / 2;
    if (e.series >= 0) {
      painter.setPen(QPen(seriesColor(e.series), m.lineWidth, Qt::SolidLine, Qt::RoundCap));
      painter.drawLine(QPointF(at.x(), mid), QPointF(at.x() + m.sample(), mid));
      at.rx() += m.sample() + m.gap();
    }
    painter.setPen(kTextColor);
    painter.drawText(QRectF(at.x(), at.y(), fm.horizontalAdvance(e.text) + 2, m.rowHeight()),
                     Qt::AlignLeft | Qt::AlignVCenter, e.text);
  }
}

// Places the legend where the chart puts it and returns what is left of `inner` for the plot.
QRectF placeLegend(QPainter& painter, const PlotChart& chart, const Metrics& m, const QRectF& area, QRectF inner) {
  if (!chart.showLegend || chart.series.empty()) return inner;
  switch (chart.legendPosition) {
    case LegendPosition::Right:
    case LegendPosition::Left: {
      const Legend legend = columnLegend(chart, m, inner.height(), inner.width() / 3, inner.width() / 2);
      const bool right = chart.legendPosition == LegendPosition::Right;
      const double x = right ? inner.right() - legend.size.width() : inner.left();
      paintLegend(painter, legend, QPointF(x, inner.center().y() - legend.size.height() / 2), m);
      if (right) inner.setRight(x - m.margin);
      else inner.setLeft(x + legend.size.width() + m.margin);
      return inner;
    }
    case LegendPosition::Top:
    case LegendPosition::Bottom: {
      const int maxRows = std::max(1, static_cast<int>(area.height() * 0.25 / m.rowHeight()));
      const Legend legend = rowLegend(chart, m, inner.width(), maxRows);
      const bool top = chart.legendPosition == LegendPosition::Top;
      const double y = top ? inner.top() : inner.bottom() - legend.size.height();
      paintLegend(painter, legend, QPointF(inner.left(), y), m);
      if (top) inner.setTop(y + legend.size.height() + m.margin * 0.6);
      else inner.setBottom(y - m.margin * 0.6);
      return inner;
    }
  }
  return inner;
}

// ---- Axes --------------------------------------------------------------------------------

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
