#pragma once
// A chart sheet tab: the chart drawn to fill the tab. Hovering shows the nearest point (naming
// its series on a chart of several), or over the gap of values not computed here says so; the
// wheel zooms about the pointer, dragging a rectangle zooms to it, a double-click resets. Keys:
// + and - zoom about the centre, 0 shows the whole chart again, the arrow keys move the view.
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "render/chart_painter.h"
#include "render/plot_chart.h"

class QRubberBand;

namespace view {

// The point of a series nearest to the pointer.
struct HoveredPoint {
  int series = -1;
  std::size_t index = 0;
  double x = 0;
  double y = 0;
  bool uncomputed = false;  // a gap: its f(x) is not computed here, and y is the pointer's
};

class ChartView : public QWidget {
  Q_OBJECT

 public:
  // The chart is read the first time it is needed, so tabs that are never opened cost nothing.
  // A chart of more points than this is let go when its tab is hidden and read again when shown,
  // so that a window of many large charts holds the points of the one on screen only.
  static constexpr std::size_t kPointsKeptWhileHidden = std::size_t{1} << 18;

  explicit ChartView(std::function<render::PlotChart()> load, QWidget* parent = nullptr);

  const render::PlotChart& chart() const;
  const std::optional<render::DataWindow>& zoomWindow() const { return zoom_; }
  const render::ChartGeometry& geometry() const { return geometry_; }
  const std::optional<HoveredPoint>& hovered() const { return hovered_; }

  void zoomTo(const render::DataWindow& window);
  void zoomBy(double factor, const QPointF& aboutPixel);
  void resetZoom();
  // Moves the view by these parts of its width and height (right and up positive).
  void pan(double right, double up);
  // The series point nearest to `pixel` within a small radius, if any.
  std::optional<HoveredPoint> pointNear(const QPointF& pixel) const;
  // The uncomputed point whose gap lies under `pixel`: of a series whose point nearest to it
  // along x is not computed here.
  std::optional<HoveredPoint> gapUnder(const QPointF& pixel) const;
  // "x = 1.5, f(x) = 0.997", or "x = 1.5, f(x) = (not computed)": the text for a hovered point.
  // Numbers as the user's locale writes them.
  QString pointText(const HoveredPoint& point) const;
  // What the box beside a hovered point says: on a chart of several series, the series' name
  // on a line above pointText.
  QString hoverText(const HoveredPoint& point) const;

  QSize sizeHint() const override { return {900, 600}; }

 signals:
  void pointHovered(const QString& text);  // empty when the pointer leaves every point

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void renderIfStale();
  std::size_t pointCount() const;
  void setHovered(std::optional<HoveredPoint> point);
  void paintHover(QPainter& painter) const;
  std::optional<std::size_t> ascendingLength(std::size_t series) const;
  struct AlongX {
    std::size_t nearest;
    double low, high;  // the series' smallest and largest x
  };
  std::optional<AlongX> nearestAlongX(std::size_t series, double x) const;

  std::function<render::PlotChart()> load_;
  mutable std::optional<render::PlotChart> chart_;
  mutable std::vector<std::size_t> ascending_;  // per series, found once
  std::optional<render::DataWindow> zoom_;
  render::ChartGeometry geometry_;
  QPixmap picture_;  // the chart as last drawn; hovering paints over it
  bool stale_ = true;
  std::optional<HoveredPoint> hovered_;
  QRubberBand* band_ = nullptr;
  QPoint bandOrigin_;
};

}  // namespace view
