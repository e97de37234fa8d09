#pragma once
// Formula text as a workbook file stores it. Functions added to the spreadsheet after the
// 2007 file format are written with the "_xlfn." prefix (a few with "_xlfn._xlws."), or the
// spreadsheet reads them as unknown names. Everything the user sees keeps the plain name;
// the parser accepts either.
#include <string>
#include <string_view>

namespace calc {

// The prefix a function name needs in a file ("_xlfn." or "_xlfn._xlws."), empty for a
// function of the 2007 format or a name that is no function. Any case.
std::string_view fileFunctionPrefix(std::string_view name);

// Whether the spreadsheet knows a function of this name although the table may not hold it:
// the functions newer than the 2007 format and those that need outside data (CUBEVALUE,
// WEBSERVICE, RTD...). Any case.
bool isSpreadsheetFunction(std::string_view name);

// Appends `formula` (without its leading '=') to `out` with every call of a newer function
// prefixed. String literals and quoted sheet names are copied untouched; names that already
// carry a prefix keep it.
void appendFileFormula(std::string_view formula, std::string& out);

// The formula as the spreadsheet shows it: the prefixes of the file form taken off the names
// ("_xlfn.", "_xlws.", "_xlpm." and "_xleta."), and an optional LAMBDA parameter "_xlop.b"
// shown "[b]". Texts and quoted sheet names are left as they are.
std::string displayFormula(std::string_view formula);

inline std::string fileFormula(std::string_view formula) {
  std::string out;
  appendFileFormula(formula, out);
  return out;
}

}  // namespace calc
