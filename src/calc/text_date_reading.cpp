#include "text_date_reading.h"

#include <cctype>
#include <string>
#include <vector>

#include "date_serial.h"
#include "text_calendar.h"

namespace calc {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// A month by its full name or its first three letters ("Sept" too); 0 when none.
int monthNumber(std::string_view word) {
  for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
    const std::string_view name = kMonthNames[i];
    if (equalsIgnoringCase(word, name) || equalsIgnoringCase(word, name.substr(0, 3)) ||
        (i == 8 && equalsIgnoringCase(word, "Sept")))
      return static_cast<int>(i) + 1;
  }
  return 0;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 || year == 1900;  // 1900 as the format has it
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Two-digit years: 00-29 are this century's, 30-99 the last one's.
int fullYear(int year, std::size_t digits) {
  if (digits <= 2) return year < 30 ? 2000 + year : 1900 + year;
  return year;
}

std::optional<double> serialOf(int year, int month, int day) {
  if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
    return std::nullopt;
  if (year == 1900 && month == 2 && day == 29) return 60.0;
  return dateSerial(year, month, day);
}

struct Field {
  bool isWord = false;
  int number = 0;        // a number, or a month for a word
  std::size_t digits = 0;
};

// Splits a date into numbers and month names at '/', '-', ',', '.' and spaces.
std::optional<std::vector<Field>> dateFields(std::string_view s, bool& slashOrDash) {
  std::vector<Field> fields;
  slashOrDash = false;
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == ' ' || c == ',' || c == '.' || c == '/' || c == '-') {
      slashOrDash |= c == '/' || c == '-';
      ++i;
    } else if (isDigit(c)) {
      Field f;
      for (; i < s.size() && isDigit(s[i]); ++i, ++f.digits)
        if (f.digits < 6) f.number = f.number * 10 + (s[i] - '0');
      if (f.digits > 4) return std::nullopt;
      fields.push_back(f);
    } else if (isAlpha(c)) {
      const std::size_t start = i;
      while (i < s.size() && isAlpha(s[i])) ++i;
      const int month = monthNumber(s.substr(start, i - start));
      if (month == 0) return std::nullopt;
      fields.push_back({true, month, 0});
    } else {
      return std::nullopt;
    }
  }
  return fields;
}

std::optional<double> readDate(std::string_view s, int currentYear) {
  bool slashOrDash = false;
  const auto parsed = dateFields(s, slashOrDash);
  if (!parsed || parsed->size() < 2 || parsed->size() > 3) return std::nullopt;
  const std::vector<Field>& f = *parsed;
  int words = 0;
  for (const Field& field : f) words += field.isWord;
  if (words > 1) return std::nullopt;
  if (words == 0 && !slashOrDash) return std::nullopt;  // "1 2 2024" is no date
  // Day or year: a number that fits the month as a day is a day.
  auto dayOrYear = [&](int month, const Field& n) {
    if (n.digits <= 2 && n.number >= 1 && n.number <= daysInMonth(currentYear, month)) return serialOf(currentYear, month, n.number);
    return serialOf(fullYear(n.number, n.digits), month, 1);
  };
  if (f.size() == 3) {
    if (words == 0 && f[0].digits == 4) return serialOf(f[0].number, f[1].number, f[2].number);  // 2024-01-15
    if (words == 0) return serialOf(fullYear(f[2].number, f[2].digits), f[0].number, f[1].number);  // 1/15/2024
    if (f[0].isWord) return serialOf(fullYear(f[2].number, f[2].digits), f[0].number, f[1].number);  // Jan 15 2024
    if (f[1].isWord) return serialOf(fullYear(f[2].number, f[2].digits), f[1].number, f[0].number);  // 15-Jan-2024
    return std::nullopt;
  }
  if (f[0].isWord) return dayOrYear(f[0].number, f[1]);                       // Jan 15, Jan 2024
  if (f[1].isWord) {                                                          // 15-Jan, 2024 Jan
    if (f[0].digits <= 2) return serialOf(currentYear, f[1].number, f[0].number);
    return serialOf(f[0].number, f[1].number, 1);
  }
  if (f[0].digits == 4) return serialOf(f[0].number, f[1].number, 1);      // 2024/1
  if (f[0].number < 1 || f[0].number > 12) return std::nullopt;
  return dayOrYear(f[0].number, f[1]);                                        // 1/15, 1/2024
}

// "h:mm", "h:mm:ss", "h:mm:ss.f", "mm:ss.f", "h AM", each with an optional AM/PM.
std::optional<double> readTime(std::string_view s) {
  s = trimmed(s);
  std::optional<bool> pm;
  auto endsWith = [&](std::string_view suffix) {
    return s.size() >= suffix.size() && equalsIgnoringCase(s.substr(s.size() - suffix.size()), suffix);
  };
  for (std::string_view marker : {"AM", "PM", "A", "P"}) {
    if (endsWith(marker)) {
      pm = lower(marker[0]) == 'p';
      s = trimmed(s.substr(0, s.size() - marker.size()));
      break;
    }
  }
  std::vector<double> parts;
  std::size_t i = 0;
  double fraction = 0;
  while (i < s.size()) {
    std::size_t digits = 0;
    double n = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits) n = n * 10 + (s[i] - '0');
    if (digits == 0 || digits > 5) return std::nullopt;
    parts.push_back(n);
    if (i == s.size()) break;
    if (s[i] == ':' && parts.size() < 3) {
      ++i;
      continue;
    }
    if (s[i] == '.' && parts.size() >= 2) {  // fractions of a second end the time
      double scale = 0.1;
      for (++i; i < s.size() && isDigit(s[i]); ++i, scale /= 10) fraction += (s[i] - '0') * scale;
      if (i != s.size()) return std::nullopt;
      break;
    }
    return std::nullopt;
  }
  if (parts.empty() || (parts.size() == 1 && !pm)) return std::nullopt;
  double hours = 0, minutes = 0, seconds = 0;
  if (parts.size() == 2 && fraction > 0) {
    minutes = parts[0], seconds = parts[1];  // "12:30.5" is minutes and seconds
  } else {
    hours = parts[0];
    minutes = parts.size() > 1 ? parts[1] : 0;
    seconds = parts.size() > 2 ? parts[2] : 0;
  }
  if (minutes >= 60 || seconds >= 60) return std::nullopt;
  if (pm) {
    if (hours > 12) return std::nullopt;
    hours = static_cast<double>(static_cast<int>(hours) % 12) + (*pm ? 12 : 0);
  } else if (hours >= 10000) {
    return std::nullopt;
  }
  return (hours * 3600 + minutes * 60 + seconds + fraction) / 86400;
}

// Where the time begins: at the number before the first ':', or at a final number followed
// by AM or PM. npos when the text holds no time.
std::size_t timeStart(std::string_view s) {
  std::size_t colon = s.find(':');
  std::size_t end = colon;
  if (colon == std::string_view::npos) {
    const std::size_t letters = s.find_last_not_of("AaPpMm");
    if (letters == s.size() - 1 || letters == std::string_view::npos) return std::string_view::npos;
    end = s.find_last_not_of(' ', letters) + 1;
  }
  std::size_t start = end;
  while (start > 0 && isDigit(s[start - 1])) --start;
  return start == end ? std::string_view::npos : start;
}

}  // namespace

std::optional<DateTimeText> readDateTime(std::string_view text, int currentYear) {
  // Spaces around are dropped (" 1:30 "), except around a date that starts with its year
  // (" 2024-01-10 "), which Excel reads only bare.
  const std::string_view s = trimmed(text);
  if (s.empty()) return std::nullopt;
  const bool yearFirst = s.size() > 4 && isDigit(s[0]) && isDigit(s[1]) && isDigit(s[2]) && isDigit(s[3]) && !isDigit(s[4]);
  if (yearFirst && s.size() != text.size()) return std::nullopt;
  DateTimeText out;
  const std::size_t split = timeStart(s);
  if (split != std::string_view::npos) {
    out.time = readTime(s.substr(split));
    if (!out.time) return std::nullopt;
  }
  const std::string_view datePart = trimmed(s.substr(0, split == std::string_view::npos ? s.size() : split));
  if (!datePart.empty()) {
    out.date = readDate(datePart, currentYear);
    if (!out.date) return std::nullopt;
  }
  return out;
}

}  // namespace calc
