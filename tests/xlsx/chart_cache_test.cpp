// The numbers a chart carries for viewers that draw from its cache, written through the real
// writer and read back by openpyxl's chart model: one point per cell holding a number, exact
// to the bit, the rest left out as gaps; and LibreOffice drawing the charts without complaint.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include "readers.h"
#include "core/chart_types.h"
#include "core/workbook_model.h"
#include "xlsx/workbook_writer.h"

namespace {

QJsonObject readCaches(const QString& book) {
  const auto run = xlsx_test::runReader("/usr/bin/python3", {QStringLiteral(TESSALINE_XLSX_TEST_DIR "/chart_caches.py"), book});
  EXPECT_TRUE(run.ok) << run.output.toStdString();
  return QJsonDocument::fromJson(run.output.toUtf8()).object();
}

QString hexOf(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

// Python's float.hex() and C's %a spell the same bits differently: compare the doubles.
QString normalised(const QJsonValue& pythonHex) {
  return hexOf(std::strtod(pythonHex.toString().toStdString().c_str(), nullptr));
}

std::shared_ptr<core::SeriesData> seriesOf(core::WorkbookModel& model, core::SheetNode& data, core::CellBlock x,
                                           core::CellBlock y) {
  const auto sheet = model.at(model.position(data));
  return std::make_shared<core::SeriesData>(
      core::SeriesData{std::string("f"), core::SeriesReference{sheet, x}, core::SeriesReference{sheet, y}});
}

class ChartCacheTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
};

// Rows 1-8 of a column of x values and one of results of every kind; the range runs two rows
// past the last cell.
TEST_F(ChartCacheTest, EachNumberIsCachedExactlyAndEverythingElseIsAGap) {
  core::WorkbookModel model(1);
  core::SheetNode& data = *model.at(1);
  model.rename(data, "My Data");
  const double xs[] = {0.1, 0.2, 0.30000000000000004, -2.9800000000000004, 1e300, 5e-324, 7, 8};
  const char* ys[] = {"=A1*3", "=\"text\"", "=1/0", "=WEBSERVICE(\"http://example.invalid\")", "=Z99", "=A6>0",
                      "", "=-A8"};
  for (int row = 1; row <= 8; ++row) {
    model.setNumber(data, row, 1, xs[row - 1]);
    if (*ys[row - 1]) model.setText(data, row, 2, ys[row - 1]);
  }
  model.setText(data, 7, 2, "plain text");
  auto chart = model.addChartBeforeActive();
  chart->chart->type = core::ChartType::XYScatterSmoothNoMarkers;
  chart->chart->series.push_back(seriesOf(model, data, {1, 1, 10, 1}, {1, 2, 10, 2}));
  const QString book = dir.filePath("caches.xlsx");
  xlsx::writeWorkbook(model, book.toStdString());

  const QJsonObject chart1 = readCaches(book)["xl/charts/chart1.xml"].toObject();
  EXPECT_EQ(chart1["dispBlanksAs"].toString(), "gap");
  const QJsonObject series = chart1["series"].toArray().at(0).toObject();
  const QJsonObject x = series["x"].toObject(), y = series["y"].toObject();
  EXPECT_EQ(x["f"].toString(), "'My Data'!$A$1:$A$10");
  EXPECT_EQ(y["f"].toString(), "'My Data'!$B$1:$B$10");
  for (const QJsonObject& cache : {x, y}) {
    EXPECT_EQ(cache["formatCode"].toString(), "General");
    EXPECT_EQ(cache["ptCount"].toInt(), 10) << "every cell of the range counts, empty ones too";
  }
  const QJsonObject xPoints = x["pts"].toObject(), yPoints = y["pts"].toObject();
  ASSERT_EQ(xPoints.size(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(normalised(xPoints[QString::number(i)]), hexOf(xs[i])) << "x " << i;
  // A1*3 and -A8 are numbers; Z99 is an empty result, which the sheet caches as 0 too.
  EXPECT_EQ(normalised(yPoints["0"]), hexOf(0.1 * 3));
  EXPECT_EQ(normalised(yPoints["4"]), hexOf(0.0));
  EXPECT_EQ(normalised(yPoints["7"]), hexOf(-8.0));
  EXPECT_EQ(yPoints.size(), 3) << "text, an error, a value not computed, a boolean and a text cell are gaps";
}

// A series by row, and a block of two columns: points are numbered along the block, row by row.
TEST_F(ChartCacheTest, PointsAreNumberedByTheirPlaceInTheBlock) {
  core::WorkbookModel model(1);
  core::SheetNode& data = *model.at(1);
  for (int column = 1; column <= 4; ++column) {
    model.setNumber(data, 1, column, column);
    model.setText(data, 2, column, "=A1*" + std::to_string(column));
  }
  auto chart = model.addChartBeforeActive();
  chart->chart->type = core::ChartType::Line;
  chart->chart->series.push_back(seriesOf(model, data, {1, 1, 1, 4}, {1, 3, 2, 4}));
  const QString book = dir.filePath("rows.xlsx");
  xlsx::writeWorkbook(model, book.toStdString());
  const QJsonObject series = readCaches(book)["xl/charts/chart1.xml"].toObject()["series"].toArray().at(0).toObject();
  const QJsonObject x = series["x"].toObject()["pts"].toObject(), y = series["y"].toObject()["pts"].toObject();
  EXPECT_EQ(series["x"].toObject()["ptCount"].toInt(), 4);
  EXPECT_EQ(normalised(x["3"]), hexOf(4));
  EXPECT_EQ(series["y"].toObject()["ptCount"].toInt(), 4);
  EXPECT_EQ(normalised(y["0"]), hexOf(3)) << "C1";
  EXPECT_EQ(normalised(y["1"]), hexOf(4)) << "D1";
  EXPECT_EQ(normalised(y["2"]), hexOf(3)) << "C2 = A1*3";
  EXPECT_EQ(normalised(y["3"]), hexOf(4)) << "D2 = A1*4";
}

}  // namespace
