#include "workbook_file/xlsx_export.h"

#include <QString>

#include <new>
#include <stdexcept>

#include "core/workbook_error.h"
#include "output/output_file.h"
#include "output/system_calls.h"
#include "xlsx/workbook_writer.h"
#include "xlsx/write_failure.h"

namespace workbook_file {

void exportXlsx(const core::WorkbookModel& model, const std::string& path,
                const std::function<void(double fraction)>& progress) {
  output::OutputFile file(QString::fromStdString(path), "the workbook");
  xlsx::WriterOptions options;
  options.writeCall = output::systemCalls().write;  // the writer reaches the disk as every output file does
  try {
    xlsx::writeWorkbook(model, file.temporaryPath(), options, progress);
  } catch (const std::bad_alloc&) {
    file.fail(output::kNotEnoughMemory);
  } catch (const xlsx::WriteFailure& failure) {
    file.fail(output::writeFailureReason(failure.error()));  // the same words as for any other file
  } catch (const std::exception& error) {
    file.fail(error.what());  // names the target, never the temporary
  }
  file.commit();
}

}  // namespace workbook_file
