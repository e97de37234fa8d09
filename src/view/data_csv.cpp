#include "view/data_csv.h"

#include <charconv>
#include <new>
#include <string_view>

#include "core/workbook_error.h"
#include "core/workbook_model.h"
#include "output/output_file.h"

namespace view {
namespace {

constexpr std::size_t kChunk = 1 << 16;  // bytes gathered before each checked write

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
  try {
    output::OutputFile file(path, "the CSV file");
    const std::int32_t rows = sheet->cells->maxRow(), columns = sheet->cells->columnCount();
    std::string chunk;
    for (std::int32_t row = 1; row <= rows; ++row) {
      for (std::int32_t column = 1; column <= columns; ++column) {
        if (column > 1) chunk += ',';
        chunk += field(workbook.value(*sheet, row, column));
      }
      chunk += "\r\n";
      if (chunk.size() >= kChunk) file.write(chunk), chunk.clear();
    }
    file.write(chunk);
    file.commit();
  } catch (const std::bad_alloc&) {
    throw SaveError(QString("Could not write the CSV file \"%1\": %2").arg(path, output::kNotEnoughMemory).toStdString());
  } catch (const core::WorkbookError& error) {
    throw SaveError(error.what());
  }
}

}  // namespace view
