#include "unit_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace calc {
namespace {

enum class Quantity : std::uint8_t {
  Mass, Distance, Time, Pressure, Force, Energy, Power, Magnetism, Temperature, Volume, Area,
  Information, Speed
};

// How a unit takes prefixes: not at all, metric ones (raised to the unit's power: a "km2" is
// 1E6 m2), or metric and binary ones (bits and bytes).
enum class Prefixes : std::uint8_t { None, Metric, Binary };

struct Unit {
  std::string_view name;
  Quantity quantity;
  double factor;  // in the quantity's base unit: g, m, s, Pa, N, J, W, T, m3, m2, bit, m/s
  Prefixes prefixes = Prefixes::None;
  std::uint8_t power = 1;  // 2 for areas and 3 for volumes written with a length
};

// Defined values the others derive from.
constexpr double kInch = 0.0254;
constexpr double kPica = kInch / 72;  // the typographic point ("Picapt")
constexpr double kLightYear = 9460730472580800;
constexpr double kPoundForce = 4.4482216152605;  // N
constexpr double kHorsepower = 745.69987158227022;  // W

using Q = Quantity;
using P = Prefixes;

constexpr auto kUnits = std::to_array<Unit>({
    // Mass, in grams.
    {"g", Q::Mass, 1, P::Metric}, {"sg", Q::Mass, 14593.902937206364}, {"lbm", Q::Mass, 453.59237},
    {"u", Q::Mass, 1.660538782e-24, P::Metric}, {"ozm", Q::Mass, 28.349523125}, {"grain", Q::Mass, 0.06479891},
    {"cwt", Q::Mass, 45359.237}, {"shweight", Q::Mass, 45359.237}, {"uk_cwt", Q::Mass, 50802.34544},
    {"lcwt", Q::Mass, 50802.34544}, {"hweight", Q::Mass, 50802.34544}, {"stone", Q::Mass, 6350.29318},
    {"ton", Q::Mass, 907184.74}, {"uk_ton", Q::Mass, 1016046.9088}, {"LTON", Q::Mass, 1016046.9088},
    {"brton", Q::Mass, 1016046.9088},
    // Distance, in meters.
    {"m", Q::Distance, 1, P::Metric}, {"mi", Q::Distance, 1609.344}, {"Nmi", Q::Distance, 1852},
    {"in", Q::Distance, kInch}, {"ft", Q::Distance, 0.3048}, {"yd", Q::Distance, 0.9144},
    {"ang", Q::Distance, 1e-10, P::Metric}, {"ell", Q::Distance, 1.143},
    {"ly", Q::Distance, kLightYear, P::Metric}, {"parsec", Q::Distance, 3.0856775812815532e16, P::Metric},
    {"pc", Q::Distance, 3.0856775812815532e16, P::Metric}, {"Picapt", Q::Distance, kPica},
    {"Pica", Q::Distance, kPica}, {"pica", Q::Distance, kInch / 6},
    {"survey_mi", Q::Distance, 5280 * 1200.0 / 3937},
    // Time, in seconds.
    {"yr", Q::Time, 31557600}, {"day", Q::Time, 86400}, {"d", Q::Time, 86400}, {"hr", Q::Time, 3600},
    {"mn", Q::Time, 60}, {"min", Q::Time, 60}, {"sec", Q::Time, 1, P::Metric}, {"s", Q::Time, 1, P::Metric},
    // Pressure, in pascals.
    {"Pa", Q::Pressure, 1, P::Metric}, {"p", Q::Pressure, 1, P::Metric},
    {"atm", Q::Pressure, 101325, P::Metric}, {"at", Q::Pressure, 101325, P::Metric},
    {"mmHg", Q::Pressure, 133.322, P::Metric}, {"psi", Q::Pressure, kPoundForce / (kInch * kInch)},
    {"Torr", Q::Pressure, 101325 / 760.0},
    // Force, in newtons.
    {"N", Q::Force, 1, P::Metric}, {"dyn", Q::Force, 1e-5, P::Metric}, {"dy", Q::Force, 1e-5, P::Metric},
    {"lbf", Q::Force, kPoundForce}, {"pond", Q::Force, 9.80665e-3, P::Metric},
    // Energy, in joules.
    {"J", Q::Energy, 1, P::Metric}, {"e", Q::Energy, 1e-7, P::Metric}, {"c", Q::Energy, 4.184, P::Metric},
    {"cal", Q::Energy, 4.1868, P::Metric}, {"eV", Q::Energy, 1.602176487e-19, P::Metric},
    {"ev", Q::Energy, 1.602176487e-19, P::Metric}, {"HPh", Q::Energy, kHorsepower * 3600},
    {"hh", Q::Energy, kHorsepower * 3600}, {"Wh", Q::Energy, 3600, P::Metric},
    {"wh", Q::Energy, 3600, P::Metric}, {"flb", Q::Energy, kPoundForce * 0.3048},
    {"BTU", Q::Energy, 1055.05585262}, {"btu", Q::Energy, 1055.05585262},
    // Power, in watts.
    {"HP", Q::Power, kHorsepower}, {"h", Q::Power, kHorsepower}, {"PS", Q::Power, 735.49875},
    {"W", Q::Power, 1, P::Metric}, {"w", Q::Power, 1, P::Metric},
    // Magnetism, in teslas.
    {"T", Q::Magnetism, 1, P::Metric}, {"ga", Q::Magnetism, 1e-4, P::Metric},
    // Temperature: scales with zero points of their own, see degreeScale().
    {"C", Q::Temperature, 1}, {"cel", Q::Temperature, 1}, {"F", Q::Temperature, 1}, {"fah", Q::Temperature, 1},
    {"K", Q::Temperature, 1, P::Metric}, {"kel", Q::Temperature, 1, P::Metric}, {"Rank", Q::Temperature, 1},
    {"Reau", Q::Temperature, 1},
    // Volume, in cubic meters.
    {"tsp", Q::Volume, 4.92892159375e-6}, {"tspm", Q::Volume, 5e-6}, {"tbs", Q::Volume, 1.478676478125e-5},
    {"oz", Q::Volume, 2.95735295625e-5}, {"cup", Q::Volume, 2.365882365e-4}, {"pt", Q::Volume, 4.73176473e-4},
    {"us_pt", Q::Volume, 4.73176473e-4}, {"uk_pt", Q::Volume, 5.6826125e-4, P::Metric},
    {"qt", Q::Volume, 9.46352946e-4}, {"uk_qt", Q::Volume, 1.1365225e-3}, {"gal", Q::Volume, 3.785411784e-3},
    {"uk_gal", Q::Volume, 4.54609e-3}, {"l", Q::Volume, 1e-3, P::Metric}, {"L", Q::Volume, 1e-3, P::Metric},
    {"lt", Q::Volume, 1e-3, P::Metric}, {"ang3", Q::Volume, 1e-30, P::Metric, 3},
    {"ang^3", Q::Volume, 1e-30, P::Metric, 3}, {"barrel", Q::Volume, 0.158987294928},
    {"bushel", Q::Volume, 0.03523907016688}, {"ft3", Q::Volume, 0.028316846592},
    {"ft^3", Q::Volume, 0.028316846592}, {"in3", Q::Volume, 1.6387064e-5}, {"in^3", Q::Volume, 1.6387064e-5},
    {"ly3", Q::Volume, kLightYear * kLightYear * kLightYear},
    {"ly^3", Q::Volume, kLightYear * kLightYear * kLightYear}, {"m3", Q::Volume, 1, P::Metric, 3},
    {"m^3", Q::Volume, 1, P::Metric, 3}, {"mi3", Q::Volume, 4168181825.440579584},
    {"mi^3", Q::Volume, 4168181825.440579584}, {"yd3", Q::Volume, 0.764554857984},
    {"yd^3", Q::Volume, 0.764554857984}, {"Nmi3", Q::Volume, 6352182208}, {"Nmi^3", Q::Volume, 6352182208},
    {"Picapt3", Q::Volume, kPica * kPica * kPica}, {"Picapt^3", Q::Volume, kPica * kPica * kPica},
    {"Pica3", Q::Volume, kPica * kPica * kPica}, {"Pica^3", Q::Volume, kPica * kPica * kPica},
    {"GRT", Q::Volume, 2.8316846592}, {"regton", Q::Volume, 2.8316846592}, {"MTON", Q::Volume, 1.13267386368},
    // Area, in square meters.
    {"uk_acre", Q::Area, 4046.8564224}, {"us_acre", Q::Area, 43560 * (1200.0 / 3937) * (1200.0 / 3937)},
    {"ang2", Q::Area, 1e-20, P::Metric, 2}, {"ang^2", Q::Area, 1e-20, P::Metric, 2},
    {"ar", Q::Area, 100, P::Metric}, {"ft2", Q::Area, 0.09290304}, {"ft^2", Q::Area, 0.09290304},
    {"ha", Q::Area, 1e4}, {"in2", Q::Area, 6.4516e-4}, {"in^2", Q::Area, 6.4516e-4},
    {"ly2", Q::Area, kLightYear * kLightYear}, {"ly^2", Q::Area, kLightYear * kLightYear},
    {"m2", Q::Area, 1, P::Metric, 2}, {"m^2", Q::Area, 1, P::Metric, 2}, {"Morgen", Q::Area, 2500},
    {"mi2", Q::Area, 2589988.110336}, {"mi^2", Q::Area, 2589988.110336}, {"Nmi2", Q::Area, 3429904},
    {"Nmi^2", Q::Area, 3429904}, {"Picapt2", Q::Area, kPica * kPica}, {"Pica2", Q::Area, kPica * kPica},
    {"Pica^2", Q::Area, kPica * kPica}, {"Picapt^2", Q::Area, kPica * kPica}, {"yd2", Q::Area, 0.83612736},
    {"yd^2", Q::Area, 0.83612736},
    // Information, in bits.
    {"bit", Q::Information, 1, P::Binary}, {"byte", Q::Information, 8, P::Binary},
    // Speed, in meters per second.
    {"admkn", Q::Speed, 6080 * 0.3048 / 3600}, {"kn", Q::Speed, 1852 / 3600.0},
    {"m/h", Q::Speed, 1 / 3600.0, P::Metric}, {"m/hr", Q::Speed, 1 / 3600.0, P::Metric},
    {"m/s", Q::Speed, 1, P::Metric}, {"m/sec", Q::Speed, 1, P::Metric}, {"mph", Q::Speed, 0.44704, P::Metric},
});

struct Prefix {
  std::string_view name;
  double factor;
  bool binary = false;
};

// Two-letter prefixes first, so that "da" is deka before "d" is deci.
constexpr auto kPrefixes = std::to_array<Prefix>({
    {"da", 1e1}, {"ki", 0x1p10, true}, {"Mi", 0x1p20, true}, {"Gi", 0x1p30, true}, {"Ti", 0x1p40, true},
    {"Pi", 0x1p50, true}, {"Ei", 0x1p60, true}, {"Zi", 0x1p70, true}, {"Yi", 0x1p80, true},
    {"Y", 1e24}, {"Z", 1e21}, {"E", 1e18}, {"P", 1e15}, {"T", 1e12}, {"G", 1e9}, {"M", 1e6}, {"k", 1e3},
    {"h", 1e2}, {"e", 1e1}, {"d", 1e-1}, {"c", 1e-2}, {"m", 1e-3}, {"u", 1e-6}, {"n", 1e-9}, {"p", 1e-12},
    {"f", 1e-15}, {"a", 1e-18}, {"z", 1e-21}, {"y", 1e-24},
});

const Unit* unitNamed(std::string_view name) {
  const auto it = std::find_if(kUnits.begin(), kUnits.end(), [&](const Unit& u) { return u.name == name; });
  return it == kUnits.end() ? nullptr : &*it;
}

// A unit and the factor its prefix contributes, raised to the unit's power.
struct ResolvedUnit {
  const Unit* unit = nullptr;
  double scale = 1;
};

// Whole names win over prefixed readings: "Pa" is a pascal, "mi" a mile, "ha" a hectare.
ResolvedUnit resolve(std::string_view name) {
  if (const Unit* u = unitNamed(name)) return {u, 1};
  for (const Prefix& prefix : kPrefixes) {
    if (!name.starts_with(prefix.name)) continue;
    const Unit* u = unitNamed(name.substr(prefix.name.size()));
    if (!u || u->prefixes == Prefixes::None || (prefix.binary && u->prefixes != Prefixes::Binary)) continue;
    return {u, std::pow(prefix.factor, u->power)};
  }
  return {};
}

// A temperature scale: its readings at 0 °C and at absolute zero, and the size of its degree,
// num/den degrees Celsius. A conversion goes through kelvins when a scale starts at absolute
// zero (1 Rank is 5/9 K, not 5/9 K less the rounding of 491.67 °R) and through degrees Celsius
// otherwise (100 °C is 212 °F, not 212 and some 1E-14).
struct DegreeScale {
  double atZeroCelsius, atAbsoluteZero, num, den;

  bool operator==(const DegreeScale&) const = default;
};

DegreeScale degreeScale(std::string_view name) {
  if (name == "F" || name == "fah") return {32, -459.67, 5, 9};
  if (name == "K" || name == "kel") return {273.15, 0, 1, 1};
  if (name == "Rank") return {491.67, 0, 5, 9};
  if (name == "Reau") return {0, -218.52, 5, 4};
  return {0, -273.15, 1, 1};  // C, cel
}

double convertTemperature(double value, const ResolvedUnit& from, const ResolvedUnit& to) {
  const DegreeScale a = degreeScale(from.unit->name), b = degreeScale(to.unit->name);
  if (a == b) return value * from.scale / to.scale;
  const bool absolute = a.atAbsoluteZero == 0 || b.atAbsoluteZero == 0;
  const double zeroFrom = absolute ? a.atAbsoluteZero : a.atZeroCelsius;
  const double zeroTo = absolute ? b.atAbsoluteZero : b.atZeroCelsius;
  const double degrees = (value * from.scale - zeroFrom) * a.num / a.den;
  return (degrees * b.den / b.num + zeroTo) / to.scale;
}

}  // namespace

std::optional<double> convertUnits(double value, std::string_view from, std::string_view to) {
  const ResolvedUnit a = resolve(from), b = resolve(to);
  if (!a.unit || !b.unit || a.unit->quantity != b.unit->quantity) return std::nullopt;
  if (a.unit->quantity == Quantity::Temperature) return convertTemperature(value, a, b);
  return value * (a.unit->factor * a.scale) / (b.unit->factor * b.scale);
}

}  // namespace calc
