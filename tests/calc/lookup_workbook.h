#pragma once
// A workbook of two sheets, "Data" and "Other sheet", whose cells may hold formulas: for the
// functions that look at other sheets, at formulas or at the workbook itself.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "calc/cell_address.h"
#include "calc_test_support.h"
#include "core/workbook_model.h"

namespace calc::testing {

class TwoSheetBook {
 public:
  TwoSheetBook() : model_(2, core::seededRandomSource(1)) {
    model_.rename(*model_.at(1), "Data");
    model_.rename(*model_.at(2), "Other sheet");
  }

  // "=..." as a formula, anything else as the constant `value`.
  void set(int sheet, std::string_view address, const Value& value) {
    const auto a = parseCellAddress(address);
    ASSERT_TRUE(a.has_value()) << address;
    if (value.isText() && value.text().starts_with("="))
      model_.setText(*model_.at(sheet), a->row, a->column, value.text());
    else
      model_.setValue(*model_.at(sheet), a->row, a->column, value);
  }

  // The formula's value in Z1000 of the first sheet.
  Value eval(std::string_view formula) {
    std::string text(1, '=');
    text += formula;
    model_.setText(*model_.at(1), 1000, 26, text);
    return model_.value(*model_.at(1), 1000, 26);
  }

 private:
  core::WorkbookModel model_;
};

}  // namespace calc::testing
