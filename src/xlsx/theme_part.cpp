// The workbook's theme: the standard colours and fonts that charts and cells draw with when
// they name none of their own. Without it a chart's lines, gridlines and legend keys have no
// colour and some readers draw nothing.
#include "package_parts.h"

namespace xlsx {
namespace {

void writeSystemColour(XmlBuffer& x, std::string_view slot, std::string_view name, std::string_view rgb) {
  x.raw("<a:").raw(slot).raw("><a:sysClr val=\"").raw(name).raw("\" lastClr=\"").raw(rgb).raw("\"/></a:").raw(slot).raw(">");
}

void writeColour(XmlBuffer& x, std::string_view slot, std::string_view rgb) {
  x.raw("<a:").raw(slot).raw("><a:srgbClr val=\"").raw(rgb).raw("\"/></a:").raw(slot).raw(">");
}

void writeColourScheme(XmlBuffer& x) {
  x.raw("<a:clrScheme name=\"Office\">");
  writeSystemColour(x, "dk1", "windowText", "000000");
  writeSystemColour(x, "lt1", "window", "FFFFFF");
  const std::pair<std::string_view, std::string_view> colours[] = {
      {"dk2", "1F497D"},     {"lt2", "EEECE1"},     {"accent1", "4F81BD"}, {"accent2", "C0504D"},
      {"accent3", "9BBB59"}, {"accent4", "8064A2"}, {"accent5", "4BACC6"}, {"accent6", "F79646"},
      {"hlink", "0000FF"},   {"folHlink", "800080"}};
  for (const auto& [slot, rgb] : colours) writeColour(x, slot, rgb);
  x.raw("</a:clrScheme>");
}

void writeFont(XmlBuffer& x, std::string_view role, std::string_view typeface) {
  x.raw("<a:").raw(role).raw("><a:latin typeface=\"").raw(typeface).raw("\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/></a:")
      .raw(role).raw(">");
}

void writeFontScheme(XmlBuffer& x) {
  x.raw("<a:fontScheme name=\"Office\">");
  writeFont(x, "majorFont", "Cambria");
  writeFont(x, "minorFont", "Calibri");
  x.raw("</a:fontScheme>");
}

// Three of each: subtle, moderate, intense, all in the placeholder colour.
void writeFormatScheme(XmlBuffer& x) {
  constexpr std::string_view fill = "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>";
  x.raw("<a:fmtScheme name=\"Office\"><a:fillStyleLst>").raw(fill).raw(fill).raw(fill).raw("</a:fillStyleLst>");
  x.raw("<a:lnStyleLst>");
  for (std::string_view width : {"9525", "25400", "38100"})
    x.raw("<a:ln w=\"").raw(width).raw("\" cap=\"flat\" cmpd=\"sng\" algn=\"ctr\">").raw(fill)
        .raw("<a:prstDash val=\"solid\"/></a:ln>");
  x.raw("</a:lnStyleLst><a:effectStyleLst>");
  for (int i = 0; i < 3; ++i) x.raw("<a:effectStyle><a:effectLst/></a:effectStyle>");
  x.raw("</a:effectStyleLst><a:bgFillStyleLst>").raw(fill).raw(fill).raw(fill).raw("</a:bgFillStyleLst></a:fmtScheme>");
}

}  // namespace

std::string themeXml() {
  XmlBuffer x;
  x.raw(kXmlDeclaration).raw("<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"Office Theme\">");
  x.raw("<a:themeElements>");
  writeColourScheme(x);
  writeFontScheme(x);
  writeFormatScheme(x);
  x.raw("</a:themeElements><a:objectDefaults/><a:extraClrSchemeLst/></a:theme>");
  return std::move(x.bytes());
}

}  // namespace xlsx
