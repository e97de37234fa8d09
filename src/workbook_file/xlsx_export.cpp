#include "workbook_file/xlsx_export.h"

#include <QString>

#include <stdexcept>

#include "core/workbook_error.h"
#include "output/output_file.h"
#include "xlsx/workbook_writer.h"

namespace workbook_file {

void exportXlsx(const core::WorkbookModel& model, const std::string& path,
                const std::function<void(double fraction)>& progress) {
  output::OutputFile file(QString::fromStdString(path));
  try {
    xlsx::writeWorkbook(model, file.temporaryPath(), {}, progress);
  } catch (const std::exception& error) {
    file.fail(error.what());  // names the target, never the temporary
  }
  file.commit();
}

}  // namespace workbook_file
