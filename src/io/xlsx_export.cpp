#include "io/xlsx_export.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <vector>

#include "core/workbook_error.h"
#include "c_locale_scope.h"
#include "xlsx_parts.h"

namespace io {
namespace {

struct AddedSheet {
  const core::SheetNode* node;
  lxw_worksheet* worksheet = nullptr;
  lxw_chartsheet* chartsheet = nullptr;
};

[[noreturn]] void fail(const std::string& path, const std::string& why) {
  throw core::WorkbookError("Could not write the workbook \"" + path + "\": " + why);
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

void writeFile(const core::WorkbookModel& model, const std::string& path) {
  CLocaleScope cLocale;
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
  if (!workbook) fail(path, "libxlsxwriter could not start the file.");
  const auto sheets = addSheets(workbook, model);
  lxw_error error = writeContents(workbook, sheets, model);
  setVisibilityAndActiveSheet(sheets, model);
  const lxw_error closeError = workbook_close(workbook);  // also frees the workbook
  if (!error) error = closeError;
  if (error) fail(path, lxw_strerror(error));
}

}  // namespace

void exportXlsx(const core::WorkbookModel& model, const std::string& path) {
  const QString target = QString::fromStdString(path);
  QTemporaryFile temporary(QFileInfo(target).absolutePath() + "/." + QFileInfo(target).fileName() + ".XXXXXX");
  if (!temporary.open()) fail(path, "the folder is not writable (" + temporary.errorString().toStdString() + ").");
  temporary.close();
  const std::string temporaryPath = temporary.fileName().toStdString();
  writeFile(model, temporaryPath);
  // QTemporaryFile made it private to us; the finished workbook is an ordinary file.
  QFile::setPermissions(temporary.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
  if (std::rename(temporaryPath.c_str(), path.c_str()) != 0) fail(path, "the finished file could not be moved into place.");
  temporary.setAutoRemove(false);  // renamed away
}

}  // namespace io
