// BAHTTEXT: an amount in Thai words, rounded to the satang, "บาท" after the baht and
// "ถ้วน" (exactly) when there are no satang.
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "coercion.h"
#include "remaining_functions.h"

namespace calc {
namespace {

constexpr std::string_view kDigits[] = {"ศูนย์", "หนึ่ง", "สอง", "สาม", "สี่", "ห้า", "หก", "เจ็ด", "แปด", "เก้า"};
// Places within a group of six digits, from the units up.
constexpr std::string_view kPlaces[] = {"", "สิบ", "ร้อย", "พัน", "หมื่น", "แสน"};
constexpr std::string_view kMillion = "ล้าน";
constexpr std::string_view kUnitOne = "เอ็ด";  // a one in the units after higher digits
constexpr std::string_view kTwenty = "ยี่";     // a two in the tens

// Words for a group of at most six digits; `higher` says digits stand before the group, which
// makes a final one "เอ็ด".
void appendGroup(std::string_view digits, bool higher, std::string& out) {
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    const int d = digits[i] - '0';
    const std::size_t place = n - 1 - i;
    if (d == 0) continue;
    if (place == 0 && d == 1 && (higher || digits.substr(0, i).find_first_not_of('0') != std::string_view::npos))
      out.append(kUnitOne);
    else if (place == 1 && d == 1) {}
    else if (place == 1 && d == 2) out.append(kTwenty);
    else out.append(kDigits[d]);
    out.append(kPlaces[place]);
  }
}

// Words for a whole number given as decimal digits without leading zeros: groups of six
// digits joined by "ล้าน".
std::string wholeWords(std::string_view digits) {
  std::string out;
  const std::size_t first = digits.size() % 6 == 0 ? 6 : digits.size() % 6;
  bool higher = false;
  for (std::size_t at = 0; at < digits.size();) {
    const std::size_t width = at == 0 ? first : 6;
    const std::string_view group = digits.substr(at, width);
    appendGroup(group, higher, out);
    higher = higher || group.find_first_not_of('0') != std::string_view::npos;
    at += width;
    if (at < digits.size()) out.append(kMillion);
  }
  return out;
}

}  // namespace

Value bahtText(const double* x, std::size_t) {
  const double satang = std::round(std::fabs(x[0]) * 100);
  if (!std::isfinite(satang)) return ErrorCode::Num;
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0f", satang);
  std::string digits(buffer);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  const std::string_view whole = std::string_view(digits).substr(0, digits.size() - 2);
  const std::string_view cents = std::string_view(digits).substr(digits.size() - 2);
  const std::size_t lead = whole.find_first_not_of('0');
  std::string out;
  if (satang != 0 && x[0] < 0) out.append("ลบ");
  if (lead != std::string_view::npos) out.append(wholeWords(whole.substr(lead))).append("บาท");
  if (cents == "00") {
    if (lead == std::string_view::npos) out.append(kDigits[0]).append("บาท");
    out.append("ถ้วน");
  } else {
    appendGroup(cents[0] == '0' ? cents.substr(1) : cents, false, out);
    out.append("สตางค์");
  }
  return textResult(std::move(out));
}

}  // namespace calc
