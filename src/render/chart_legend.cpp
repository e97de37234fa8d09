#include "chart_legend.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

#include "render/chart_painter.h"

namespace render {
namespace {

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

}  // namespace

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

}  // namespace render
