#pragma once
// A working week: which of the seven weekdays are weekend days, and how working days are
// counted and stepped over in it.
#include <cstdint>
#include <variant>

#include "calc/value.h"

namespace calc {

class Workweek {
 public:
  // Bit w set: weekday w (0 Sunday ... 6 Saturday) is a weekend day.
  explicit Workweek(std::uint8_t weekendDays = kSaturdayAndSunday);

  bool isWorkday(std::int64_t day) const;
  int workdaysPerWeek() const { return workdaysPerWeek_; }
  // Working days from first to last, both counted; 0 when last < first.
  std::int64_t countBetween(std::int64_t first, std::int64_t last) const;
  // The |count|-th working day after `from` (before it when count < 0). Needs count != 0
  // and a week with working days.
  std::int64_t advance(std::int64_t from, std::int64_t count) const;

  static constexpr std::uint8_t kSaturdayAndSunday = 0b1000001;

 private:
  std::uint8_t weekendDays_;
  int workdaysPerWeek_;
};

// The weekend an INTL function's argument names: 1-7 for two days (1 Saturday and Sunday,
// 2 Sunday and Monday, ... 7 Friday and Saturday), 11-17 for one (Sunday ... Saturday), or
// seven "0"/"1" characters from Monday to Sunday, "1" a weekend day. An empty value is the
// usual weekend. Another number is #NUM!, other text or a boolean #VALUE!, an error itself.
std::variant<Workweek, ErrorCode> weekendNamed(const Value& weekend);

}  // namespace calc
