#include "text_date_format.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <vector>

#include "text_calendar.h"

namespace calc {
namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool startsWithIgnoringCase(std::string_view s, std::size_t at, std::string_view prefix) {
  if (s.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (lower(s[at + i]) != lower(prefix[i])) return false;
  return true;
}

struct Part {
  enum class Kind { Placeholder, Literal, Year, Month, Minute, Day, Hour, Second, Elapsed, Fraction, AmPm } kind;
  int width = 0;      // letters in the code; digits for Fraction
  char unit = 0;      // Elapsed: 'h', 'm' or 's'
  std::string text;   // Literal; AmPm: the code as written
};

std::size_t runLength(std::string_view s, std::size_t at) {
  std::size_t n = 1;
  while (at + n < s.size() && lower(s[at + n]) == lower(s[at])) ++n;
  return n;
}

// m and mm mean minutes right after an hour or right before a second, literals between aside.
void resolveMinutes(std::vector<Part>& parts) {
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].kind != Part::Kind::Month || parts[i].width > 2) continue;
    bool minute = false;
    for (std::size_t j = i; j-- > 0;) {
      if (parts[j].kind == Part::Kind::Literal) continue;
      minute = parts[j].kind == Part::Kind::Hour || (parts[j].kind == Part::Kind::Elapsed && parts[j].unit == 'h');
      break;
    }
    for (std::size_t j = i + 1; j < parts.size() && !minute; ++j) {
      if (parts[j].kind == Part::Kind::Literal) continue;
      minute = parts[j].kind == Part::Kind::Second || (parts[j].kind == Part::Kind::Elapsed && parts[j].unit == 's');
      break;
    }
    if (minute) parts[i].kind = Part::Kind::Minute;
  }
}

std::vector<Part> parseSection(std::string_view s) {
  std::vector<Part> parts;
  auto literal = [&](std::string_view text) {
    if (!parts.empty() && parts.back().kind == Part::Kind::Literal) parts.back().text += text;
    else parts.push_back({Part::Kind::Literal, 0, 0, std::string(text)});
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = lower(s[i]);
    if (s[i] == '"') {
      const std::size_t close = s.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? s.size() : close;
      literal(s.substr(i + 1, end - i - 1));
      i = end;
    } else if ((s[i] == '\\' || s[i] == '_') && i + 1 < s.size()) {
      literal(s[i] == '\\' ? s.substr(i + 1, 1) : " ");
      ++i;
    } else if (s[i] == '*' && i + 1 < s.size()) {
      ++i;  // a fill: nothing to fill in a text
    } else if (s[i] == '[') {
      const std::size_t close = s.find(']', i);
      if (close == std::string_view::npos) break;
      const std::string_view inner = s.substr(i + 1, close - i - 1);
      const char unit = inner.empty() ? 0 : lower(inner[0]);
      if ((unit == 'h' || unit == 'm' || unit == 's') && runLength(inner, 0) == inner.size())
        parts.push_back({Part::Kind::Elapsed, static_cast<int>(inner.size()), unit, {}});
      i = close;  // colours, conditions and locales show nothing
    } else if (startsWithIgnoringCase(s, i, "am/pm")) {
      parts.push_back({Part::Kind::AmPm, 5, 0, std::string(s.substr(i, 5))});
      i += 4;
    } else if (startsWithIgnoringCase(s, i, "a/p")) {
      parts.push_back({Part::Kind::AmPm, 3, 0, std::string(s.substr(i, 3))});
      i += 2;
    } else if (c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 's') {
      const std::size_t n = runLength(s, i);
      const int width = static_cast<int>(n);
      switch (c) {
        case 'y': parts.push_back({Part::Kind::Year, width > 2 ? 4 : 2, 0, {}}); break;
        case 'm': parts.push_back({Part::Kind::Month, std::min(width, 5), 0, {}}); break;
        case 'd': parts.push_back({Part::Kind::Day, std::min(width, 4), 0, {}}); break;
        case 'h': parts.push_back({Part::Kind::Hour, std::min(width, 2), 0, {}}); break;
        default: parts.push_back({Part::Kind::Second, std::min(width, 2), 0, {}}); break;
      }
      i += n - 1;
    } else if (s[i] == '.' && i + 1 < s.size() && s[i + 1] == '0' && !parts.empty() &&
               (parts.back().kind == Part::Kind::Second || (parts.back().kind == Part::Kind::Elapsed && parts.back().unit == 's'))) {
      const std::size_t n = runLength(s, i + 1);
      parts.push_back({Part::Kind::Fraction, static_cast<int>(std::min<std::size_t>(n, 3)), 0, {}});
      i += n;
    } else if (c == '0' || c == '#' || c == '?') {
      parts.push_back({Part::Kind::Placeholder, 0, 0, {}});  // digit places do not mix with dates
    } else {
      literal(s.substr(i, 1));
    }
  }
  resolveMinutes(parts);
  return parts;
}

std::string padded(std::int64_t n, int width) {
  std::string digits = std::to_string(n);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return digits;
}

}  // namespace

bool isDateTimeSection(std::string_view section) {
  for (const Part& p : parseSection(section))
    if (p.kind != Part::Kind::Literal && p.kind != Part::Kind::Placeholder) return true;
  return false;
}

std::optional<std::string> formatDateTime(double serial, std::string_view section) {
  if (!(serial >= 0) || serial >= kLastDateSerial + 1) return std::nullopt;
  const std::vector<Part> parts = parseSection(section);
  int fractionDigits = 0;
  bool twelveHour = false;
  for (const Part& p : parts) {
    if (p.kind == Part::Kind::Placeholder) return std::nullopt;
    if (p.kind == Part::Kind::Fraction) fractionDigits = std::max(fractionDigits, p.width);
    twelveHour |= p.kind == Part::Kind::AmPm;
  }
  // Everything is rounded once, at the finest unit shown, so that 0.99999999 is the next day.
  const std::int64_t perSecond = static_cast<std::int64_t>(std::pow(10, fractionDigits));
  const std::int64_t ticks = std::llround(serial * 86400.0 * static_cast<double>(perSecond));
  const std::int64_t totalSeconds = ticks / perSecond;
  const std::int64_t days = totalSeconds / 86400;
  if (static_cast<double>(days) > kLastDateSerial) return std::nullopt;
  const std::int64_t secondOfDay = totalSeconds % 86400;
  const std::int64_t hour = secondOfDay / 3600, minute = secondOfDay / 60 % 60, second = secondOfDay % 60;
  const CalendarDate date = calendarDate(days);
  std::string out;
  for (const Part& p : parts) {
    switch (p.kind) {
      case Part::Kind::Placeholder: break;
      case Part::Kind::Literal: out += p.text; break;
      case Part::Kind::Year: out += p.width == 2 ? padded(date.year % 100, 2) : std::to_string(date.year); break;
      case Part::Kind::Month:
        if (p.width <= 2) out += padded(date.month, p.width);
        else if (p.width == 3) out += kMonthNames[date.month - 1].substr(0, 3);
        else if (p.width == 4) out += kMonthNames[date.month - 1];
        else out += kMonthNames[date.month - 1].substr(0, 1);
        break;
      case Part::Kind::Day:
        if (p.width <= 2) out += padded(date.day, p.width);
        else out += p.width == 3 ? kDayNames[date.weekday].substr(0, 3) : kDayNames[date.weekday];
        break;
      case Part::Kind::Hour: {
        const std::int64_t shown = twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
        out += padded(shown, p.width);
        break;
      }
      case Part::Kind::Minute: out += padded(minute, p.width); break;
      case Part::Kind::Second: out += padded(second, p.width); break;
      case Part::Kind::Elapsed: {
        const std::int64_t whole = p.unit == 'h' ? totalSeconds / 3600 : p.unit == 'm' ? totalSeconds / 60 : totalSeconds;
        out += padded(whole, p.width);
        break;
      }
      case Part::Kind::Fraction: {
        const std::string digits = padded(ticks % perSecond, fractionDigits);
        out += '.';
        out.append(digits, 0, static_cast<std::size_t>(p.width));
        break;
      }
      case Part::Kind::AmPm: {
        const bool pm = hour >= 12;
        if (p.width == 3) out += pm ? p.text[2] : p.text[0];
        else out += pm ? "PM" : "AM";
        break;
      }
    }
  }
  return out;
}

}  // namespace calc
