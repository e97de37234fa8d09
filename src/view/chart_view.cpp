#include "view/chart_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "calc/value.h"
#include "render/axis_scale.h"
#include "render/shown_number.h"

namespace view {
namespace {

constexpr double kHoverRadius = 24;  // pixels
constexpr int kMinimumBand = 5;      // a smaller drag is a click, not a zoom
// How far in a zoom may go: windows narrower than this part of their own magnitude would show
// only the rounding of the numbers.
constexpr double kNarrowest = 1e-12;

constexpr double kKeyZoom = 0.8;  // one press of + shows this part of the width and height
constexpr double kKeyPan = 0.1;   // one arrow key press moves the view by this part of it
constexpr double kLargest = std::numeric_limits<double>::max();

bool wideEnough(double low, double high) {
  const double magnitude = std::max({std::abs(low), std::abs(high), 1e-300});
  return render::halfSpan(low, high) > magnitude * kNarrowest * 0.5;
}

QString number(double value) { return render::fullNumber(value); }

double clampFinite(double v) { return std::clamp(v, -kLargest, kLargest); }

// The point `factor` of the way from `about` to `edge`, without overflow on the way.
double scaledToward(double about, double edge, double factor) {
  return clampFinite((about * 0.5 + render::halfSpan(about, edge) * factor) * 2);
}

// low..high moved by `shift`, stopping at the largest doubles rather than leaving them.
std::pair<double, double> shifted(double low, double high, double shift) {
  if (shift > 0) shift = std::min(shift, kLargest - high);
  else shift = std::max(shift, -kLargest - low);
  return {low + shift, high + shift};
}

}  // namespace

ChartView::ChartView(std::function<render::PlotChart()> load, QWidget* parent) : QWidget(parent), load_(std::move(load)) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  setFocusPolicy(Qt::StrongFocus);
  setToolTip({});
}

const render::PlotChart& ChartView::chart() const {
  if (!chart_) chart_ = load_();
  return *chart_;
}

std::size_t ChartView::pointCount() const {
  std::size_t points = 0;
  if (chart_)
    for (const render::PlotSeries& series : chart_->series) points += series.x.size();
  return points;
}

// Zoom stays as the user left it; the points, the picture and the hover go until shown again.
void ChartView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (pointCount() <= kPointsKeptWhileHidden) return;
  setHovered(std::nullopt);
  chart_.reset();
  ascending_.clear();
  picture_ = QPixmap();
  stale_ = true;
}

void ChartView::renderIfStale() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  if (!stale_ && picture_.size() == pixels) return;
  picture_ = QPixmap(pixels);
  picture_.setDevicePixelRatio(ratio);
  QPainter painter(&picture_);
  render::PaintOptions options;
  options.window = zoom_;
  geometry_ = render::paintChart(painter, QRectF(rect()), chart(), options);
  stale_ = false;
}

void ChartView::paintEvent(QPaintEvent*) {
  renderIfStale();
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
  paintHover(painter);
}

void ChartView::paintHover(QPainter& painter) const {
  if (!hovered_) return;
  const QPointF at = geometry_.toPixel(hovered_->x, hovered_->y);
  painter.setRenderHint(QPainter::Antialiasing);
  // A gap has no point: its marker is dashed and stands at the pointer's height.
  painter.setPen(QPen(render::seriesColor(hovered_->series), 2, hovered_->uncomputed ? Qt::DashLine : Qt::SolidLine));
  painter.setBrush(Qt::white);
  painter.drawEllipse(at, 5, 5);
  const QString text = hoverText(*hovered_);
  const QFontMetrics fm(font());
  const QSize textSize = fm.size(0, text);
  QRectF box(at + QPointF(10, -textSize.height() - 12), QSizeF(textSize.width() + 12, textSize.height() + 6));
  if (box.right() > width()) box.moveRight(at.x() - 10);
  if (box.top() < 0) box.moveTop(at.y() + 10);
  painter.setPen(QColor(0xBF, 0xBF, 0xBF));
  painter.setBrush(QColor(255, 255, 255, 235));
  painter.drawRoundedRect(box, 3, 3);
  painter.setPen(QColor(0x40, 0x40, 0x40));
  painter.drawText(box, Qt::AlignCenter, text);
}

// Runs of x values in ascending order (the usual case: x from start to end by a positive step)
// are searched by bisection for the points within reach; anything else point by point.
std::optional<HoveredPoint> ChartView::pointNear(const QPointF& pixel) const {
  std::optional<HoveredPoint> best;
  double bestDistance = kHoverRadius * kHoverRadius;
  const double reachLow = geometry_.toData(pixel - QPointF(kHoverRadius, 0)).x();
  const double reachHigh = geometry_.toData(pixel + QPointF(kHoverRadius, 0)).x();
  const auto& series = chart().series;
  for (std::size_t s = 0; s < series.size(); ++s) {
    const auto& xs = series[s].x;
    const auto& ys = series[s].y;
    const std::size_t count = std::min(xs.size(), ys.size());
    std::size_t from = 0, to = count;
    if (const auto sorted = ascendingLength(s)) {
      const auto end = xs.begin() + static_cast<std::ptrdiff_t>(*sorted);
      from = static_cast<std::size_t>(std::lower_bound(xs.begin(), end, reachLow) - xs.begin());
      to = static_cast<std::size_t>(std::upper_bound(xs.begin(), end, reachHigh) - xs.begin());
    }
    for (std::size_t i = from; i < to; ++i) {
      if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) continue;
      const QPointF d = geometry_.toPixel(xs[i], ys[i]) - pixel;
      const double distance = d.x() * d.x() + d.y() * d.y();
      if (distance < bestDistance) {
        bestDistance = distance;
        best = HoveredPoint{static_cast<int>(s), i, xs[i], ys[i]};
      }
    }
  }
  return best;
}

// When the series' x values are numbers in ascending order followed only by cells without a
// number (the empty row the chart's block ends with), the length of that ascending part.
std::optional<std::size_t> ChartView::ascendingLength(std::size_t series) const {
  constexpr std::size_t kUnsorted = static_cast<std::size_t>(-1);
  if (ascending_.size() != chart().series.size()) {
    ascending_.clear();
    for (const auto& s : chart().series) {
      const std::size_t count = std::min(s.x.size(), s.y.size());
      std::size_t length = 0;
      while (length < count && std::isfinite(s.x[length]) && (length == 0 || s.x[length - 1] <= s.x[length])) ++length;
      const bool restEmpty = std::none_of(s.x.begin() + static_cast<std::ptrdiff_t>(length),
                                          s.x.begin() + static_cast<std::ptrdiff_t>(count),
                                          [](double x) { return std::isfinite(x); });
      ascending_.push_back(restEmpty ? length : kUnsorted);
    }
  }
  if (ascending_[series] == kUnsorted) return std::nullopt;
  return ascending_[series];
}

// Where the locale writes a decimal comma, a semicolon keeps x and f(x) apart.
QString ChartView::pointText(const HoveredPoint& point) const {
  const QString separator = QLocale().decimalPoint() == QLatin1String(",") ? "; " : ", ";
  const QString value = point.uncomputed ? "(" + QString::fromUtf8(calc::kNotComputedText.data(),
                                                                   static_cast<qsizetype>(calc::kNotComputedText.size())) + ")"
                                         : number(point.y);
  return "x = " + number(point.x) + separator + "f(x) = " + value;
}

QString ChartView::hoverText(const HoveredPoint& point) const {
  if (chart().series.size() < 2) return pointText(point);
  const auto& name = chart().series[static_cast<std::size_t>(point.series)].name;
  return (name.isEmpty() ? QString("Series %1").arg(point.series + 1) : name) + "\n" + pointText(point);
}

// The series' point with a finite x nearest to x, by bisection over an ascending run.
std::optional<ChartView::AlongX> ChartView::nearestAlongX(std::size_t series, double x) const {
  const auto& xs = chart().series[series].x;
  if (const auto sorted = ascendingLength(series)) {
    if (*sorted == 0) return std::nullopt;
    const auto end = xs.begin() + static_cast<std::ptrdiff_t>(*sorted);
    auto at = static_cast<std::size_t>(std::lower_bound(xs.begin(), end, x) - xs.begin());
    if (at == *sorted || (at > 0 && x - xs[at - 1] <= xs[at] - x)) --at;
    return AlongX{at, xs.front(), xs[*sorted - 1]};
  }
  std::optional<AlongX> found;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (!std::isfinite(xs[i])) continue;
    if (!found) found = AlongX{i, xs[i], xs[i]};
    if (std::abs(xs[i] - x) < std::abs(xs[found->nearest] - x)) found->nearest = i;
    found->low = std::min(found->low, xs[i]);
    found->high = std::max(found->high, xs[i]);
  }
  return found;
}

std::optional<HoveredPoint> ChartView::gapUnder(const QPointF& pixel) const {
  const QPointF at = geometry_.toData(pixel);
  const double reach = std::abs(geometry_.toData(pixel + QPointF(kHoverRadius, 0)).x() - at.x());
  const auto& series = chart().series;
  for (std::size_t s = 0; s < series.size(); ++s) {
    if (series[s].uncomputed.empty()) continue;
    const auto along = nearestAlongX(s, at.x());
    if (!along || !series[s].isUncomputed(along->nearest)) continue;
    if (at.x() < along->low - reach || at.x() > along->high + reach) continue;  // past the series' ends
    return HoveredPoint{static_cast<int>(s), along->nearest, series[s].x[along->nearest], at.y(), true};
  }
  return std::nullopt;
}

void ChartView::setHovered(std::optional<HoveredPoint> point) {
  // A gap's marker follows the pointer up and down; a point's stays on the point.
  const bool changed = point.has_value() != hovered_.has_value() ||
                       (point && (point->series != hovered_->series || point->index != hovered_->index ||
                                  point->y != hovered_->y));
  hovered_ = point;
  if (!changed) return;
  update();
  QString text;
  if (point) {
    const auto& name = chart().series[static_cast<std::size_t>(point->series)].name;
    text = (name.isEmpty() ? QString() : name + ":  ") + pointText(*point);
  }
  emit pointHovered(text);
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
  if (band_ && band_->isVisible()) {
    band_->setGeometry(QRect(bandOrigin_, event->position().toPoint()).normalized());
    return;
  }
  if (stale_) return;  // not drawn yet: nothing to hover over
  if (!geometry_.plotArea.contains(event->position())) return setHovered(std::nullopt);
  auto point = pointNear(event->position());
  setHovered(point ? point : gapUnder(event->position()));
}

void ChartView::leaveEvent(QEvent*) { setHovered(std::nullopt); }

void ChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, this);
  bandOrigin_ = event->position().toPoint();
  band_->setGeometry(QRect(bandOrigin_, QSize()));
  band_->show();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !band_ || !band_->isVisible()) return;
  band_->hide();
  const QRectF picked = QRectF(band_->geometry()).intersected(geometry_.plotArea);
  if (picked.width() < kMinimumBand || picked.height() < kMinimumBand) return;
  const QPointF low = geometry_.toData(picked.bottomLeft()), high = geometry_.toData(picked.topRight());
  zoomTo({low.x(), high.x(), low.y(), high.y()});
}

void ChartView::mouseDoubleClickEvent(QMouseEvent*) { resetZoom(); }

void ChartView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  zoomBy(std::pow(0.8, steps), event->position());
  event->accept();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
  renderIfStale();
  const QPointF centre = geometry_.plotArea.center();
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: return zoomBy(kKeyZoom, centre);
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return zoomBy(1 / kKeyZoom, centre);
    case Qt::Key_0: return resetZoom();
    case Qt::Key_Left: return pan(-kKeyPan, 0);
    case Qt::Key_Right: return pan(kKeyPan, 0);
    case Qt::Key_Up: return pan(0, kKeyPan);
    case Qt::Key_Down: return pan(0, -kKeyPan);
    default: QWidget::keyPressEvent(event);
  }
}

void ChartView::zoomTo(const render::DataWindow& window) {
  for (double v : {window.xMin, window.xMax, window.yMin, window.yMax})
    if (!std::isfinite(v)) return;
  if (!wideEnough(window.xMin, window.xMax) || !wideEnough(window.yMin, window.yMax)) return;
  zoom_ = window;
  stale_ = true;
  setHovered(std::nullopt);
  update();
}

// factor < 1 zooms in: the window shrinks about the data point under the pointer.
void ChartView::zoomBy(double factor, const QPointF& aboutPixel) {
  renderIfStale();
  const render::DataWindow now = geometry_.window();
  const QPointF about = geometry_.toData(aboutPixel);
  zoomTo({scaledToward(about.x(), now.xMin, factor), scaledToward(about.x(), now.xMax, factor),
          scaledToward(about.y(), now.yMin, factor), scaledToward(about.y(), now.yMax, factor)});
}

void ChartView::pan(double right, double up) {
  renderIfStale();
  const render::DataWindow now = geometry_.window();
  const auto [xMin, xMax] = shifted(now.xMin, now.xMax, render::halfSpan(now.xMin, now.xMax) * (2 * right));
  const auto [yMin, yMax] = shifted(now.yMin, now.yMax, render::halfSpan(now.yMin, now.yMax) * (2 * up));
  zoomTo({xMin, xMax, yMin, yMax});
}

void ChartView::resetZoom() {
  zoom_.reset();
  stale_ = true;
  setHovered(std::nullopt);
  update();
}

}  // namespace view
