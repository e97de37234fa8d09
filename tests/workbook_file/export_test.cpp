// The .xlsx export, read back by independent readers (openpyxl and the chart XML) and opened
// by LibreOffice.
#include <QFile>
#include <QJsonArray>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "support/engine_test_support.h"
#include "support/export_support.h"
#include "workbook_file/xlsx_export.h"

namespace {

using engine_test::TestEngine;

QJsonObject chartOf(const QJsonObject& book, const QString& sheet) {
  return book["charts"].toObject()[sheet].toObject()["chart"].toObject();
}

class ExportTest : public ::testing::Test {
 protected:
  QString save(const QString& name) {
    const QString path = engine.dir.filePath(name);
    app->saveActiveWorkbook(path);
    return path;
  }
  TestEngine engine;
  std::shared_ptr<automation::EngineApplication> app = engine.application(1);
};

TEST_F(ExportTest, AGraphingWorkbookReadsBackSheetByShetAndChartByChart) {
  engine_test::buildGraphingWorkbook(*app, 3, 21);
  auto second = app->charts()->item(2);
  second->axes(excel::xlCategory)->setHasMajorGridlines(true);
  second->axes(excel::xlCategory)->setHasMinorGridlines(true);
  second->axes(excel::xlValue)->setHasMajorGridlines(false);
  second->setHasTitle(false);
  const QJsonObject book = engine_test::readBack(save("graphs.xlsx"), {"Data", "A1:B2"});
  ASSERT_FALSE(book.isEmpty());
  EXPECT_TRUE(book["zipOk"].toBool());

  const QJsonArray sheets = book["sheets"].toArray();
  ASSERT_EQ(sheets.size(), 4);
  const char* names[] = {"Graph 1", "Graph 2", "Graph 3", "Data"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(sheets[i].toObject()["name"].toString(), names[i]);
    EXPECT_EQ(sheets[i].toObject()["chart"].toBool(), i < 3);
    EXPECT_EQ(sheets[i].toObject()["state"].toString(), i < 3 ? "visible" : "hidden");
  }
  EXPECT_EQ(book["active"].toString(), "Graph 1");
  EXPECT_TRUE(book["charts"].toObject()["Graph 1"].toObject()["tabSelected"].toBool());
  EXPECT_FALSE(book["charts"].toObject()["Graph 2"].toObject()["tabSelected"].toBool());

  for (int e = 1; e <= 3; ++e) {
    const QJsonObject chart = chartOf(book, QString("Graph %1").arg(e));
    EXPECT_EQ(chart["type"].toString(), "scatter");
    EXPECT_EQ(chart["scatterStyle"].toString(), "smoothMarker");
    const QJsonArray series = chart["series"].toArray();
    ASSERT_EQ(series.size(), 1);
    const QJsonObject s = series[0].toObject();
    const QString x = QString::fromStdString(core::columnLetters(2 * e - 1));
    const QString y = QString::fromStdString(core::columnLetters(2 * e));
    EXPECT_EQ(s["x"].toString(), QString("Data!$%1$1:$%1$21").arg(x));
    EXPECT_EQ(s["y"].toString(), QString("Data!$%1$1:$%1$21").arg(y));
    EXPECT_EQ(s["name"].toString(), QString("y=sin(x)+x #%1").arg(e));
    EXPECT_EQ(s["marker"].toString(), "none");
    EXPECT_EQ(s["smooth"].toString(), "1");
    EXPECT_TRUE(s["cached"].toBool());  // the numbers for viewers that draw from the cache
    EXPECT_TRUE(chart["legend"].toBool());
  }
  const QJsonObject first = chartOf(book, "Graph 1"), changed = chartOf(book, "Graph 2");
  EXPECT_EQ(first["title"].toString(), "Equation 1");
  EXPECT_EQ(first["xAxis"].toObject(), (QJsonObject{{"major", false}, {"minor", false}}));
  EXPECT_EQ(first["yAxis"].toObject(), (QJsonObject{{"major", true}, {"minor", false}}));
  EXPECT_TRUE(changed["title"].isNull());
  EXPECT_EQ(changed["autoTitleDeleted"].toString(), "1");
  EXPECT_EQ(changed["xAxis"].toObject(), (QJsonObject{{"major", true}, {"minor", true}}));
  EXPECT_EQ(changed["yAxis"].toObject(), (QJsonObject{{"major", false}, {"minor", false}}));

  const QJsonObject cells = book["cells"].toObject();
  const QJsonObject b1 = cells["Data!B1"].toObject();
  EXPECT_EQ(b1["formula"].toString(), "=SIN(A1)+A1");
  EXPECT_NEAR(b1["value"].toDouble(), std::sin(-1.0) - 1.0, 1e-12);
  EXPECT_DOUBLE_EQ(cells["Data!A2"].toObject()["value"].toDouble(), -0.9);
}

TEST_F(ExportTest, FormulaResultsOfEveryKindAreCached) {
  auto sheet = app->sheets()->item(1);
  sheet->setCellNumber(1, 1, 4);
  sheet->setCellText(1, 2, "=A1/8");
  sheet->setCellText(1, 3, "=\"ab\"&\"c\"");
  sheet->setCellText(1, 4, "=A1>3");
  sheet->setCellText(1, 5, "=1/0");
  sheet->setCellText(1, 6, "=SQRT(-A1)");
  sheet->setCellText(1, 7, "plain text");
  sheet->setCellText(1, 8, "=Z99");  // an empty cell reads 0
  const QJsonObject cells = engine_test::readBack(save("kinds.xlsx"), {"Sheet1", "A1:H1"})["cells"].toObject();
  EXPECT_EQ(cells["Sheet1!B1"].toObject()["value"].toDouble(), 0.5);
  EXPECT_EQ(cells["Sheet1!C1"].toObject()["value"].toString(), "abc");
  EXPECT_EQ(cells["Sheet1!D1"].toObject()["value"], QJsonValue(true));
  EXPECT_EQ(cells["Sheet1!D1"].toObject()["formula"].toString(), "=A1>3");
  EXPECT_EQ(cells["Sheet1!E1"].toObject()["value"].toString(), "#DIV/0!");
  EXPECT_EQ(cells["Sheet1!F1"].toObject()["value"].toString(), "#NUM!");
  EXPECT_EQ(cells["Sheet1!F1"].toObject()["type"].toString(), "e");
  EXPECT_EQ(cells["Sheet1!F1"].toObject()["formula"].toString(), "=SQRT(-A1)");
  EXPECT_EQ(cells["Sheet1!G1"].toObject()["value"].toString(), "plain text");
  EXPECT_EQ(cells["Sheet1!H1"].toObject()["value"].toDouble(), 0.0);
}

TEST_F(ExportTest, AHiddenFirstSheetStaysHiddenAndTheFirstChartIsActive) {
  TestEngine engine2;
  auto app2 = engine2.application(2);
  auto model = app2->activeWorkbook();
  model->activate(*model->at(2));
  auto data = app2->sheets()->item(1);
  data->setCellNumber(1, 1, 1);
  data->setCellNumber(1, 2, 2);
  auto chart = app2->charts()->add();  // before Sheet2: Sheet1, Chart1, Sheet2
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("A1:B1"), excel::xlColumns);
  data->setVisible(false);
  const QString path = engine2.dir.filePath("hidden-first.xlsx");
  app2->saveActiveWorkbook(path);
  const QJsonObject book = engine_test::readBack(path);
  const QJsonArray sheets = book["sheets"].toArray();
  ASSERT_EQ(sheets.size(), 3);
  EXPECT_EQ(sheets[0].toObject()["name"].toString(), "Sheet1");
  EXPECT_EQ(sheets[0].toObject()["state"].toString(), "hidden");
  EXPECT_EQ(book["active"].toString(), "Chart1");
}

TEST_F(ExportTest, WithoutChartSheetsTheActiveSheetIsActive) {
  TestEngine engine3;
  auto app3 = engine3.application(3);
  auto model = app3->activeWorkbook();
  model->activate(*model->at(3));
  const QString path = engine3.dir.filePath("plain.xlsx");
  app3->saveActiveWorkbook(path);
  EXPECT_EQ(engine_test::readBack(path)["active"].toString(), "Sheet3");
}

TEST_F(ExportTest, AChartWithoutSeriesStillGetsAChartAndNoLegend) {
  app->charts()->add();
  const QJsonObject book = engine_test::readBack(save("empty-chart.xlsx"));
  EXPECT_TRUE(book["zipOk"].toBool());
  const QJsonObject chart = chartOf(book, "Chart1");
  ASSERT_FALSE(chart.isEmpty());
  EXPECT_FALSE(chart["legend"].toBool());
}

TEST_F(ExportTest, AnEmptyScatterChartExportsToo) {
  // A scatter series is written with x values; the placeholder must have them as well.
  app->charts()->add()->setChartType(excel::xlXYScatterSmoothNoMarkers);
  const QJsonObject book = engine_test::readBack(save("empty-scatter.xlsx"));
  EXPECT_TRUE(book["zipOk"].toBool());
  EXPECT_EQ(chartOf(book, "Chart1")["type"].toString(), "scatter");
}

TEST_F(ExportTest, SeriesBeyond16BitCountsStayIntact) {
  constexpr int kRows = 70000;  // past 65,535, where 16-bit counts would wrap
  auto data = app->sheets()->item(1);
  data->setName("Data");
  for (int row = 1; row <= kRows; ++row) {
    data->setCellNumber(row, 1, row);
    data->setCellText(row, 2, "=A" + std::to_string(row) + "*2");
  }
  auto chart = app->charts()->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("A1:B70000"), excel::xlColumns);
  const QJsonObject book = engine_test::readBack(save("long.xlsx"), {"Data", "B69999:B70000"});
  const QJsonObject series = chartOf(book, "Chart1")["series"].toArray()[0].toObject();
  EXPECT_EQ(series["x"].toString(), "Data!$A$1:$A$70000");
  EXPECT_EQ(series["y"].toString(), "Data!$B$1:$B$70000");
  EXPECT_TRUE(series["cached"].toBool());
  EXPECT_EQ(book["cells"].toObject()["Data!B70000"].toObject()["value"].toDouble(), 140000.0);
}

TEST_F(ExportTest, AFolderThatIsNotThereIsAnErrorNamingTheFile) {
  const std::string path = engine.dir.filePath("missing/book.xlsx").toStdString();
  try {
    workbook_file::exportXlsx(*app->activeWorkbook(), path);
    FAIL() << "no error";
  } catch (const core::WorkbookError& error) {
    EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
  }
}

// Numbers printed under LC_NUMERIC would come out as "0,5" under a German locale.
TEST_F(ExportTest, AGermanNumericLocaleDoesNotLeakIntoTheFile) {
  if (!engine_test::germanLocaleAvailable()) GTEST_SKIP() << "no de_DE.UTF-8 and no localedef (install 'locales')";
  locale_t german = newlocale(LC_ALL_MASK, engine_test::kGermanLocale, static_cast<locale_t>(0));
  ASSERT_TRUE(german);
  const locale_t previous = uselocale(german);
  char printed[32];
  std::snprintf(printed, sizeof printed, "%.1f", 0.5);
  EXPECT_STREQ(printed, "0,5");  // the trap is armed
  auto sheet = app->sheets()->item(1);
  sheet->setCellNumber(1, 1, 0.5);
  sheet->setCellNumber(2, 1, -1234.5678);
  sheet->setCellText(3, 1, "=A1*3");
  const QString path = save("german.xlsx");
  std::snprintf(printed, sizeof printed, "%.1f", 0.5);
  EXPECT_STREQ(printed, "0,5");  // and the locale is back after the export
  uselocale(previous);
  freelocale(german);
  const QJsonObject cells = engine_test::readBack(path, {"Sheet1", "A1:A3"})["cells"].toObject();
  EXPECT_EQ(cells["Sheet1!A1"].toObject()["value"].toDouble(), 0.5);
  EXPECT_EQ(cells["Sheet1!A2"].toObject()["value"].toDouble(), -1234.5678);
  EXPECT_EQ(cells["Sheet1!A3"].toObject()["value"].toDouble(), 1.5);
}

class LibreOfficeTest : public ExportTest {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("soffice").isEmpty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  }
};

TEST_F(LibreOfficeTest, PrintsOnePagePerChartSheet) {
  engine_test::buildGraphingWorkbook(*app, 3, 201);
  const QString path = save("graphs.xlsx");
  const auto pdf = engine_test::convertWithLibreOffice(path, "pdf", engine.dir.filePath("pdf"));
  ASSERT_TRUE(pdf.ok) << pdf.log.toStdString();
  EXPECT_EQ(engine_test::pdfPageCount(pdf.output), 3);
}

TEST_F(LibreOfficeTest, OpensAFileExportedUnderAGermanLocaleUnderAGermanLocale) {
  if (!engine_test::germanLocaleAvailable()) GTEST_SKIP() << "no de_DE.UTF-8 and no localedef (install 'locales')";
  engine_test::buildGraphingWorkbook(*app, 2, 51);
  locale_t german = newlocale(LC_ALL_MASK, engine_test::kGermanLocale, static_cast<locale_t>(0));
  const locale_t previous = uselocale(german);
  const QString path = save("german.xlsx");
  uselocale(previous);
  freelocale(german);
  const auto pdf = engine_test::convertWithLibreOffice(path, "pdf", engine.dir.filePath("pdf"), engine_test::kGermanLocale);
  ASSERT_TRUE(pdf.ok) << pdf.log.toStdString();
  EXPECT_EQ(engine_test::pdfPageCount(pdf.output), 2);
}

TEST_F(LibreOfficeTest, ShowsErrorsAndBooleansOfFormulas) {
  auto sheet = app->sheets()->item(1);
  sheet->setCellNumber(1, 1, 4);
  sheet->setCellText(1, 2, "=1/0");
  sheet->setCellText(1, 3, "=SQRT(-A1)");
  sheet->setCellText(1, 4, "=A1>3");
  sheet->setCellText(1, 5, "=error");
  sheet->setCellText(1, 6, "=A1/8");
  const QString path = save("values.xlsx");
  const auto csv = engine_test::convertWithLibreOffice(path, "csv:Text - txt - csv (StarCalc):44,34,76,1",
                                                       engine.dir.filePath("csv"));
  ASSERT_TRUE(csv.ok) << csv.log.toStdString();
  QFile file(csv.output);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  // Shown as recomputed by LibreOffice itself (its own name for a domain error is Err:502).
  const QStringList shown = QString::fromUtf8(file.readAll()).trimmed().remove('"').split(',');
  ASSERT_EQ(shown.size(), 6) << shown.join(',').toStdString();
  EXPECT_EQ(shown[0], "4");
  EXPECT_EQ(shown[1], "#DIV/0!");
  EXPECT_TRUE(shown[2] == "#NUM!" || shown[2] == "Err:502") << shown[2].toStdString();
  EXPECT_EQ(shown[3], "TRUE");
  EXPECT_EQ(shown[4], "#NAME?");
  EXPECT_EQ(shown[5], "0.5");
}

}  // namespace
