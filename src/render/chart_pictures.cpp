#include "render/chart_pictures.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <memory>
#include <new>
#include <set>

#include "core/workbook_error.h"
#include "output/output_file.h"
#include "picture_memory.h"
#include "render/chart_painter.h"

namespace render {
namespace {

// Pictures are laid out in pixels at 96 dots per inch, the resolution of the SVG and PDF too.
constexpr int kDotsPerInch = 96;
constexpr int kLargestSide = 20000;
constexpr char kWhat[] = "the picture";
constexpr std::uint64_t kMegabyte = 1024 * 1024;

[[noreturn]] void fail(const QString& file, const QString& why) {
  throw PictureError(QString("Could not write %1 \"%2\": %3").arg(QLatin1String(kWhat), file, why).toStdString());
}

// A picture is made in memory and only then written: an encoder never sees a failing file.
class MemoryDevice {
 public:
  MemoryDevice() : buffer_(&bytes_) { buffer_.open(QIODevice::WriteOnly); }
  QIODevice* device() { return &buffer_; }
  std::string_view bytes() const { return {bytes_.constData(), static_cast<std::size_t>(bytes_.size())}; }

 private:
  QByteArray bytes_;
  QBuffer buffer_;
};

void refuseSizeBeyondMemory(const QString& path, QSize size) {
  const std::uint64_t needed = rasterPictureBytes(size.width(), size.height());
  const auto available = memoryAvailable();
  if (available && needed > *available)
    fail(path, QString("a picture of %1x%2 pixels needs %3 MB of memory to draw, and only %4 MB are free here; "
                       "choose a smaller size.")
                   .arg(size.width())
                   .arg(size.height())
                   .arg(needed / kMegabyte)
                   .arg(*available / kMegabyte));
}

void encodePng(const PlotChart& chart, QSize size, MemoryDevice& out) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) throw std::bad_alloc();  // the memory went between the check and now
  image.setDotsPerMeterX(qRound(kDotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(kDotsPerInch / 0.0254));
  {
    QPainter painter(&image);
    paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), chart);
  }
  if (!image.save(out.device(), "PNG")) throw std::bad_alloc();  // in memory, only memory can fail
}

void encodeSvg(const PlotChart& chart, QSize size, MemoryDevice& out) {
  QSvgGenerator svg;
  svg.setOutputDevice(out.device());
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(kDotsPerInch);
  svg.setTitle(chart.title);
  QPainter painter;
  if (!painter.begin(&svg)) throw std::bad_alloc();
  paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), chart);
}

void encodePdf(const std::vector<PlotChart>& charts, QSize size, MemoryDevice& out) {
  QPdfWriter pdf(out.device());
  pdf.setResolution(kDotsPerInch);
  pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kDotsPerInch, QPageSize::Point));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setCreator("Tessaline");
  QPainter painter;
  if (!painter.begin(&pdf)) throw std::bad_alloc();
  for (std::size_t i = 0; i < charts.size(); ++i) {
    if (i > 0 && !pdf.newPage()) throw std::bad_alloc();
    paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), charts[i]);
  }
}

using OutputFiles = std::vector<std::unique_ptr<output::OutputFile>>;

// Every target is checked, and its temporary made, before any picture is drawn: a read-only
// NAME-2.png or a folder in its place leaves NAME-1.png as it was.
OutputFiles openAll(const QStringList& names) {
  OutputFiles files;
  std::set<std::string> targets;
  for (const QString& name : names) {
    files.push_back(std::make_unique<output::OutputFile>(name, kWhat));
    if (!targets.insert(files.back()->finalPath()).second)
      fail(name, "it is a link to another picture of the same set, which would overwrite it.");
  }
  return files;
}

void writeAll(const std::vector<PlotChart>& charts, PictureFormat format, QSize size, OutputFiles& files) {
  if (format == PictureFormat::Pdf) {
    MemoryDevice pdf;
    encodePdf(charts, size, pdf);
    files.front()->write(pdf.bytes());
    return;
  }
  for (std::size_t i = 0; i < charts.size(); ++i) {
    MemoryDevice picture;
    if (format == PictureFormat::Png) encodePng(charts[i], size, picture);
    else encodeSvg(charts[i], size, picture);
    files[i]->write(picture.bytes());
  }
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
  if (size.width() < 1 || size.height() < 1 || size.width() > kLargestSide || size.height() > kLargestSide)
    fail(path, QString("%1x%2 is not a picture size from 1x1 to %3x%3").arg(size.width()).arg(size.height()).arg(kLargestSide));
  if (*format == PictureFormat::Png) refuseSizeBeyondMemory(path, size);
  const QStringList names = pictureFileNames(path, charts.size());
  try {
    OutputFiles files = openAll(names);
    writeAll(charts, *format, size, files);
    for (auto& file : files) file->commit();
  } catch (const std::bad_alloc&) {
    fail(path, QString::fromLatin1(output::kNotEnoughMemory));
  } catch (const core::WorkbookError& error) {
    throw PictureError(error.what());
  }
  return names;
}

}  // namespace render
