#pragma once
// RATE's search for the rate as Excel runs it, so that its results agree to the digits Excel
// saves rather than only to the root.
#include <optional>

namespace calc {

// The rate per period at which `present` and `future` balance `periods` payments of `pay` (made
// at the start of each period when `start`), searched from `guess`. nullopt when the search does
// not settle on a rate above -100%.
std::optional<double> rateBySecant(double periods, double pay, double present, double future, bool start,
                                   double guess);

}  // namespace calc
