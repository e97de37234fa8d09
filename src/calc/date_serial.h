#pragma once
// Date serial numbers of the 1900 date system, including its fictitious 29 February 1900.
#include <optional>

namespace calc {

// Serial of year/month/day; months and days outside their range roll over as in DATE().
// nullopt when the date falls before 1900-01-00 or after 9999-12-31.
std::optional<double> dateSerial(double year, double month, double day);

}  // namespace calc
