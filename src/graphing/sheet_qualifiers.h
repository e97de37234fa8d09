#pragma once
// The sheet names that qualify a formula's references ('Sheet 2'!A1, Data!B3). The workbook a
// run makes only ever reads its own sheets: a qualifier that names another workbook
// ('C:\tmp\[book.xlsx]Sheet1'!A1) would become an external link when a spreadsheet application
// opens the file, and one that no sheet could be named can only mean something outside it.
#include <QString>

#include <optional>

namespace graphing {

struct ForeignQualifier {
  enum class Kind { OtherWorkbook, ImpossibleSheetName };
  Kind kind;
  QString written;  // the qualifier as the formula holds it, quotes included, without the "!"
};

// The first qualifier of `formula` (a formula body as the run writes it) that points outside
// the workbook, or nothing. Text in double quotes is text, not a reference.
std::optional<ForeignQualifier> firstForeignQualifier(const QString& formula);

}  // namespace graphing
