#pragma once
// A request the workbook refuses (a bad name, a cell off the sheet, a formula that does not
// parse). what() is a complete sentence for the user; layers above pass it on unchanged.
#include <stdexcept>

namespace core {

class WorkbookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace core
