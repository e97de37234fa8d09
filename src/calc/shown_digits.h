#pragma once
// The digits a cell shows of a number: |value| rounded to 15 significant digits, as
// d.dddddddddddddd × 10^exponent. Shared by the General format and by TEXT's number formats.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace calc {

struct ShownDigits {
  std::string digits;  // 15 digits, the first non-zero unless the value is 0
  int exponent = 0;
};

inline ShownDigits shownDigits(double value) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  ShownDigits d;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  d.exponent = *p ? std::atoi(p + 1) : 0;
  return d;
}

}  // namespace calc
