#include "text_fraction_format.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace calc {
namespace {

bool isPlace(char c) { return c == '0' || c == '#' || c == '?'; }

// The section as places, the slash and literal text.
struct Element {
  char place = 0;  // '0', '#', '?', '/' or 0 for literal text
  std::string text;
};

std::vector<Element> elementsOf(std::string_view s) {
  std::vector<Element> out;
  auto literal = [&](std::string_view t) {
    if (!out.empty() && out.back().place == 0) out.back().text += t;
    else out.push_back({0, std::string(t)});
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') {
      const std::size_t close = s.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? s.size() : close;
      literal(s.substr(i + 1, end - i - 1));
      i = end;
    } else if ((c == '\\' || c == '_') && i + 1 < s.size()) {
      literal(c == '\\' ? s.substr(i + 1, 1) : " ");
      ++i;
    } else if (c == '*' && i + 1 < s.size()) {
      ++i;
    } else if (c == '[') {
      const std::size_t close = s.find(']', i);
      i = close == std::string_view::npos ? s.size() : close;
    } else if (isPlace(c) || c == '/') {
      out.push_back({c, {}});
    } else {
      literal(s.substr(i, 1));
    }
  }
  return out;
}

// Digits for places: '0' pads with zeros, '?' with spaces, '#' with nothing; on the left for
// whole numbers and numerators, on the right for denominators.
std::string fill(std::string digits, const std::string& places, bool padRight) {
  std::string pad;
  for (std::size_t i = digits.size(); i < places.size(); ++i) {
    const char p = padRight ? places[i] : places[places.size() - 1 - i];
    if (p == '0') pad += '0';
    else if (p == '?') pad += ' ';
  }
  return padRight ? digits + pad : std::string(pad.rbegin(), pad.rend()) + digits;
}

// The nearest n/d to x with d at most maxDenominator; ties go to the smaller denominator.
void nearestFraction(double x, double maxDenominator, double& numerator, double& denominator) {
  numerator = std::round(x);
  denominator = 1;
  double best = std::fabs(x - numerator);
  for (double d = 2; d <= maxDenominator && best > 0; ++d) {
    const double n = std::round(x * d);
    const double error = std::fabs(x - n / d);
    if (error < best - 1e-12) best = error, numerator = n, denominator = d;
  }
}

}  // namespace

bool isFractionSection(std::string_view section) {
  bool placeSeen = false;
  for (const Element& e : elementsOf(section)) {
    if (e.place == '/' && placeSeen) return true;
    placeSeen |= e.place != 0 && e.place != '/';
  }
  return false;
}

std::optional<std::string> formatFraction(double magnitude, std::string_view section, bool& zero) {
  const std::vector<Element> elements = elementsOf(section);
  std::size_t slash = 0;
  while (elements[slash].place != '/') ++slash;
  // The numerator is the run of places just before the slash; places before it, with text
  // between, are the whole part.
  std::size_t numeratorStart = slash;
  while (numeratorStart > 0 && isPlace(elements[numeratorStart - 1].place)) --numeratorStart;
  std::string numeratorPlaces, wholePlaces, denominatorPlaces, fixedDenominator, prefix, between, suffix;
  for (std::size_t i = numeratorStart; i < slash; ++i) numeratorPlaces += elements[i].place;
  std::size_t wholeEnd = numeratorStart;
  if (wholeEnd > 0 && elements[wholeEnd - 1].place == 0) between = elements[--wholeEnd].text;
  for (std::size_t i = 0; i < wholeEnd; ++i) {
    if (elements[i].place) wholePlaces += elements[i].place;
    else if (wholePlaces.empty()) prefix += elements[i].text;
    else return std::nullopt;  // text among the whole part's places
  }
  if (wholePlaces.empty()) prefix += between, between.clear();
  std::size_t i = slash + 1;
  for (; i < elements.size() && isPlace(elements[i].place); ++i) denominatorPlaces += elements[i].place;
  if (denominatorPlaces.empty() && i < elements.size() && elements[i].place == 0) {
    const std::string& t = elements[i].text;  // a fixed denominator: "?/8"
    std::size_t digits = 0;
    while (digits < t.size() && t[digits] >= '0' && t[digits] <= '9') ++digits;
    fixedDenominator = t.substr(0, digits);
    suffix = t.substr(digits);
    ++i;
    // Its zeros read as places: "?/1000" is one thousandths.
    for (; digits == t.size() && !fixedDenominator.empty() && i < elements.size() && elements[i].place == '0'; ++i)
      fixedDenominator += '0';
  }
  for (; i < elements.size(); ++i) suffix += elements[i].place ? std::string(1, elements[i].place) : elements[i].text;
  // A fixed denominator past 15 digits has no exact numerator to show.
  if (denominatorPlaces.empty() && (fixedDenominator.empty() || fixedDenominator.size() > 15 || std::stod(fixedDenominator) == 0))
    return std::nullopt;

  double whole = 0, rest = magnitude;
  if (!wholePlaces.empty()) whole = std::floor(magnitude), rest = magnitude - whole;
  double numerator = 0, denominator = 1;
  if (!fixedDenominator.empty()) {
    denominator = std::stod(fixedDenominator);
    numerator = std::round(rest * denominator);
  } else {
    nearestFraction(rest, std::pow(10.0, static_cast<double>(std::min<std::size_t>(denominatorPlaces.size(), 4))) - 1,
                    numerator, denominator);
  }
  if (!wholePlaces.empty() && numerator >= denominator) whole += 1, numerator -= denominator;
  zero = whole == 0 && numerator == 0;
  auto digits = [](double n) {  // whole numbers of any size, as their digits
    char buffer[320];
    std::snprintf(buffer, sizeof buffer, "%.0f", n);
    return std::string(buffer);
  };
  std::string out = prefix;
  if (!wholePlaces.empty()) {
    const bool showWhole = whole != 0 || numerator == 0;
    out += fill(showWhole ? digits(whole) : "", wholePlaces, false) + between;
  }
  const std::string denominatorText = fixedDenominator.empty() ? fill(digits(denominator), denominatorPlaces, true) : fixedDenominator;
  if (!wholePlaces.empty() && numerator == 0) {
    // A whole number keeps the fraction's width blank, so that columns still align.
    out += std::string(fill("0", numeratorPlaces, false).size() + 1 + denominatorText.size(), ' ');
  } else {
    out += fill(digits(numerator), numeratorPlaces, false) + "/" + denominatorText;
  }
  return out + suffix;
}

}  // namespace calc
