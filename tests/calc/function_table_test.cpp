// The function table as a whole: one entry per name, and every function newer than the 2007
// file format stored with its prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "calc/file_formula.h"
#include "calc/formula.h"

namespace calc::testing {
namespace {

TEST(FunctionTable, HoldsEachNameOnce) {
  std::vector<std::string_view> names = functionNames();
  ASSERT_TRUE(std::is_sorted(names.begin(), names.end()));
  const auto repeated = std::adjacent_find(names.begin(), names.end());
  EXPECT_EQ(repeated, names.end()) << "two entries named " << (repeated == names.end() ? "" : std::string(*repeated));
}

TEST(FunctionTable, EveryNameIsFoundInAnyCaseAndWithItsFilePrefix) {
  for (std::string_view name : functionNames()) {
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(isFunctionName(lower)) << name;
    EXPECT_TRUE(isSpreadsheetFunction(name) || fileFunctionPrefix(name).empty()) << name;
    if (!fileFunctionPrefix(name).empty())
      EXPECT_TRUE(isFunctionName(std::string(fileFunctionPrefix(name)) + std::string(name))) << name;
  }
}

}  // namespace
}  // namespace calc::testing
