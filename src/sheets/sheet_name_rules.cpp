#include "sheets/sheet_name_rules.h"

#include <QString>

namespace sheets {
namespace {

constexpr std::string_view kForbidden = ":\\/?*[]";
constexpr int kMaxNameLength = 31;

QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::optional<std::string> sheetNameProblem(std::string_view name) {
  // Lengths count UTF-16 units, as the spreadsheet does.
  const auto length = toQString(name).size();
  if (length == 0) return "A sheet name cannot be empty.";
  if (length > kMaxNameLength) return "A sheet name cannot be longer than 31 characters.";
  if (name.find_first_of(kForbidden) != std::string_view::npos)
    return "A sheet name cannot contain any of these characters: : \\ / ? * [ ]";
  if (name.front() == '\'' || name.back() == '\'')
    return "A sheet name cannot begin or end with an apostrophe.";
  return std::nullopt;
}

bool sameSheetName(std::string_view a, std::string_view b) {
  if (a.size() == b.size() && a == b) return true;
  return toQString(a).compare(toQString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace sheets
