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
constexpr int kSegmentsPerPiece = 8;

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

constexpr double kFlatness = 0.2;  // pixels

// The curve lies within 3/4 of its control points' distance from the chord.
bool nearlyStraight(const QPointF& a, const QPointF& c1, const QPointF& c2, const QPointF& b) {
  const QPointF chord = b - a;
  const double length = std::hypot(chord.x(), chord.y());
  auto offChord = [&](const QPointF& c) {
    const QPointF d = c - a;
    if (length == 0) return std::hypot(d.x(), d.y());
    return std::abs(d.x() * chord.y() - d.y() * chord.x()) / length;
  };
  return 0.75 * std::max(offChord(c1), offChord(c2)) <= kFlatness;
}

bool insideBox(const QPointF& p, const QRectF& box) {
  return p.x() >= box.left() && p.x() <= box.right() && p.y() >= box.top() && p.y() <= box.bottom();
}

// Builds the pieces of the path. Straight stretches whose inner points lie within kFlatness of
// the chord are drawn as the chord: the same pixels, and far fewer joins for the stroker.
class PathBuilder {
 public:
  explicit PathBuilder(const QRectF& safe) : safe_(safe) {}

  // A straight segment, clipped to the safe box. Merging joins it to the straight stretch
  // before it when the stretch stays near the joint chord.
  void line(QPointF a, QPointF b, bool merge = false) {
    if (!insideBox(a, safe_) || !insideBox(b, safe_)) {
      if (!clipSegment(a, b, safe_)) return;
    }
    startAt(a);
    if (!straight_.empty() && (!merge || straight_.size() >= kMaxStraight || !chordCovers(b))) flushStraight();
    straight_.push_back(b);
  }

  // A Bezier segment when both ends are near the plot; far off it, the chord clipped. A curve
  // that stays within a fraction of a pixel of its chord is drawn as the chord.
  void curve(const QPointF& a, const QPointF& c1, const QPointF& c2, const QPointF& b) {
    if (!insideBox(a, safe_) || !insideBox(b, safe_) || nearlyStraight(a, c1, c2, b)) return line(a, b, true);
    startAt(a);
    flushStraight();
    path_.cubicTo(c1, c2, b);
    anchor_ = b;
    ++segments_;
  }

  void breakLine() {
    flushStraight();
    open_ = false;
  }

  std::vector<QPainterPath> take() {
    flushStraight();
    if (!path_.isEmpty()) pieces_.push_back(std::move(path_));
    return std::move(pieces_);
  }

 private:
  static constexpr std::size_t kMaxStraight = 64;

  QPointF end() const { return straight_.empty() ? anchor_ : straight_.back(); }

  void startAt(const QPointF& a) {
    if (open_ && end() == a) {
      if (segments_ < kSegmentsPerPiece) return;
      flushStraight();  // a new piece, continuing where this one ends
      pieces_.push_back(std::move(path_));
      path_ = QPainterPath();
      segments_ = 0;
      path_.moveTo(anchor_);
      return;
    }
    flushStraight();
    path_.moveTo(a);
    anchor_ = a;
    open_ = true;
  }

  // Whether every point of the straight stretch stays near the chord from the anchor to b.
  bool chordCovers(const QPointF& b) const {
    const QPointF chord = b - anchor_;
    const double length = std::hypot(chord.x(), chord.y());
    if (length == 0) return false;
    for (const QPointF& p : straight_) {
      const QPointF d = p - anchor_;
      const double along = (d.x() * chord.x() + d.y() * chord.y()) / length;
      if (along < 0 || along > length) return false;  // a point behind or beyond: a turn back
      if (std::abs(d.x() * chord.y() - d.y() * chord.x()) / length > kFlatness) return false;
    }
    return true;
  }

  void flushStraight() {
    if (straight_.empty()) return;
    path_.lineTo(straight_.back());
    anchor_ = straight_.back();
    straight_.clear();
    ++segments_;
  }

  QRectF safe_;
  std::vector<QPainterPath> pieces_;
  QPainterPath path_;
  int segments_ = 0;
  QPointF anchor_;               // the path's last point drawn
  std::vector<QPointF> straight_;  // points after the anchor on one straight stretch, not drawn yet
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

std::vector<QPainterPath> curvePath(const PlotSeries& series, const ChartGeometry& geometry, bool reduceDensePoints) {
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
