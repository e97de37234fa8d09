#pragma once
// Formulas computed as the program computes them: in a cell of the core's workbook model,
// beside data cells on a sheet named Data.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "calc/cell_address.h"
#include "calc_test_support.h"
#include "core/workbook_error.h"
#include "core/workbook_model.h"

namespace calc::testing {

class Book {
 public:
  Book(std::initializer_list<std::pair<const char*, Value>> cells = {})
      : model_(1, core::seededRandomSource(1)), sheet_(model_.at(1)) {
    model_.rename(*sheet_, "Data");
    for (const auto& [address, value] : cells) {
      const auto a = parseCellAddress(address);
      EXPECT_TRUE(a.has_value()) << address;
      if (a) model_.setValue(*sheet_, a->row, a->column, value);
    }
  }

  // The formula's value in a cell of its own, clear of the data; a formula the model refuses
  // fails the test and gives #N/A.
  Value eval(std::string_view formula) {
    try {
      model_.setText(*sheet_, kRow, kColumn, std::string("=").append(formula));
    } catch (const core::WorkbookError& error) {
      ADD_FAILURE() << "the workbook refused =" << formula << ": " << error.what();
      return ErrorCode::NA;
    }
    return model_.value(*sheet_, kRow, kColumn);
  }

 private:
  static constexpr std::int32_t kRow = 1000, kColumn = 26;  // Z1000
  core::WorkbookModel model_;
  std::shared_ptr<core::SheetNode> sheet_;
};

}  // namespace calc::testing
