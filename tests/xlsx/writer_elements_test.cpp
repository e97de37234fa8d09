// The writer's elements one by one, given input to exact XML: the cells of a sheet, the parts
// of a chart (its caches above all) and the package's small parts. Each case is one a reader
// would trip over: escaping, attribute order, defaults left out, the edges of a range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "chart_part.h"
#include "streaming_zip_reader.h"
#include "xlsx/workbook_writer.h"
#include "package_parts.h"
#include "package_plan.h"
#include "worksheet_part.h"
#include "core/chart_types.h"
#include "core/workbook_model.h"

namespace {

using calc::ErrorCode;

template <typename Write>
std::string xmlOf(Write write) {
  xlsx::XmlBuffer x;
  write(x);
  return x.bytes();
}

// --- Sheet cells -----------------------------------------------------------------------------

TEST(SheetCellElements, NumbersAreExactAndNonNumbersAreNumErrors) {
  using xlsx::sheet::writeNumberCell;
  EXPECT_EQ(xmlOf([](auto& x) { writeNumberCell(x, 3, 2, 0.1); }), "<c r=\"B3\"><v>0.1</v></c>");
  EXPECT_EQ(xmlOf([](auto& x) { writeNumberCell(x, 1048576, 16384, -2.9800000000000004); }),
            "<c r=\"XFD1048576\"><v>-2.9800000000000004</v></c>");
  EXPECT_EQ(xmlOf([](auto& x) { writeNumberCell(x, 1, 1, 1e300); }), "<c r=\"A1\"><v>1e+300</v></c>");
  EXPECT_EQ(xmlOf([](auto& x) { writeNumberCell(x, 1, 1, std::numeric_limits<double>::infinity()); }),
            "<c r=\"A1\" t=\"e\"><v>#NUM!</v></c>");
  EXPECT_EQ(xmlOf([](auto& x) { writeNumberCell(x, 1, 1, std::nan("")); }), "<c r=\"A1\" t=\"e\"><v>#NUM!</v></c>");
}

TEST(SheetCellElements, TextKeepsItsSpacesAndEscapes) {
  using xlsx::sheet::writeTextCell;
  EXPECT_EQ(xmlOf([](auto& x) { writeTextCell(x, 2, 1, "a<b & \"c\""); }),
            "<c r=\"A2\" t=\"inlineStr\"><is><t>a&lt;b &amp; &quot;c&quot;</t></is></c>");
  EXPECT_EQ(xmlOf([](auto& x) { writeTextCell(x, 2, 1, " padded\t"); }),
            "<c r=\"A2\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> padded\t</t></is></c>");
  EXPECT_EQ(xmlOf([](auto& x) { writeTextCell(x, 2, 1, "bell\x07_x0041_"); }),
            "<c r=\"A2\" t=\"inlineStr\"><is><t>bell_x0007__x005F_x0041_</t></is></c>");
  EXPECT_EQ(xmlOf([](auto& x) { writeTextCell(x, 2, 1, ""); }), "<c r=\"A2\" t=\"inlineStr\"><is><t></t></is></c>");
}

TEST(SheetCellElements, EachResultTypeHasItsOwnCellTypeAndCache) {
  struct Case {
    const char* name;
    calc::Value value;
    const char* type;
    const char* cached;
  };
  const Case cases[] = {
      {"number", calc::Value(0.5), "", "<v>0.5</v>"},
      {"true", calc::Value(true), "b", "<v>1</v>"},
      {"false", calc::Value(false), "b", "<v>0</v>"},
      {"error", calc::Value(ErrorCode::NA), "e", "<v>#N/A</v>"},
      {"text", calc::Value("x<y"), "str", "<v>x&lt;y</v>"},
      {"empty text", calc::Value(""), "str", "<v></v>"},
      {"empty result", calc::Value(), "", "<v>0</v>"},
      {"infinity", calc::Value(std::numeric_limits<double>::infinity()), "e", "<v>#NUM!</v>"},
      {"not computed", calc::Value(ErrorCode::Uncomputed), "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(xlsx::sheet::resultType(c.value), c.type) << c.name;
    EXPECT_EQ(xmlOf([&](auto& x) { xlsx::sheet::writeCachedResult(x, c.value); }), c.cached) << c.name;
  }
}

// The bound decides whether the sheet's entry announces zip64: it must hold for the texts that
// grow most when written (control characters, quotes, prefixes of newer functions and LAMBDA
// names, rows moved far down).
TEST(SheetSizeBound, HoldsForTheTextsThatGrowMost) {
  core::WorkbookModel model(1);
  core::SheetNode& data = *model.at(1);
  model.setText(data, 1, 1, "=REPT(CHAR(1),200)");  // a computed text may hold them
  model.setText(data, 2, 1, std::string(200, '"'));
  model.setText(data, 1, 2, "=LAMBDA(a,b,a&b)(\"\"\"\",REPT(\"<\",300))");
  model.setText(data, 1, 3, "=A1");
  for (int row = 2; row <= 3000; ++row) model.setText(data, row, 3, "=A" + std::to_string(row));
  model.setText(data, 90000, 4, "=IFS(A1=\"\",1)&CONCAT(\"&\",T(A1))");
  const xlsx::PackagePlan plan = xlsx::planPackage(model);
  const std::uint64_t bound = xlsx::worksheetSizeBound(model, plan.sheets[0]);
  const std::string path = "/tmp/tessaline_bound_" + std::to_string(::getpid()) + ".xlsx";
  xlsx::writeWorkbook(model, path);
  std::ifstream file(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::remove(path.c_str());
  std::uint64_t written = 0;
  for (const auto& e : xlsx_test::readStreaming(bytes))
    if (e.name == "xl/worksheets/sheet1.xml") written = e.content.size();
  ASSERT_GT(written, 10000u);
  EXPECT_GE(bound, written);
  EXPECT_LT(bound, 50 * written) << "a bound this loose would announce zip64 for sheets far below 4 GiB";
}

// --- Charts ------------------------------------------------------------------------------------

class ChartElements : public ::testing::Test {
 protected:
  ChartElements() : data(*model.at(1)) { model.rename(data, "Data"); }
  std::string cacheOf(core::CellBlock block) {
    return xmlOf([&](xlsx::XmlBuffer& x) {
      xlsx::chart::Out out{x};
      xlsx::chart::writeNumberCache(out, model, data, block);
    });
  }
  std::shared_ptr<core::SheetNode> addChart(core::ChartType type, core::CellBlock x, core::CellBlock y,
                                            std::string name = "f") {
    auto chart = model.addChartBeforeActive();
    chart->chart->type = type;
    const auto sheet = model.at(model.position(data));
    chart->chart->series.push_back(std::make_shared<core::SeriesData>(
        core::SeriesData{std::move(name), core::SeriesReference{sheet, x}, core::SeriesReference{sheet, y}}));
    return chart;
  }
  core::WorkbookModel model{1};
  core::SheetNode& data;
};

TEST_F(ChartElements, ACacheHoldsOnePointPerNumberAndCountsEveryCell) {
  model.setNumber(data, 1, 1, 1);
  model.setText(data, 2, 1, "text");
  model.setText(data, 3, 1, "=1/0");
  model.setText(data, 5, 1, "=A1/4");
  EXPECT_EQ(cacheOf({1, 1, 6, 1}),
            "<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"6\"/>"
            "<c:pt idx=\"0\"><c:v>1</c:v></c:pt><c:pt idx=\"4\"><c:v>0.25</c:v></c:pt></c:numCache>");
  EXPECT_EQ(cacheOf({2, 1, 4, 1}), "<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"3\"/></c:numCache>")
      << "no numbers: a count and no points";
}

TEST_F(ChartElements, ACacheOfARangeBeyondTheCellsIsEmptyButCounted) {
  model.setNumber(data, 1, 1, 1);
  EXPECT_EQ(cacheOf({1, 3, 1048576, 3}),
            "<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"1048576\"/></c:numCache>");
  EXPECT_EQ(cacheOf({2, 1, 9, 1}), "<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"8\"/></c:numCache>");
  EXPECT_EQ(cacheOf({1, 1, 1, 1}),
            "<c:numCache><c:formatCode>General</c:formatCode><c:ptCount val=\"1\"/><c:pt idx=\"0\"><c:v>1</c:v></c:pt></c:numCache>");
}

// The child elements of a scatter series, and of the chart, in the order the DrawingML schema
// lays down (CT_ScatterSer, CT_Chart); a reader that validates refuses any other.
TEST_F(ChartElements, ElementsComeInTheSchemasOrder) {
  model.setNumber(data, 1, 1, 1);
  model.setNumber(data, 1, 2, 2);
  auto chart = addChart(core::ChartType::XYScatterSmoothNoMarkers, {1, 1, 1, 1}, {1, 2, 1, 2});
  chart->chart->hasTitle = true;
  chart->chart->title = "T";
  const std::string xml = xlsx::chartXml(model, *chart->chart);
  const auto order = [&](std::initializer_list<const char*> elements) {
    std::size_t at = 0;
    for (const char* element : elements) {
      const std::size_t next = xml.find(element, at);
      if (next == std::string::npos) return std::string(element) + " missing or out of order";
      at = next;
    }
    return std::string();
  };
  EXPECT_EQ(order({"<c:ser>", "<c:idx ", "<c:order ", "<c:tx>", "<c:marker>", "<c:xVal>", "<c:f>", "<c:numCache>",
                   "</c:xVal>", "<c:yVal>", "<c:numCache>", "</c:yVal>", "<c:smooth ", "</c:ser>"}),
            "");
  EXPECT_EQ(order({"<c:chart>", "<c:title>", "<c:plotArea>", "</c:plotArea>", "<c:legend>", "<c:plotVisOnly ",
                   "<c:dispBlanksAs val=\"gap\"/>", "</c:chart>"}),
            "");
  EXPECT_EQ(order({"<c:numCache>", "<c:formatCode>", "<c:ptCount ", "<c:pt idx=\"0\">", "<c:v>", "</c:numCache>"}), "");
}

TEST_F(ChartElements, SeriesNamesAndTitlesAreEscapedAndSheetNamesQuoted) {
  model.rename(data, "It's <data>");
  auto chart = addChart(core::ChartType::Line, {1, 1, 2, 1}, {1, 2, 2, 2}, "a & <b>");
  chart->chart->hasTitle = true;
  chart->chart->title = "\"quoted\"";
  const std::string xml = xlsx::chartXml(model, *chart->chart);
  EXPECT_NE(xml.find("<c:tx><c:v>a &amp; &lt;b&gt;</c:v></c:tx>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<a:t>&quot;quoted&quot;</a:t>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<c:cat><c:numRef><c:f>'It''s &lt;data&gt;'!$A$1:$A$2</c:f>"), std::string::npos) << xml;
}

TEST(ChartSheetNames, QuotedWhereAReaderWouldTakeThemForSomethingElse) {
  struct Case {
    const char* name;
    const char* prefix;
  };
  const Case cases[] = {{"Data", "Data"},       {"My Data", "'My Data'"}, {"A1", "'A1'"},     {"XFD1", "'XFD1'"},
                        {"R1C1", "'R1C1'"},     {"rc", "'rc'"},           {"1x", "'1x'"},     {"it's", "'it''s'"},
                        {"Data_2.x", "Data_2.x"}, {"\xC3\x9C" "ber", "\xC3\x9C" "ber"}, {"ABCD1", "ABCD1"},
                        {".5", "'.5'"},         {".x", ".x"},             {"", "''"},         {"$A", "'$A'"}};
  for (const Case& c : cases) EXPECT_EQ(xlsx::sheetPrefix(c.name), c.prefix) << c.name;
}

TEST_F(ChartElements, AChartWithoutSeriesHasNoLegendAndNoTitle) {
  auto chart = model.addChartBeforeActive();
  const std::string xml = xlsx::chartXml(model, *chart->chart);
  EXPECT_NE(xml.find("<c:autoTitleDeleted val=\"1\"/>"), std::string::npos);
  EXPECT_EQ(xml.find("<c:legend>"), std::string::npos);
  EXPECT_EQ(xml.find("<c:ser>"), std::string::npos);
}

TEST_F(ChartElements, TheSizeBoundHoldsForTheWrittenChart) {
  for (int row = 1; row <= 500; ++row) {
    model.setNumber(data, row, 1, -2.2250738585072014e-308 * row);
    model.setText(data, row, 2, "=A" + std::to_string(row) + "*3.3");
  }
  auto chart = addChart(core::ChartType::XYScatter, {1, 1, 1048576, 1}, {1, 2, 1048576, 2}, std::string(300, '<'));
  const std::uint64_t bound = xlsx::chartSizeBound(model, *chart->chart);
  EXPECT_GE(bound, xlsx::chartXml(model, *chart->chart).size());
  EXPECT_LT(bound, 1000000u) << "a whole-column range is bounded by the cells there are";
}

// --- Package parts -----------------------------------------------------------------------------

class PackageElements : public ::testing::Test {
 protected:
  PackageElements() {
    core::SheetNode& data = *model.at(1);
    model.rename(data, "A & <B>");
    model.addChartBeforeActive();
    model.setVisible(data, false);
    plan = xlsx::planPackage(model);
  }
  core::WorkbookModel model{1};
  xlsx::PackagePlan plan;
};

TEST_F(PackageElements, TheWorkbookListsSheetsInOrderHiddenOnesHidden) {
  const std::string xml = xlsx::workbookXml(plan);
  EXPECT_NE(xml.find("<sheets><sheet name=\"Chart1\" sheetId=\"1\" r:id=\"rId1\"/>"
                     "<sheet name=\"A &amp; &lt;B&gt;\" sheetId=\"2\" state=\"hidden\" r:id=\"rId2\"/></sheets>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("windowHeight=\"9660\"/></bookViews>"), std::string::npos) << "first tab active: no activeTab, no firstSheet";
}

TEST_F(PackageElements, ContentTypesNameEveryPartOfAChartSheet) {
  const std::string xml = xlsx::contentTypesXml(plan);
  for (const char* part : {"/xl/chartsheets/sheet1.xml", "/xl/drawings/drawing1.xml", "/xl/charts/chart1.xml",
                           "/xl/worksheets/sheet1.xml"})
    EXPECT_NE(xml.find(std::string("<Override PartName=\"") + part + "\""), std::string::npos) << part;
  EXPECT_EQ(xml.find("sheet2.xml"), std::string::npos);
}

TEST_F(PackageElements, RelationshipsNumberTheSheetsThenThemeAndStyles) {
  EXPECT_NE(xlsx::workbookRelationshipsXml(plan).find(
                "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "chartsheet\" Target=\"chartsheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"http://"
                "schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "theme\" Target=\"theme/theme1.xml\"/>"),
            std::string::npos);
  EXPECT_NE(xlsx::chartsheetXml(plan.sheets[0]).find("<sheetView tabSelected=\"1\" workbookViewId=\"0\"/>"),
            std::string::npos);
}

TEST_F(PackageElements, PropertiesCountWorksheetsBeforeCharts) {
  const std::string xml = xlsx::appPropertiesXml(plan);
  EXPECT_NE(xml.find("<vt:lpstr>Worksheets</vt:lpstr></vt:variant><vt:variant><vt:i4>1</vt:i4>"), std::string::npos);
  EXPECT_NE(xml.find("<vt:vector size=\"2\" baseType=\"lpstr\"><vt:lpstr>A &amp; &lt;B&gt;</vt:lpstr><vt:lpstr>Chart1</vt:lpstr>"),
            std::string::npos)
      << xml;
  EXPECT_TRUE(std::regex_search(xlsx::corePropertiesXml(),
                                std::regex("<dcterms:created xsi:type=\"dcterms:W3CDTF\">\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ<")));
}

}  // namespace
