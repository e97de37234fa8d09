#include "render/chart_pictures.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "render/chart_painter.h"

namespace render {
namespace {

// Pictures are laid out in pixels at 96 dots per inch, the resolution of the SVG and PDF too.
constexpr int kDotsPerInch = 96;

[[noreturn]] void fail(const QString& file, const QString& why) {
  throw PictureError(QString("The picture \"%1\" could not be written: %2").arg(file, why).toStdString());
}

QSaveFile& openOrFail(QSaveFile& file) {
  if (!file.open(QIODevice::WriteOnly)) fail(file.fileName(), file.errorString());
  return file;
}

void commitOrFail(QSaveFile& file) {
  if (!file.commit()) fail(file.fileName(), file.errorString());
}

void writePng(const PlotChart& chart, const QString& path, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.setDotsPerMeterX(qRound(kDotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(kDotsPerInch / 0.0254));
  {
    QPainter painter(&image);
    paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), chart);
  }
  QSaveFile file(path);
  if (!image.save(&openOrFail(file), "PNG")) fail(path, "the PNG encoder failed");
  commitOrFail(file);
}

void writeSvg(const PlotChart& chart, const QString& path, QSize size) {
  QSaveFile file(path);
  QSvgGenerator svg;
  svg.setOutputDevice(&openOrFail(file));
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(kDotsPerInch);
  svg.setTitle(chart.title);
  {
    QPainter painter;
    if (!painter.begin(&svg)) fail(path, "the SVG generator did not start");
    paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), chart);
  }
  commitOrFail(file);
}

void writePdf(const std::vector<PlotChart>& charts, const QString& path, QSize size) {
  QSaveFile file(path);
  QPdfWriter pdf(&openOrFail(file));
  pdf.setResolution(kDotsPerInch);
  pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kDotsPerInch, QPageSize::Point));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setCreator("Tessaline");
  {
    QPainter painter;
    if (!painter.begin(&pdf)) fail(path, "the PDF writer did not start");
    for (std::size_t i = 0; i < charts.size(); ++i) {
      if (i > 0 && !pdf.newPage()) fail(path, "a new page could not be started");
      paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), charts[i]);
    }
  }
  commitOrFail(file);
}

}  // namespace

std::optional<PictureFormat> pictureFormatOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "png") return PictureFormat::Png;
  if (suffix == "svg") return PictureFormat::Svg;
  if (suffix == "pdf") return PictureFormat::Pdf;
  return std::nullopt;
}

QStringList pictureFileNames(const QString& path, std::size_t chartCount) {
  if (chartCount <= 1 || pictureFormatOf(path) == PictureFormat::Pdf) return {path};
  const QFileInfo info(path);
  const QString stem = path.left(path.size() - info.suffix().size() - 1);
  QStringList names;
  for (std::size_t i = 1; i <= chartCount; ++i) names << QString("%1-%2.%3").arg(stem).arg(i).arg(info.suffix());
  return names;
}

QStringList writeChartPictures(const std::vector<PlotChart>& charts, const QString& path, QSize size) {
  const auto format = pictureFormatOf(path);
  if (!format) fail(path, "its name must end in .png, .svg or .pdf");
  if (charts.empty()) fail(path, "the workbook has no chart");
  if (size.width() < 1 || size.height() < 1 || size.width() > 20000 || size.height() > 20000)
    fail(path, QString("%1x%2 is not a picture size from 1x1 to 20000x20000").arg(size.width()).arg(size.height()));
  const QStringList names = pictureFileNames(path, charts.size());
  if (*format == PictureFormat::Pdf) {
    writePdf(charts, path, size);
    return names;
  }
  for (std::size_t i = 0; i < charts.size(); ++i) {
    if (*format == PictureFormat::Png) writePng(charts[i], names[static_cast<int>(i)], size);
    else writeSvg(charts[i], names[static_cast<int>(i)], size);
  }
  return names;
}

}  // namespace render
