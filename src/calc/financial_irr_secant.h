#pragma once
// IRR's search for the rate as Excel runs it, so that its results agree to the last digits
// Excel saves rather than only to the root.
#include <optional>
#include <span>

namespace calc {

// The rate at which `flows` (one per period, the first undiscounted) are worth nothing, found
// from `guess` (above -1). nullopt when the search does not settle on a finite rate.
std::optional<double> irrBySecant(std::span<const double> flows, double guess);

}  // namespace calc
