#include "view/data_csv.h"

#include <QSaveFile>

#include <charconv>
#include <string_view>

#include "core/workbook_model.h"

namespace view {
namespace {

std::shared_ptr<core::SheetNode> dataSheet(const core::WorkbookModel& workbook) {
  if (auto data = workbook.find("Data"); data && data->cells) return data;
  for (const auto& sheet : workbook.sheets())
    if (sheet->cells) return sheet;
  return nullptr;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// A spreadsheet application opening the file reads a text that starts like this as a formula:
// "=HYPERLINK(...)" would become a live link carrying the neighbouring cells.
bool readsAsFormula(const std::string& text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// A text that would read as a formula keeps a leading apostrophe, quoted with it, so that it
// opens as the text it is.
std::string textField(const std::string& text) {
  if (readsAsFormula(text)) return quoted("'" + text);
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  return quoted(text);
}

std::string field(const calc::Value& value) {
  if (value.isNumber()) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value.number()).ptr;
    return std::string(buffer, end);
  }
  if (value.isText()) return textField(value.text());
  if (value.isBool()) return value.boolean() ? "TRUE" : "FALSE";
  if (value.isError()) return std::string(calc::errorText(value.error()));
  return {};
}

}  // namespace

void writeDataCsv(const core::WorkbookModel& workbook, const QString& path) {
  const auto sheet = dataSheet(workbook);
  if (!sheet) throw SaveError(QString("\"%1\" was not written: the workbook has no worksheet.").arg(path).toStdString());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    throw SaveError(QString("\"%1\" could not be written: %2").arg(path, file.errorString()).toStdString());
  const std::int32_t rows = sheet->cells->maxRow(), columns = sheet->cells->columnCount();
  std::string line;
  for (std::int32_t row = 1; row <= rows; ++row) {
    line.clear();
    for (std::int32_t column = 1; column <= columns; ++column) {
      if (column > 1) line += ',';
      line += field(workbook.value(*sheet, row, column));
    }
    line += "\r\n";
    if (file.write(line.data(), static_cast<qint64>(line.size())) != static_cast<qint64>(line.size())) break;
  }
  if (!file.commit())
    throw SaveError(QString("\"%1\" could not be written: %2").arg(path, file.errorString()).toStdString());
}

}  // namespace view
