#pragma once
// CONVERT's units: names as the spreadsheet spells them (case matters), metric prefixes on the
// units that take them ("km", "mW", "Mm2"), binary prefixes on bits and bytes ("Kibyte" is
// written "kibyte", "Mibit").
#include <optional>
#include <string_view>

namespace calc {

// `value` in `from` units expressed in `to` units; nullopt when a name is unknown or the two
// measure different quantities.
std::optional<double> convertUnits(double value, std::string_view from, std::string_view to);

}  // namespace calc
