#include "io/xlsx_export.h"

#include <QString>

#include <stdexcept>

#include "core/workbook_error.h"
#include "io/output_file.h"
#include "xlsx/workbook_writer.h"

namespace io {

void exportXlsx(const core::WorkbookModel& model, const std::string& path) {
  OutputFile file(QString::fromStdString(path));
  try {
    xlsx::writeWorkbook(model, file.temporaryPath());
  } catch (const std::exception& error) {
    file.fail(error.what());  // names the target, never the temporary
  }
  file.commit();
}

}  // namespace io
