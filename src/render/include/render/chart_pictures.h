#pragma once
// Charts as picture files: PNG, SVG or PDF, chosen by the file name's suffix. A PDF gets one
// page per chart; a PNG or SVG of several charts becomes NAME-1.png, NAME-2.png, ...
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>
#include <vector>

#include "render/plot_chart.h"

namespace render {

inline constexpr QSize kDefaultPictureSize{1200, 800};

class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class PictureFormat { Png, Svg, Pdf };

// The format named by the path's suffix (any letter case); nothing for other suffixes.
std::optional<PictureFormat> pictureFormatOf(const QString& path);

// The files that writeChartPictures writes for this many charts.
QStringList pictureFileNames(const QString& path, std::size_t chartCount);

// Writes every chart, each file replaced whole or not at all. Returns the files written.
// Throws PictureError naming the file when one cannot be written, or when there is no chart.
QStringList writeChartPictures(const std::vector<PlotChart>& charts, const QString& path,
                               QSize size = kDefaultPictureSize);

}  // namespace render
