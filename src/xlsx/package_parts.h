#pragma once
// The package's small parts, one function per element as far as it helps reading: content
// types, relationships, document properties, workbook, styles, chart sheets, drawings.
#include <string>

#include "package_plan.h"
#include "xlsx/xml_buffer.h"

namespace xlsx {

inline constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

std::string contentTypesXml(const PackagePlan& plan);
std::string rootRelationshipsXml();
std::string appPropertiesXml(const PackagePlan& plan);
std::string corePropertiesXml();
std::string workbookXml(const PackagePlan& plan);
std::string workbookRelationshipsXml(const PackagePlan& plan);
std::string stylesXml();
std::string themeXml();
std::string chartsheetXml(const PlannedSheet& sheet);
std::string chartsheetRelationshipsXml(const PlannedSheet& sheet);
std::string drawingXml();
std::string drawingRelationshipsXml(const PlannedSheet& sheet);

}  // namespace xlsx
