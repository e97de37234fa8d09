#pragma once
// The core and io refuse with core::WorkbookError; callers of the object model expect
// excel::AutomationError. The description passes through unchanged: it is what the user reads.
#include <type_traits>

#include "core/workbook_error.h"
#include "excel/excel.h"

namespace automation {

template <typename Call>
decltype(auto) asAutomation(Call&& call) {
  try {
    return std::forward<Call>(call)();
  } catch (const core::WorkbookError& error) {
    throw excel::AutomationError(error.what());
  }
}

}  // namespace automation
