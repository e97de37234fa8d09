// Workbooks written by the writer, read back by independent readers: each cached result with
// its own type, newer functions with their prefix, LibreOffice recalculating to the cached
// values, and every reader opening every workbook without complaint.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include "readers.h"
#include "core/chart_types.h"
#include "core/workbook_model.h"
#include "xlsx/workbook_writer.h"

namespace {

using xlsx_test::Recalculation;

class WriterTest : public ::testing::Test {
 protected:
  QString write(const core::WorkbookModel& model, const QString& name) {
    const QString path = dir.filePath(name);
    xlsx::writeWorkbook(model, path.toStdString());
    return path;
  }
  QTemporaryDir dir;
};

// A1 = 4 and one formula of each result type beside it.
void fillResultTypes(core::WorkbookModel& model, core::SheetNode& sheet) {
  model.setNumber(sheet, 1, 1, 4);
  const char* formulas[] = {"=A1/8",     "=\"ab\"&\"c\"", "=A1>3", "=A1<3",  "=1/0",   "=SQRT(-A1)", "=error",
                            "=NA()",     "=A1+\"x\"",     "=Z99",  "=\"\"",  "=Gone!A1"};
  int column = 2;
  for (const char* formula : formulas) model.setText(sheet, 1, column++, formula);
  model.setText(sheet, 2, 1, "plain & <text> ");
  model.setNumber(sheet, 2, 2, -2.9800000000000004);
}

struct Expected {
  const char* cell;
  const char* type;      // raw t attribute, "" for none
  const char* cached;    // raw <v> text
  const char* dataType;  // openpyxl's data_type
};

// A result the engine cannot compute (a function that needs outside data) carries no cached
// value and no type, and neither does a formula reading it; the formula is kept.
TEST_F(WriterTest, AnUncomputedResultIsWrittenWithNoCachedValue) {
  core::WorkbookModel model(1);
  core::SheetNode& sheet = *model.at(1);
  model.setText(sheet, 1, 1, "=WEBSERVICE(\"http://example.invalid\")");
  model.setText(sheet, 1, 2, "=IFERROR(A1*2,0)");
  model.setText(sheet, 1, 3, "=nosuchfunction(1)");
  QString complaint;
  const QJsonObject cells = xlsx_test::readCells(write(model, "uncomputed.xlsx"), "Sheet1", &complaint);
  ASSERT_FALSE(cells.isEmpty()) << complaint.toStdString();
  const QJsonObject raw = cells["raw"].toObject();
  for (const char* cell : {"A1", "B1"}) {
    EXPECT_TRUE(raw[cell].toObject()["v"].isNull()) << cell << " " << raw[cell].toObject()["v"].toString().toStdString();
    EXPECT_EQ(raw[cell].toObject()["t"].toString(), "") << cell;
  }
  EXPECT_EQ(raw["A1"].toObject()["f"].toString(), "_xlfn.WEBSERVICE(\"http://example.invalid\")");
  EXPECT_EQ(raw["C1"].toObject()["v"].toString(), "#NAME?") << "a name the spreadsheet does not know either";
}

TEST_F(WriterTest, EachCachedResultKeepsItsOwnTypeRawAndThroughOpenpyxl) {
  core::WorkbookModel model(1);
  fillResultTypes(model, *model.at(1));
  QString complaint;
  const QJsonObject cells = xlsx_test::readCells(write(model, "types.xlsx"), "Sheet1", &complaint);
  ASSERT_FALSE(cells.isEmpty()) << complaint.toStdString();
  const QJsonObject raw = cells["raw"].toObject(), read = cells["openpyxl"].toObject();
  const Expected expected[] = {
      {"B1", "", "0.5", "n"},         {"C1", "str", "abc", "s"},      {"D1", "b", "1", "b"},
      {"E1", "b", "0", "b"},          {"F1", "e", "#DIV/0!", "e"},    {"G1", "e", "#NUM!", "e"},
      {"H1", "e", "#NAME?", "e"},     {"I1", "e", "#N/A", "e"},       {"J1", "e", "#VALUE!", "e"},
      {"K1", "", "0", "n"},           {"M1", "e", "#REF!", "e"},
  };
  for (const Expected& e : expected) {
    const QJsonObject r = raw[e.cell].toObject();
    EXPECT_EQ(r["t"].toString(), e.type) << e.cell;
    EXPECT_EQ(r["v"].toString(), e.cached) << e.cell;
    EXPECT_TRUE(r["s"].isNull()) << e.cell << ": no number-format tricks";
    EXPECT_EQ(read[e.cell].toObject()["dataType"].toString(), e.dataType) << e.cell;
  }
  EXPECT_EQ(read["B1"].toObject()["value"].toDouble(), 0.5);
  EXPECT_EQ(read["C1"].toObject()["value"].toString(), "abc");
  EXPECT_EQ(read["D1"].toObject()["value"], QJsonValue(true));
  EXPECT_EQ(read["E1"].toObject()["value"], QJsonValue(false));
  EXPECT_EQ(read["F1"].toObject()["value"].toString(), "#DIV/0!");
  EXPECT_EQ(read["I1"].toObject()["value"].toString(), "#N/A");
  EXPECT_EQ(read["D1"].toObject()["formula"].toString(), "=A1>3");
  EXPECT_EQ(raw["L1"].toObject()["t"].toString(), "str") << "an empty text result is still text";
  EXPECT_EQ(raw["A2"].toObject()["t"].toString(), "inlineStr");
  EXPECT_EQ(read["A2"].toObject()["value"].toString(), "plain & <text> ");
  EXPECT_EQ(raw["B2"].toObject()["v"].toString(), "-2.9800000000000004");
  EXPECT_EQ(read["B2"].toObject()["hex"].toString(), raw["B2"].toObject()["hex"].toString());
}

// The newer errors (#CALC!, #SPILL!...) live in an .xlsx as #VALUE! beside rich-value parts
// this writer does not write: the cell stays an error of the compatible text, the formula is
// kept, and a spreadsheet that recalculates on opening finds the real error again.
TEST_F(WriterTest, NewerErrorsAreCachedAsTheirCompatibleText) {
  core::WorkbookModel model(1);
  core::SheetNode& sheet = *model.at(1);
  model.setText(sheet, 1, 1, "=LAMBDA(x,x+1)");
  model.setText(sheet, 1, 2, "=#SPILL!");
  model.setValue(sheet, 1, 3, calc::ErrorCode::Calc);
  model.setText(sheet, 1, 4, "=#GETTING_DATA");
  ASSERT_TRUE(model.value(sheet, 1, 1) == calc::Value(calc::ErrorCode::Calc));
  QString complaint;
  const QJsonObject cells = xlsx_test::readCells(write(model, "newer-errors.xlsx"), "Sheet1", &complaint);
  ASSERT_FALSE(cells.isEmpty()) << complaint.toStdString();
  const QJsonObject raw = cells["raw"].toObject(), read = cells["openpyxl"].toObject();
  for (const char* cell : {"A1", "B1", "C1"}) {
    EXPECT_EQ(raw[cell].toObject()["t"].toString(), "e") << cell;
    EXPECT_EQ(raw[cell].toObject()["v"].toString(), "#VALUE!") << cell;
  }
  EXPECT_EQ(raw["D1"].toObject()["v"].toString(), "#GETTING_DATA") << "older than the rich values";
  EXPECT_TRUE(raw["A1"].toObject()["f"].toString().contains("LAMBDA")) << "the formula is kept";
  EXPECT_EQ(read["C1"].toObject()["dataType"].toString(), "e");
}

TEST_F(WriterTest, NewerFunctionsCarryTheirPrefixInTheFileOnly) {
  core::WorkbookModel model(1);
  core::SheetNode& sheet = *model.at(1);
  model.setNumber(sheet, 1, 1, 4);
  model.setText(sheet, 1, 2, "=COT(A1)+IFS(A1>3,1,TRUE,2)+FLOOR.MATH(A1/3)&\"COT(\"");
  const QJsonObject cells = xlsx_test::readCells(write(model, "newer.xlsx"), "Sheet1");
  ASSERT_FALSE(cells.isEmpty());
  EXPECT_EQ(cells["raw"].toObject()["B1"].toObject()["f"].toString(),
            "_xlfn.COT(A1)+_xlfn.IFS(A1>3,1,TRUE,2)+_xlfn.FLOOR.MATH(A1/3)&\"COT(\"");
  const core::CellSlot* slot = sheet.cells->slot(1, 2);
  EXPECT_EQ(sheet.cells->formulaText(*slot, 1), "COT(A1)+IFS(A1>3,1,TRUE,2)+FLOOR.MATH(A1/3)&\"COT(\"")
      << "the model keeps the plain names";
}

class LibreOfficeWriterTest : public WriterTest {
 protected:
  void SetUp() override {
    if (!xlsx_test::haveLibreOffice()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  }
};

// LibreOffice recalculates (its profile says always) and saves: its values are ours (it saves
// 15 digits). SIN(PI()) proves which values show: the sheet takes the half turn off with its
// 64-bit pi and gets 1.22514845490862E-16, LibreOffice gets 1.22464679914735E-16; so
// recalculating shows LibreOffice's, and opening without recalculation ours. (Cells that cache
// an error or a boolean, and volatile ones, it recalculates in any case.)
TEST_F(LibreOfficeWriterTest, RecalculationGivesTheCachedValues) {
  core::WorkbookModel model(1);
  core::SheetNode& sheet = *model.at(1);
  for (int row = 1; row <= 40; ++row) {
    const std::string r = std::to_string(row);
    model.setNumber(sheet, row, 1, -2 + 0.1 * row);
    model.setText(sheet, row, 2, "=COT(A" + r + ")+IFS(A" + r + "<0,1,A" + r + "<1,2,TRUE,3)+FLOOR.MATH(A" + r + "*7,2)");
  }
  model.setText(sheet, 1, 3, "=SIN(PI())");
  const QString ours = write(model, "recalc.xlsx");
  const QJsonObject before = xlsx_test::readCells(ours, "Sheet1")["openpyxl"].toObject();
  ASSERT_EQ(before["C1"].toObject()["value"].toDouble(), 1.22514845490862e-16);
  for (Recalculation mode : {Recalculation::Always, Recalculation::Never}) {
    const QString out = dir.filePath(mode == Recalculation::Always ? "always" : "never");
    const auto run = xlsx_test::convertWithLibreOffice(ours, "xlsx", out, mode);
    ASSERT_TRUE(run.ok) << run.output.toStdString();
    const QJsonObject after = xlsx_test::readCells(out + "/recalc.xlsx", "Sheet1")["openpyxl"].toObject();
    int divisions = 0;
    for (int row = 1; row <= 40; ++row) {
      const QString b = QString("B%1").arg(row);
      const QJsonObject mine = before[b].toObject(), theirs = after[b].toObject();
      if (mine["dataType"] == "e") {  // COT(0): #DIV/0! here and in Excel, #NUM! in LibreOffice
        EXPECT_EQ(theirs["dataType"].toString(), "e") << b.toStdString();
        ++divisions;
        continue;
      }
      const double expected = mine["value"].toDouble(), got = theirs["value"].toDouble();
      EXPECT_NEAR(got, expected, 1e-12 * std::max(1.0, std::fabs(expected))) << b.toStdString();
    }
    EXPECT_EQ(divisions, 1) << "COT(0) is an error for both";
    const QJsonValue canary = after["C1"].toObject()["value"];
    if (mode == Recalculation::Always)
      EXPECT_NEAR(canary.toDouble(), 1.2246467991473532e-16, 1e-21) << "LibreOffice did not recalculate";
    else EXPECT_EQ(canary.toDouble(), 1.22514845490862e-16) << "without recalculation the cached values show";
  }
}

// A sample of the worksheet language, one formula of each family, computed by us and again by
// LibreOffice recalculating the written workbook: an independent check of the cached values.
TEST_F(LibreOfficeWriterTest, LibreOfficeRecalculatesTheSameValuesForEachFamily) {
  const char* formulas[] = {
      "NORM.DIST(1.3,0,1,TRUE)", "NORM.S.INV(0.975)", "T.DIST.2T(2.1,7)", "CHISQ.INV.RT(0.05,4)",
      "BINOM.DIST(3,10,0.3,FALSE)", "GAMMALN(7.5)", "POISSON.DIST(4,2.5,TRUE)", "PERCENTILE.INC(A1:A8,0.3)",
      "QUARTILE(A1:A8,3)", "RANK.EQ(A3,A1:A8)", "SLOPE(A1:A8,B1:B8)", "CORREL(A1:A8,B1:B8)",
      "SUMPRODUCT((A1:A8>2)*B1:B8)", "COUNTIF(A1:A8,\">=3\")", "SUMIFS(B1:B8,A1:A8,\"<5\")", "MDETERM({4,2;1,3})",
      "INDEX(MMULT({1,2;3,4},{5;6}),2,1)", "ERF(0.7)", "BESSELJ(2.5,1)", "DEC2HEX(4095)", "BIN2DEC(\"1111111111\")",
      "CONVERT(100,\"mi\",\"km\")", "IMABS(\"3+4i\")", "PMT(0.05/12,360,200000)", "NPV(0.08,B1:B8)",
      "IRR({-100,30,40,50})", "FV(0.04,10,-100)", "SLN(10000,1000,9)", "DDB(10000,1000,9,2)",
      "ROMAN(1987)", "ARABIC(\"MCMLXXXVII\")", "PROPER(\"the quick fox\")", "SUBSTITUTE(\"a-b-c\",\"-\",\"+\")",
      "TEXT(1234.567,\"#,##0.00\")", "FIND(\"c\",\"abcabc\",4)", "DATEDIF(DATE(2020,1,15),DATE(2024,3,1),\"m\")",
      "EOMONTH(DATE(2024,1,31),1)", "WEEKDAY(DATE(2024,3,1),2)", "NETWORKDAYS(DATE(2024,1,1),DATE(2024,1,31))",
      "YEARFRAC(DATE(2024,1,1),DATE(2024,7,1),1)", "VLOOKUP(4,A1:B8,2,FALSE)", "MATCH(5,A1:A8,0)",
      "ISODD(A5)", "ROW(C7)", "DSUM(A1:B8,2,A1:A2)",
  };
  core::WorkbookModel model(1);
  core::SheetNode& sheet = *model.at(1);
  for (int row = 1; row <= 8; ++row) {
    model.setNumber(sheet, row, 1, row);
    model.setNumber(sheet, row, 2, row * row - 3 * row + 1);
  }
  int row = 1;
  for (const char* formula : formulas) model.setText(sheet, row++, 4, std::string("=") + formula);
  const QString ours = write(model, "families.xlsx");
  const QJsonObject before = xlsx_test::readCells(ours, "Sheet1")["openpyxl"].toObject();
  const auto run = xlsx_test::convertWithLibreOffice(ours, "xlsx", dir.filePath("lo"), Recalculation::Always);
  ASSERT_TRUE(run.ok) << run.output.toStdString();
  const QJsonObject after = xlsx_test::readCells(dir.filePath("lo/families.xlsx"), "Sheet1")["openpyxl"].toObject();
  for (int r = 1; r < row; ++r) {
    const QString cell = QString("D%1").arg(r);
    const QJsonValue mine = before[cell].toObject()["value"], theirs = after[cell].toObject()["value"];
    const std::string what = formulas[r - 1];
    ASSERT_FALSE(mine.isNull()) << what << ": no cached value";
    if (mine.isString()) {
      EXPECT_EQ(theirs.toString(), mine.toString()) << what;
    } else {
      EXPECT_NEAR(theirs.toDouble(), mine.toDouble(), 1e-9 * std::max(1.0, std::fabs(mine.toDouble()))) << what;
    }
  }
}

// A sheet name that needs quoting in references and escaping in XML.
constexpr const char* kHostileName = "\xC3\x9C's <Data> & x";

// Every chart type the engine accepts, an empty chart, every result type and a hidden sheet.
void fillEverything(core::WorkbookModel& model) {
  core::SheetNode& data = *model.at(1);
  model.rename(data, kHostileName);
  fillResultTypes(model, data);
  model.setText(data, 1, 13, "=1");  // not Gone!A1: gnumeric rightly warns of a missing sheet
  for (int row = 3; row <= 12; ++row) {
    model.setNumber(data, row, 1, row * 0.5);
    model.setText(data, row, 2, "=SIN(A" + std::to_string(row) + ")");
  }
  const auto series = [&](int type) {
    auto chart = model.addChartBeforeActive();
    chart->chart->type = static_cast<core::ChartType>(type);
    auto s = std::make_shared<core::SeriesData>();
    s->name = "y=sin(x) & <more>";
    s->xValues = core::SeriesReference{model.at(model.position(data)), {3, 1, 12, 1}};
    s->values = core::SeriesReference{model.at(model.position(data)), {3, 2, 12, 2}};
    chart->chart->series.push_back(s);
    chart->chart->hasTitle = type % 2 == 0;
    chart->chart->title = "Title " + std::to_string(type);
    chart->chart->categoryAxis.major = true;
  };
  for (int type : {73, 72, 74, 75, -4169, 4, 51, 57, 1, 5}) series(type);
  model.addChartBeforeActive();  // no series at all
  model.setVisible(data, false);
}

TEST_F(LibreOfficeWriterTest, EveryReaderOpensEveryWorkbookWithoutComplaint) {
  core::WorkbookModel model(1);
  fillEverything(model);
  const QString book = write(model, "everything.xlsx");
  QString complaint;
  EXPECT_FALSE(xlsx_test::readCells(book, kHostileName, &complaint).isEmpty()) << complaint.toStdString();

  const auto pdf = xlsx_test::convertWithLibreOffice(book, "pdf", dir.filePath("pdf"), Recalculation::Never);
  ASSERT_TRUE(pdf.ok) << pdf.output.toStdString();
  EXPECT_FALSE(pdf.output.contains("Error", Qt::CaseInsensitive)) << pdf.output.toStdString();
  EXPECT_TRUE(QFile::exists(dir.filePath("pdf/everything.pdf")));

  if (!xlsx_test::haveGnumeric()) GTEST_SKIP() << "gnumeric (ssconvert) is not installed";
  const auto csv = xlsx_test::convertWithGnumeric(book, dir.filePath("sheet %s.csv"));
  ASSERT_TRUE(csv.ok) << csv.output.toStdString();
  EXPECT_TRUE(csv.output.trimmed().isEmpty()) << "ssconvert complained: " << csv.output.toStdString();
  QFile shown(dir.filePath(QString("sheet %1.csv").arg(kHostileName)));
  ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
  const QString firstRow = QString::fromUtf8(shown.readLine()).trimmed();
  EXPECT_EQ(firstRow, "4,0.5,abc,TRUE,FALSE,#DIV/0!,#NUM!,#NAME?,#N/A,#VALUE!,0,,1");
}

}  // namespace
