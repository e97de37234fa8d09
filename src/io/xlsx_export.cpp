#include "io/xlsx_export.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/workbook_error.h"
#include "io/output_file.h"
#include "c_locale_scope.h"
#include "xlsx_parts.h"

namespace io {
namespace {

struct AddedSheet {
  const core::SheetNode* node;
  lxw_worksheet* worksheet = nullptr;
  lxw_chartsheet* chartsheet = nullptr;
};

// libxlsxwriter's own texts speak of its internals; a full disk or a size limit shows as a
// failed file operation, which errno then names.
std::string describe(lxw_error error) {
  if ((error == LXW_ERROR_ZIP_FILE_OPERATION || error == LXW_ERROR_CREATING_XLSX_FILE ||
       error == LXW_ERROR_CREATING_TMPFILE || error == LXW_ERROR_ZIP_CLOSE) && errno != 0)
    return std::string(std::strerror(errno)) + ".";
  return lxw_strerror(error);
}

// libxlsxwriter keeps sheets in the order they are added: add them in the model's order.
std::vector<AddedSheet> addSheets(lxw_workbook* workbook, const core::WorkbookModel& model) {
  std::vector<AddedSheet> added;
  for (const auto& sheet : model.sheets()) {
    AddedSheet entry{sheet.get()};
    if (sheet->isChart()) entry.chartsheet = workbook_add_chartsheet(workbook, sheet->name.c_str());
    else entry.worksheet = workbook_add_worksheet(workbook, sheet->name.c_str());
    added.push_back(entry);
  }
  return added;
}

// Hidden sheets are hidden before anything is activated: libxlsxwriter un-hides a hidden first
// sheet unless another sheet is active. The first visible chart sheet is the active, selected
// one; without chart sheets, the model's active sheet.
void setVisibilityAndActiveSheet(const std::vector<AddedSheet>& sheets, const core::WorkbookModel& model) {
  for (const auto& s : sheets) {
    if (s.node->visible) continue;
    if (s.chartsheet) chartsheet_hide(s.chartsheet);
    else worksheet_hide(s.worksheet);
  }
  const AddedSheet* active = nullptr;
  for (const auto& s : sheets)
    if (s.chartsheet && s.node->visible && !active) active = &s;
  if (!active)
    for (const auto& s : sheets)
      if (s.node == model.activeSheet().get()) active = &s;
  if (!active) return;
  if (active->chartsheet) chartsheet_activate(active->chartsheet);
  else worksheet_activate(active->worksheet);
}

lxw_error writeContents(lxw_workbook* workbook, const std::vector<AddedSheet>& sheets, const core::WorkbookModel& model) {
  xlsx::Formats formats;
  formats.boolean = workbook_add_format(workbook);
  format_set_num_format(formats.boolean, "\"TRUE\";\"TRUE\";\"FALSE\"");
  for (const auto& s : sheets) {
    if (!s.worksheet && !s.chartsheet) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    lxw_error error = s.worksheet ? xlsx::writeCells(s.worksheet, model, *s.node, formats)
                                  : xlsx::writeChart(workbook, s.chartsheet, model, *s.node);
    if (error) return error;
  }
  return LXW_NO_ERROR;
}

void writeFile(const core::WorkbookModel& model, const OutputFile& file) {
  CLocaleScope cLocale;
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(file.temporaryPath().c_str(), &options);
  if (!workbook) file.fail("the file could not be started.");
  errno = 0;
  const auto sheets = addSheets(workbook, model);
  lxw_error error = writeContents(workbook, sheets, model);
  setVisibilityAndActiveSheet(sheets, model);
  const lxw_error closeError = workbook_close(workbook);  // also frees the workbook
  if (!error) error = closeError;
  if (error) file.fail(describe(error));
}

}  // namespace

void exportXlsx(const core::WorkbookModel& model, const std::string& path) {
  OutputFile file(QString::fromStdString(path));
  writeFile(model, file);
  file.commit();
}

}  // namespace io
