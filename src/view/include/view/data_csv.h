#pragma once
// The Data sheet as comma-separated values: computed values, one line per row, numbers in the
// shortest text that reads back as the same number, errors by their code. A text that starts
// like a formula (= + - @, a tab or a carriage return) keeps a leading apostrophe, quoted, so
// that a spreadsheet application opening the file shows it as text instead of computing it.
#include <QString>

#include <stdexcept>

namespace core {
class WorkbookModel;
}

namespace view {

class SaveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The sheet named "Data", or the first worksheet when there is none. Replaces the file whole
// or not at all; throws SaveError naming the file.
void writeDataCsv(const core::WorkbookModel& workbook, const QString& path);

}  // namespace view
