// Chart pictures: one file per chart for PNG and SVG, one page per chart for PDF, at the size
// asked for; bad names and sizes refused with a message, nothing half written.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "render/chart_extraction.h"
#include "render/chart_pictures.h"
#include "view_test_support.h"

using render::writeChartPictures;

namespace {

std::vector<render::PlotChart> threeCharts() {
  auto run = view_testing::runOf({{"x + 3", "0", "20", "1"}, {"sin(x) + x", "0", "10", "0.5"}, {"x*x", "0", "5", "1"}});
  return render::plotChartsOf(run->book());
}

int pdfPages(const QString& file) {
  QProcess info;
  info.start("pdfinfo", {file});
  info.waitForFinished();
  const auto match = QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(info.readAllStandardOutput()));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString pdfPageSize(const QString& file) {
  QProcess info;
  info.start("pdfinfo", {file});
  info.waitForFinished();
  const auto match = QRegularExpression("Page size:\\s+([\\d.]+ x [\\d.]+) pts").match(QString::fromUtf8(info.readAllStandardOutput()));
  return match.captured(1);
}

}  // namespace

TEST(ChartPictures, PngPerChartNumberedWhenSeveral) {
  QTemporaryDir dir;
  const auto charts = threeCharts();
  const QStringList written = writeChartPictures(charts, dir.filePath("plot.png"));
  EXPECT_EQ(written, (QStringList{dir.filePath("plot-1.png"), dir.filePath("plot-2.png"), dir.filePath("plot-3.png")}));
  for (const QString& file : written) EXPECT_EQ(QImage(file).size(), QSize(1200, 800)) << file.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath("plot.png")));
  // One chart: the name as given, at the size asked for.
  EXPECT_EQ(writeChartPictures({charts[1]}, dir.filePath("one.PNG"), {640, 480}), QStringList{dir.filePath("one.PNG")});
  EXPECT_EQ(QImage(dir.filePath("one.PNG")).size(), QSize(640, 480));
}

TEST(ChartPictures, SvgCarriesItsSizeAndTexts) {
  QTemporaryDir dir;
  const auto charts = threeCharts();
  writeChartPictures({charts[1]}, dir.filePath("c.svg"), {900, 600});
  QFile file(dir.filePath("c.svg"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString svg = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(svg.contains("viewBox=\"0 0 900 600\"")) << svg.left(400).toStdString();
  EXPECT_TRUE(svg.contains("F(x) = sin(x) + x"));
  EXPECT_EQ(writeChartPictures(charts, dir.filePath("all.svg")).size(), 3);
}

TEST(ChartPictures, PdfHasOnePagePerChartAtThePictureSize) {
  QTemporaryDir dir;
  const auto charts = threeCharts();
  EXPECT_EQ(writeChartPictures(charts, dir.filePath("book.pdf")), QStringList{dir.filePath("book.pdf")});
  EXPECT_EQ(pdfPages(dir.filePath("book.pdf")), 3);
  EXPECT_EQ(pdfPageSize(dir.filePath("book.pdf")), "900 x 600");  // 1200 x 800 pixels at 96 dpi
  writeChartPictures({charts[0]}, dir.filePath("small.pdf"), {400, 300});
  EXPECT_EQ(pdfPages(dir.filePath("small.pdf")), 1);
  EXPECT_EQ(pdfPageSize(dir.filePath("small.pdf")), "300 x 225");
}

TEST(ChartPictures, RefusesWhatItCannotWriteWithAMessageNamingTheFile) {
  QTemporaryDir dir;
  const auto charts = threeCharts();
  auto messageOf = [&](auto&& write) -> std::string {
    try {
      write();
    } catch (const render::PictureError& error) {
      return error.what();
    }
    return "no error";
  };
  EXPECT_NE(messageOf([&] { writeChartPictures(charts, dir.filePath("plot.gif")); }).find("plot.gif"), std::string::npos);
  EXPECT_NE(messageOf([&] { writeChartPictures({}, dir.filePath("none.png")); }).find("no chart"), std::string::npos);
  EXPECT_NE(messageOf([&] { writeChartPictures(charts, dir.filePath("big.png"), {0, 10}); }).find("0x10"), std::string::npos);
  EXPECT_NE(messageOf([&] { writeChartPictures(charts, dir.filePath("missing/folder/x.pdf")); }).find("x.pdf"),
            std::string::npos);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}
