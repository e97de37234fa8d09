#pragma once
// Workbooks made by a real graphing run, and helpers to look at drawn charts.
#include <QColor>
#include <QImage>
#include <QPainter>

#include <array>
#include <ostream>
#include <set>

#include <memory>

#include "graphing/run_fixture.h"
#include "render/chart_painter.h"

// Test failures print texts as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace view_testing {

// A finished run over the given rows; the fixture keeps the engine (and so the workbook).
inline std::unique_ptr<testing_support::RunFixture> runOf(
    std::initializer_list<std::array<const char*, 4>> rows, bool separate = true) {
  auto run = std::make_unique<testing_support::RunFixture>();
  for (const auto& row : rows) run->add(row[0], row[1], row[2], row[3]);
  run->window.separate = separate;
  run->runExpecting();
  return run;
}

inline bool near(const QColor& a, const QColor& b, int tolerance = 40) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= tolerance;
}

// The rows of column x whose pixel has (about) this colour.
inline std::vector<int> rowsOfColour(const QImage& image, int x, const QColor& colour, int tolerance = 40) {
  std::vector<int> rows;
  for (int y = 0; y < image.height(); ++y)
    if (near(image.pixelColor(x, y), colour, tolerance)) rows.push_back(y);
  return rows;
}

struct Drawn {
  QImage image;
  render::ChartGeometry geometry;
};

inline Drawn draw(const render::PlotChart& chart, QSize size = {1200, 800}, render::PaintOptions options = {}) {
  Drawn drawn{QImage(size, QImage::Format_ARGB32_Premultiplied), {}};
  QPainter painter(&drawn.image);
  drawn.geometry = render::paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), chart, options);
  return drawn;
}

}  // namespace view_testing
