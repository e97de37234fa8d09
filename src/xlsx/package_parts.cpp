#include "package_parts.h"

#include <ctime>

namespace xlsx {
namespace {

constexpr std::string_view kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kPackageRelationships = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kContentType = "application/vnd.openxmlformats-officedocument.";

void writeOverride(XmlBuffer& x, std::string_view part, int number, std::string_view type) {
  x.raw("<Override PartName=\"").raw(part);
  if (number > 0) x.integer(number).raw(".xml");
  x.raw("\" ContentType=\"").raw(kContentType).raw(type).raw("\"/>");
}

void writeRelationship(XmlBuffer& x, int id, std::string_view type, std::string_view target, int number = 0) {
  x.raw("<Relationship Id=\"rId").integer(id).raw("\" Type=\"").raw(type).raw("\" Target=\"").raw(target);
  if (number > 0) x.integer(number).raw(".xml");
  x.raw("\"/>");
}

void writeRelationshipsStart(XmlBuffer& x) {
  x.raw(kXmlDeclaration).raw("<Relationships xmlns=\"").raw(kPackageRelationships).raw("\">");
}

void writePageMargins(XmlBuffer& x) {
  x.raw("<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>");
}

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

void writeSheetEntry(XmlBuffer& x, const PlannedSheet& sheet, std::size_t index) {
  x.raw("<sheet name=\"").text(sheet.node->name).raw("\" sheetId=\"").integer(static_cast<std::int64_t>(index + 1)).raw("\"");
  if (!sheet.node->visible) x.raw(" state=\"hidden\"");
  x.raw(" r:id=\"rId").integer(static_cast<std::int64_t>(index + 1)).raw("\"/>");
}

void writeBookViews(XmlBuffer& x, const PackagePlan& plan) {
  x.raw("<bookViews><workbookView xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" windowHeight=\"9660\"");
  if (plan.firstVisibleTab > 0) x.raw(" firstSheet=\"").integer(static_cast<std::int64_t>(plan.firstVisibleTab)).raw("\"");
  if (plan.activeTab > 0) x.raw(" activeTab=\"").integer(static_cast<std::int64_t>(plan.activeTab)).raw("\"");
  x.raw("/></bookViews>");
}

}  // namespace

std::string contentTypesXml(const PackagePlan& plan) {
  XmlBuffer x;
  x.raw(kXmlDeclaration)
      .raw("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">")
      .raw("<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>")
      .raw("<Default Extension=\"xml\" ContentType=\"application/xml\"/>");
  writeOverride(x, "/docProps/app.xml", 0, "extended-properties+xml");
  x.raw("<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>");
  writeOverride(x, "/xl/styles.xml", 0, "spreadsheetml.styles+xml");
  writeOverride(x, "/xl/theme/theme1.xml", 0, "theme+xml");
  writeOverride(x, "/xl/workbook.xml", 0, "spreadsheetml.sheet.main+xml");
  for (const auto& sheet : plan.sheets) {
    if (!sheet.chart) {
      writeOverride(x, "/xl/worksheets/sheet", sheet.part, "spreadsheetml.worksheet+xml");
      continue;
    }
    writeOverride(x, "/xl/chartsheets/sheet", sheet.part, "spreadsheetml.chartsheet+xml");
    writeOverride(x, "/xl/drawings/drawing", sheet.part, "drawing+xml");
    writeOverride(x, "/xl/charts/chart", sheet.part, "drawingml.chart+xml");
  }
  x.raw("</Types>");
  return std::move(x.bytes());
}

std::string rootRelationshipsXml() {
  XmlBuffer x;
  writeRelationshipsStart(x);
  writeRelationship(x, 1, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument", "xl/workbook.xml");
  writeRelationship(x, 2, "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties", "docProps/core.xml");
  writeRelationship(x, 3, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties", "docProps/app.xml");
  x.raw("</Relationships>");
  return std::move(x.bytes());
}

std::string appPropertiesXml(const PackagePlan& plan) {
  XmlBuffer x;
  x.raw(kXmlDeclaration)
      .raw("<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
           "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">")
      .raw("<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>")
      .raw("<HeadingPairs><vt:vector size=\"4\" baseType=\"variant\"><vt:variant><vt:lpstr>Worksheets</vt:lpstr></vt:variant><vt:variant><vt:i4>")
      .integer(plan.worksheets)
      .raw("</vt:i4></vt:variant><vt:variant><vt:lpstr>Charts</vt:lpstr></vt:variant><vt:variant><vt:i4>")
      .integer(plan.chartsheets)
      .raw("</vt:i4></vt:variant></vt:vector></HeadingPairs><TitlesOfParts><vt:vector size=\"")
      .integer(static_cast<std::int64_t>(plan.sheets.size()))
      .raw("\" baseType=\"lpstr\">");
  for (bool charts : {false, true})
    for (const auto& sheet : plan.sheets)
      if (sheet.chart == charts) x.raw("<vt:lpstr>").text(sheet.node->name).raw("</vt:lpstr>");
  x.raw("</vt:vector></TitlesOfParts><LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
        "<HyperlinksChanged>false</HyperlinksChanged><AppVersion>12.0000</AppVersion></Properties>");
  return std::move(x.bytes());
}

std::string corePropertiesXml() {
  const std::string now = utcNow();
  XmlBuffer x;
  x.raw(kXmlDeclaration)
      .raw("<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
           "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">")
      .raw("<dc:creator></dc:creator><cp:lastModifiedBy></cp:lastModifiedBy>")
      .raw("<dcterms:created xsi:type=\"dcterms:W3CDTF\">").raw(now).raw("</dcterms:created>")
      .raw("<dcterms:modified xsi:type=\"dcterms:W3CDTF\">").raw(now).raw("</dcterms:modified>")
      .raw("</cp:coreProperties>");
  return std::move(x.bytes());
}

// fullCalcOnLoad: a spreadsheet that recalculates recomputes everything on opening; one that
// does not shows the cached values, which are exact.
std::string workbookXml(const PackagePlan& plan) {
  XmlBuffer x;
  x.raw(kXmlDeclaration).raw("<workbook xmlns=\"").raw(kMain).raw("\" xmlns:r=\"").raw(kRelationships).raw("\">");
  x.raw("<fileVersion appName=\"xl\" lastEdited=\"4\" lowestEdited=\"4\" rupBuild=\"4505\"/>");
  x.raw("<workbookPr defaultThemeVersion=\"124226\"/>");
  writeBookViews(x, plan);
  x.raw("<sheets>");
  for (std::size_t i = 0; i < plan.sheets.size(); ++i) writeSheetEntry(x, plan.sheets[i], i);
  x.raw("</sheets><calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>");
  return std::move(x.bytes());
}

// rId1 ... rIdN are the sheets in order; then the theme and the styles.
std::string workbookRelationshipsXml(const PackagePlan& plan) {
  XmlBuffer x;
  writeRelationshipsStart(x);
  int id = 0;
  for (const auto& sheet : plan.sheets) {
    if (sheet.chart)
      writeRelationship(x, ++id, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet",
                        "chartsheets/sheet", sheet.part);
    else
      writeRelationship(x, ++id, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet",
                        "worksheets/sheet", sheet.part);
  }
  writeRelationship(x, ++id, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme", "theme/theme1.xml");
  writeRelationship(x, ++id, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles", "styles.xml");
  x.raw("</Relationships>");
  return std::move(x.bytes());
}

// One font, the default cell format and the Normal style: cells carry no format of their own.
std::string stylesXml() {
  XmlBuffer x;
  x.raw(kXmlDeclaration).raw("<styleSheet xmlns=\"").raw(kMain).raw("\">");
  x.raw("<fonts count=\"1\"><font><sz val=\"11\"/><color theme=\"1\"/><name val=\"Calibri\"/><family val=\"2\"/>"
        "<scheme val=\"minor\"/></font></fonts>");
  x.raw("<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>");
  x.raw("<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>");
  x.raw("<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>");
  x.raw("<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>");
  x.raw("<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>");
  x.raw("<dxfs count=\"0\"/><tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" defaultPivotStyle=\"PivotStyleLight16\"/>");
  x.raw("</styleSheet>");
  return std::move(x.bytes());
}

std::string chartsheetXml(const PlannedSheet& sheet) {
  XmlBuffer x;
  x.raw(kXmlDeclaration).raw("<chartsheet xmlns=\"").raw(kMain).raw("\" xmlns:r=\"").raw(kRelationships).raw("\">");
  x.raw("<sheetPr/><sheetViews><sheetView");
  if (sheet.selected) x.raw(" tabSelected=\"1\"");
  x.raw(" workbookViewId=\"0\"/></sheetViews>");
  writePageMargins(x);
  x.raw("<drawing r:id=\"rId1\"/></chartsheet>");
  return std::move(x.bytes());
}

std::string chartsheetRelationshipsXml(const PlannedSheet& sheet) {
  XmlBuffer x;
  writeRelationshipsStart(x);
  writeRelationship(x, 1, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing",
                    "../drawings/drawing", sheet.part);
  x.raw("</Relationships>");
  return std::move(x.bytes());
}

// The chart fills the chart sheet.
std::string drawingXml() {
  XmlBuffer x;
  x.raw(kXmlDeclaration)
      .raw("<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
           "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">")
      .raw("<xdr:absoluteAnchor><xdr:pos x=\"0\" y=\"0\"/><xdr:ext cx=\"9308969\" cy=\"6078325\"/>")
      .raw("<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"2\" name=\"Chart 1\"/>")
      .raw("<xdr:cNvGraphicFramePr><a:graphicFrameLocks noGrp=\"1\"/></xdr:cNvGraphicFramePr></xdr:nvGraphicFramePr>")
      .raw("<xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm>")
      .raw("<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">")
      .raw("<c:chart xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" xmlns:r=\"")
      .raw(kRelationships)
      .raw("\" r:id=\"rId1\"/></a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/></xdr:absoluteAnchor></xdr:wsDr>");
  return std::move(x.bytes());
}

std::string drawingRelationshipsXml(const PlannedSheet& sheet) {
  XmlBuffer x;
  writeRelationshipsStart(x);
  writeRelationship(x, 1, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart",
                    "../charts/chart", sheet.part);
  x.raw("</Relationships>");
  return std::move(x.bytes());
}

}  // namespace xlsx
