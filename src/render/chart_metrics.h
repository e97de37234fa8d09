#pragma once
// The sizes and colours a chart is drawn with, shared by its parts.
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace render {

inline const QColor kTextColor(0x40, 0x40, 0x40);
inline const QColor kTitleColor(0x1A, 0x1A, 0x1A);
inline const QColor kGridColor(0xD0, 0xD0, 0xD0);
inline const QColor kMinorGridColor(0xF0, 0xF0, 0xF0);
inline const QColor kAxisColor(0xA6, 0xA6, 0xA6);

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

}  // namespace render
