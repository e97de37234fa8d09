#include "curve_path.h"

#include <algorithm>
#include <cmath>

namespace render {
namespace {

// Runs with more points than this per pixel column on average are reduced.
constexpr double kDensePointsPerColumn = 4;
// Pixel coordinates beyond this distance from the plot are clipped before drawing: the
// rasteriser works in fixed point and a zoomed-in view can put points millions of pixels away.
constexpr double kSafeMargin = 2000;

// Liang-Barsky: the part of segment a-b inside `box`, if any.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& box) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const QPointF start = a;
  a = start + QPointF(dx, dy) * t0;
  b = start + QPointF(dx, dy) * t1;
  return true;
}

bool insideBox(const QPointF& p, const QRectF& box) {
  return p.x() >= box.left() && p.x() <= box.right() && p.y() >= box.top() && p.y() <= box.bottom();
}

class PathBuilder {
 public:
  explicit PathBuilder(const QRectF& safe) : safe_(safe) {}

  // A straight segment, clipped to the safe box.
  void line(QPointF a, QPointF b) {
    if (!insideBox(a, safe_) || !insideBox(b, safe_)) {
      if (!clipSegment(a, b, safe_)) return;
    }
    moveIfNeeded(a);
    path_.lineTo(b);
    last_ = b;
    open_ = true;
  }

  // A Bezier segment when both ends are near the plot; far off it, the chord clipped.
  void curve(const QPointF& a, const QPointF& c1, const QPointF& c2, const QPointF& b) {
    if (!insideBox(a, safe_) || !insideBox(b, safe_)) return line(a, b);
    moveIfNeeded(a);
    path_.cubicTo(c1, c2, b);
    last_ = b;
    open_ = true;
  }

  void breakLine() { open_ = false; }
  QPainterPath take() { return std::move(path_); }

 private:
  void moveIfNeeded(const QPointF& a) {
    if (!open_ || last_ != a) path_.moveTo(a);
  }

  QRectF safe_;
  QPainterPath path_;
  QPointF last_;
  bool open_ = false;
};

void addPolyline(PathBuilder& builder, const std::vector<QPointF>& points) {
  if (points.size() == 1) builder.line(points[0], points[0]);  // a lone point shows as a dot
  for (std::size_t i = 1; i < points.size(); ++i) builder.line(points[i - 1], points[i]);
  builder.breakLine();
}

void addSmoothed(PathBuilder& builder, const std::vector<QPointF>& p) {
  const std::size_t n = p.size();
  if (n < 3) return addPolyline(builder, p);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const QPointF& p0 = p[i == 0 ? 0 : i - 1];
    const QPointF& p3 = p[i + 2 < n ? i + 2 : n - 1];
    builder.curve(p[i], p[i] + (p[i + 1] - p0) / 6.0, p[i + 1] - (p3 - p[i]) / 6.0, p[i + 1]);
  }
  builder.breakLine();
}

std::size_t pixelColumnCount(const std::vector<QPointF>& points) {
  std::size_t columns = 0;
  double current = std::nan("");
  for (const QPointF& p : points) {
    const double column = std::floor(p.x());
    if (column != current) ++columns, current = column;
  }
  return columns;
}

void addRun(PathBuilder& builder, const std::vector<QPointF>& run, bool reduce) {
  if (run.empty()) return;
  if (reduce && run.size() > kDensePointsPerColumn * pixelColumnCount(run))
    return addPolyline(builder, reduceByPixelColumn(run));
  addSmoothed(builder, run);
}

}  // namespace

std::vector<QPointF> reduceByPixelColumn(const std::vector<QPointF>& points) {
  std::vector<QPointF> kept;
  kept.reserve(std::min<std::size_t>(points.size(), 4096));
  std::size_t begin = 0;
  while (begin < points.size()) {
    const double column = std::floor(points[begin].x());
    std::size_t end = begin + 1, low = begin, high = begin;
    for (; end < points.size() && std::floor(points[end].x()) == column; ++end) {
      if (points[end].y() < points[low].y()) low = end;
      if (points[end].y() > points[high].y()) high = end;
    }
    std::size_t picks[4] = {begin, std::min(low, high), std::max(low, high), end - 1};
    for (std::size_t k = 0; k < 4; ++k)
      if (k == 0 || picks[k] != picks[k - 1]) kept.push_back(points[picks[k]]);
    begin = end;
  }
  return kept;
}

QPainterPath curvePath(const PlotSeries& series, const ChartGeometry& geometry, bool reduceDensePoints) {
  PathBuilder builder(geometry.plotArea.adjusted(-kSafeMargin, -kSafeMargin, kSafeMargin, kSafeMargin));
  std::vector<QPointF> run;
  run.reserve(std::min<std::size_t>(series.x.size(), 1 << 20));
  const std::size_t count = std::min(series.x.size(), series.y.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (std::isfinite(series.x[i]) && std::isfinite(series.y[i])) {
      run.push_back(geometry.toPixel(series.x[i], series.y[i]));
      continue;
    }
    addRun(builder, run, reduceDensePoints);  // a gap ends the line
    run.clear();
  }
  addRun(builder, run, reduceDensePoints);
  return builder.take();
}

}  // namespace render
