#include "workbook_file/xlsx_export.h"

#include <QString>

#include <new>
#include <stdexcept>

#include "core/workbook_error.h"
#include "output/output_file.h"
#include "xlsx/workbook_writer.h"

namespace workbook_file {

void exportXlsx(const core::WorkbookModel& model, const std::string& path,
                const std::function<void(double fraction)>& progress) {
  output::OutputFile file(QString::fromStdString(path), "the workbook");
  try {
    xlsx::writeWorkbook(model, file.temporaryPath(), {}, progress);
  } catch (const std::bad_alloc&) {
    file.fail(output::kNotEnoughMemory);
  } catch (const std::exception& error) {
    file.fail(error.what());  // names the target, never the temporary
  }
  file.commit();
}

}  // namespace workbook_file
