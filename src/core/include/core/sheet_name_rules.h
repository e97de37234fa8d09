#pragma once
// The spreadsheet's rules for sheet names: 1 to 31 characters, none of : \ / ? * [ ],
// not starting or ending with an apostrophe, unique without regard to case.
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Why the name is not allowed as such, or nothing when it is (uniqueness is the workbook's job).
std::optional<std::string> sheetNameProblem(std::string_view name);

// Case-insensitive comparison of sheet names (Unicode-aware).
bool sameSheetName(std::string_view a, std::string_view b);

}  // namespace core
