#include "number_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "calc/number_text.h"
#include "shown_digits.h"
#include "text_date_format.h"
#include "text_fraction_format.h"

namespace calc {
namespace {

// ---- decimal digits --------------------------------------------------------------------------

// Rounds `d` half away from zero so that its last digit has place value 10^-decimals.
void roundAt(ShownDigits& d, int decimals) {
  const int keep = d.exponent + decimals + 1;  // digits with place value >= 10^-decimals
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  if (keep >= static_cast<int>(d.digits.size())) return;
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (!up) return;
  int i = keep - 1;
  for (; i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9'; --i) d.digits[static_cast<std::size_t>(i)] = '0';
  if (i >= 0) {
    ++d.digits[static_cast<std::size_t>(i)];
  } else {
    d.digits.insert(d.digits.begin(), '1');
    ++d.exponent;
  }
}

// The digit with place value 10^place.
char digitAt(const ShownDigits& d, int place) {
  const int index = d.exponent - place;
  return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(index)] : '0';
}

// ---- format codes ----------------------------------------------------------------------------

struct Token {
  enum class Kind { Digit, Point, Comma, Percent, Exponent, Literal } kind;
  char symbol = 0;      // Digit: '0', '#' or '?'; Exponent: '+' or '-'
  std::string text;     // Literal
};

std::vector<std::string_view> splitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '"') quoted = !quoted;
    else if (!quoted && c == '\\') ++i;
    else if (!quoted && c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

bool isDateOrTimeCode(char c) {
  switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'd': case 'm': case 'y': case 'h': case 's': case 'a': return true;
    default: return false;
  }
}

bool isColour(std::string_view name) {
  static constexpr std::string_view kColours[] = {"black", "blue", "cyan", "green", "magenta", "red", "white", "yellow"};
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (std::string_view colour : kColours)
    if (lower == colour) return true;
  return lower.size() > 5 && lower.compare(0, 5, "color") == 0 &&
         lower.find_first_not_of("0123456789", 5) == std::string::npos;
}

// Splits one section into tokens; false for codes this engine does not read.
bool tokenize(std::string_view section, std::vector<Token>& tokens) {
  bool seenPoint = false;
  auto literal = [&](std::string text) { tokens.push_back({Token::Kind::Literal, 0, std::move(text)}); };
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    const char next = i + 1 < section.size() ? section[i + 1] : '\0';
    if (c == '"') {
      const std::size_t close = section.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      literal(std::string(section.substr(i + 1, close - i - 1)));
      i = close;
    } else if (c == '\\' && next) {
      literal(std::string(1, next));
      ++i;
    } else if (c == '_' && next) {
      literal(" ");  // the width of the next character
      ++i;
    } else if (c == '*' && next) {
      ++i;  // a fill character: nothing to fill in a text
    } else if (c == '0' || c == '#' || c == '?') {
      tokens.push_back({Token::Kind::Digit, c, {}});
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
      tokens.push_back({Token::Kind::Point, 0, {}});
    } else if (c == ',') {
      tokens.push_back({Token::Kind::Comma, 0, {}});
    } else if (c == '%') {
      tokens.push_back({Token::Kind::Percent, 0, {}});
    } else if ((c == 'E' || c == 'e') && (next == '+' || next == '-')) {
      tokens.push_back({Token::Kind::Exponent, next, {}});
      ++i;
    } else if (c == '[') {
      // A colour only matters on screen; conditions and elapsed times are not read.
      const std::size_t close = section.find(']', i);
      if (close == std::string_view::npos || !isColour(section.substr(i + 1, close - i - 1))) return false;
      i = close;
    } else if (c == '@' || isDateOrTimeCode(c)) {
      return false;  // a text placeholder in a number section, dates and times
    } else {
      literal(std::string(1, c));
    }
  }
  return true;
}

// What the tokens of one section ask for.
struct Layout {
  int wholeZeros = 0, wholeQuestions = 0, wholePlaces = 0, fractionPlaces = 0, exponentZeros = 0;
  int percents = 0, thousandsScale = 0;
  bool grouping = false, exponent = false, hashInWhole = false, literalInsideWhole = false;
  char exponentSign = '+';
};

Layout analyse(std::vector<Token>& tokens) {
  Layout l;
  enum { Whole, Fraction, Exponent } part = Whole;
  int firstDigit = -1, lastWholeDigit = -1;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    Token& t = tokens[i];
    switch (t.kind) {
      case Token::Kind::Digit:
        if (firstDigit < 0) firstDigit = static_cast<int>(i);
        if (part == Whole) {
          ++l.wholePlaces;
          l.wholeZeros += t.symbol == '0';
          l.wholeQuestions += t.symbol == '?';
          l.hashInWhole |= t.symbol == '#';
          lastWholeDigit = static_cast<int>(i);
        } else if (part == Fraction) {
          ++l.fractionPlaces;
        } else {
          l.exponentZeros += 1;
        }
        break;
      case Token::Kind::Point: part = Fraction; break;
      case Token::Kind::Exponent:
        part = Exponent;
        l.exponent = true;
        l.exponentSign = t.symbol;
        break;
      case Token::Kind::Percent: ++l.percents; break;
      case Token::Kind::Comma: {
        if (firstDigit < 0) {  // before any place it is plain text
          t = {Token::Kind::Literal, 0, ","};
          break;
        }
        // Between two whole-number places: group thousands. After the last place: divide by 1000.
        bool digitFollows = false;
        for (std::size_t j = i + 1; j < tokens.size() && tokens[j].kind != Token::Kind::Point &&
                                    tokens[j].kind != Token::Kind::Exponent; ++j)
          if (tokens[j].kind == Token::Kind::Digit) digitFollows = true;
        if (firstDigit >= 0 && digitFollows && part == Whole) l.grouping = true;
        else if (firstDigit >= 0 && !digitFollows) ++l.thousandsScale;
        break;
      }
      case Token::Kind::Literal:
        if (part == Whole && firstDigit >= 0) l.literalInsideWhole = true;
        break;
    }
  }
  // A literal after the last whole-number place (as in "0 kg") is not inside it.
  if (l.literalInsideWhole) {
    l.literalInsideWhole = false;
    for (int i = firstDigit + 1; i < lastWholeDigit; ++i)
      if (tokens[static_cast<std::size_t>(i)].kind == Token::Kind::Literal) l.literalInsideWhole = true;
  }
  return l;
}

std::string repeat(char c, int n) { return n > 0 ? std::string(static_cast<std::size_t>(n), c) : std::string(); }

// Writes the tokens with the digits in place; `whole` and `fraction` are the digits to show.
std::string assemble(const std::vector<Token>& tokens, const Layout& l, std::string whole,
                     const std::string& fraction, const std::string& exponentText) {
  if (whole == "0" && l.wholeZeros == 0) whole.clear();
  if (static_cast<int>(whole.size()) < l.wholeZeros) whole = repeat('0', l.wholeZeros - static_cast<int>(whole.size())) + whole;
  if (l.grouping) whole = groupThousands(whole);
  // Places under ? that no digit fills show as spaces, so that columns of numbers align.
  const int aligned = l.wholeZeros + l.wholeQuestions;
  if (static_cast<int>(whole.size()) < aligned) whole = repeat(' ', aligned - static_cast<int>(whole.size())) + whole;
  // With literals among the whole-number places (as in "000-0000") each place takes one digit
  // from the right and the first takes what is left.
  std::vector<std::string> perPlace;
  if (l.literalInsideWhole) {
    perPlace.resize(static_cast<std::size_t>(l.wholePlaces));
    std::string rest = whole;
    for (int i = l.wholePlaces - 1; i > 0; --i) {
      if (!rest.empty()) {
        perPlace[static_cast<std::size_t>(i)] = rest.substr(rest.size() - 1);
        rest.pop_back();
      }
    }
    if (l.wholePlaces > 0) perPlace[0] = rest;
  }
  std::string out;
  enum { Whole, Fraction, Exponent } part = Whole;
  int wholeIndex = 0, fractionIndex = 0;
  for (const Token& t : tokens) {
    switch (t.kind) {
      case Token::Kind::Digit:
        if (part == Whole) {
          if (l.literalInsideWhole) out += perPlace[static_cast<std::size_t>(wholeIndex)];
          else if (wholeIndex == 0) out += whole;
          ++wholeIndex;
        } else if (part == Fraction) {
          const char d = fraction[static_cast<std::size_t>(fractionIndex)];
          // Trailing zeros under # vanish and under ? become spaces.
          const bool trailingZero = fraction.find_first_not_of('0', static_cast<std::size_t>(fractionIndex)) == std::string::npos;
          if (!trailingZero || t.symbol == '0') out += d;
          else if (t.symbol == '?') out += ' ';
          ++fractionIndex;
        }
        break;
      case Token::Kind::Point:
        part = Fraction;
        out += '.';
        break;
      case Token::Kind::Exponent:
        part = Exponent;
        out += 'E';
        out += exponentText;
        break;
      case Token::Kind::Percent: out += '%'; break;
      case Token::Kind::Comma: break;
      case Token::Kind::Literal: out += t.text; break;
    }
  }
  return out;
}

std::string formatSection(double magnitude, std::vector<Token>& tokens, bool& allZero) {
  const Layout l = analyse(tokens);
  double v = magnitude;
  for (int i = 0; i < l.percents; ++i) v *= 100;
  for (int i = 0; i < l.thousandsScale; ++i) v /= 1000;
  std::string exponentText;
  if (l.exponent) {
    // Scientific: as many whole digits as places ("00.0E+0" shows 12.3E+0); with # among
    // them the exponent is a multiple of their count ("##0.0E+0": engineering notation).
    const int places = std::max(l.wholePlaces, 1);
    int exponent = 0;
    if (v != 0) {
      const int first = shownDigits(v).exponent;
      exponent = l.hashInWhole ? static_cast<int>(std::floor(static_cast<double>(first) / places)) * places
                               : first - (places - 1);
    }
    ShownDigits mantissa = shownDigits(v / std::pow(10.0, exponent));
    roundAt(mantissa, l.fractionPlaces);
    if (!l.hashInWhole && !mantissa.digits.empty() && mantissa.exponent >= places) {  // 9.96 -> 10.0
      exponent += 1;
      mantissa = shownDigits(v / std::pow(10.0, exponent));
      roundAt(mantissa, l.fractionPlaces);
    }
    v = 0;
    std::string whole, fraction;
    for (int p = std::max(mantissa.exponent, 0); p >= 0; --p) whole += mantissa.digits.empty() ? '0' : digitAt(mantissa, p);
    for (int p = -1; p >= -l.fractionPlaces; --p) fraction += mantissa.digits.empty() ? '0' : digitAt(mantissa, p);
    allZero = mantissa.digits.empty() || mantissa.digits.find_first_not_of('0') == std::string::npos;
    const std::string digits = std::to_string(std::abs(exponent));
    if (exponent < 0) exponentText += '-';
    else if (l.exponentSign == '+') exponentText += '+';
    exponentText.append(static_cast<std::size_t>(std::max(l.exponentZeros - static_cast<int>(digits.size()), 0)), '0');
    exponentText += digits;
    const std::size_t start = whole.find_first_not_of('0');
    whole = start == std::string::npos ? "0" : whole.substr(start);
    return assemble(tokens, l, whole, fraction, exponentText);
  }
  const RoundedDigits rounded = roundedDigits(v, l.fractionPlaces);
  allZero = rounded.whole == "0" && rounded.fraction.find_first_not_of('0') == std::string::npos;
  return assemble(tokens, l, rounded.whole, rounded.fraction, exponentText);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}


// ---- sections and conditions -----------------------------------------------------------------

struct Condition {
  enum class Op { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual } op;
  double bound = 0;

  bool holds(double x) const {
    switch (op) {
      case Op::Less: return x < bound;
      case Op::LessEqual: return x <= bound;
      case Op::Greater: return x > bound;
      case Op::GreaterEqual: return x >= bound;
      case Op::Equal: return x == bound;
      case Op::NotEqual: return x != bound;
    }
    return false;
  }
};

struct Section {
  std::string code;  // without its condition
  std::optional<Condition> condition;
};

// "[<0]", "[>=100]": a comparison and a number; nothing for colours and other brackets.
std::optional<Condition> readCondition(std::string_view inner) {
  using Op = Condition::Op;
  static constexpr std::pair<std::string_view, Op> kOps[] = {
      {"<=", Op::LessEqual}, {">=", Op::GreaterEqual}, {"<>", Op::NotEqual},
      {"<", Op::Less},       {">", Op::Greater},       {"=", Op::Equal}};
  for (const auto& [symbol, op] : kOps) {
    if (inner.substr(0, symbol.size()) != symbol) continue;
    const std::string number(inner.substr(symbol.size()));
    char* end = nullptr;
    const double bound = std::strtod(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size()) return std::nullopt;
    return Condition{op, bound};
  }
  return std::nullopt;
}

Section readSection(std::string_view code) {
  Section section;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '"') {  // quoted text is copied whole
      const std::size_t close = code.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? code.size() - 1 : close;
      section.code.append(code.substr(i, end - i + 1));
      i = end;
      continue;
    }
    if (code[i] == '\\' && i + 1 < code.size()) {
      section.code.append(code.substr(i, 2));
      ++i;
      continue;
    }
    if (code[i] == '[') {
      const std::size_t close = code.find(']', i);
      if (close != std::string_view::npos) {
        if (auto condition = readCondition(code.substr(i + 1, close - i - 1))) {
          section.condition = condition;
          i = close;
          continue;
        }
      }
    }
    section.code += code[i];
  }
  return section;
}

struct Chosen {
  std::string_view code;
  bool ownSign = false;  // the section writes the sign itself, if any
};

// Without conditions: positive;negative;zero;text. With them, the first section whose
// condition holds, else the first without one.
Chosen chooseSection(const std::vector<Section>& sections, double value) {
  const bool conditional = std::any_of(sections.begin(), sections.end(), [](const Section& s) { return s.condition.has_value(); });
  if (!conditional) {
    if (sections.size() >= 2 && value < 0) return {sections[1].code, true};
    if (sections.size() >= 3 && value == 0) return {sections[2].code, false};
    return {sections[0].code, false};
  }
  const std::size_t numberSections = std::min<std::size_t>(sections.size(), 3);
  for (std::size_t i = 0; i < numberSections; ++i)
    if (sections[i].condition && sections[i].condition->holds(value)) return {sections[i].code, true};
  for (std::size_t i = 0; i < numberSections; ++i)
    if (!sections[i].condition) return {sections[i].code, false};
  return {sections[0].code, false};
}

// ---- General as a cell shows it: at most 11 characters besides the sign -------------------

std::string trimmedFraction(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string scientificIn11(double magnitude) {
  ShownDigits d = shownDigits(magnitude);
  for (int places = 5; places >= 0; --places) {
    ShownDigits m = d;
    roundAt(m, places - m.exponent);
    const int exponent = m.exponent;
    std::string mantissa(1, m.digits.empty() ? '0' : m.digits[0]);
    if (places > 0) {
      mantissa += '.';
      for (int p = 1; p <= places; ++p) mantissa += p < static_cast<int>(m.digits.size()) ? m.digits[static_cast<std::size_t>(p)] : '0';
    }
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    const std::string text = trimmedFraction(mantissa) + tail;
    if (text.size() <= 11) return text;
  }
  return "#";  // unreachable: "1E+308" fits
}

std::string generalIn11(double magnitude) {
  if (magnitude == 0) return "0";
  const ShownDigits d = shownDigits(magnitude);
  const std::size_t significant = d.digits.find_last_not_of('0') + 1;
  if (d.exponent < 11) {
    // Places after the point that fit: the whole part (or "0") and the point come first.
    const int decimals = d.exponent >= 0 ? 9 - d.exponent : 9;
    const RoundedDigits r = roundedDigits(magnitude, std::max(decimals, 0));
    const std::string plain = trimmedFraction(r.fraction.empty() ? r.whole : r.whole + "." + r.fraction);
    const int shown = 10 + d.exponent;  // significant digits left after the leading zeros
    // Scientific keeps up to six significant digits; plain text wins unless it loses more.
    const bool losesDigits = d.exponent < 0 && shown < static_cast<int>(std::min<std::size_t>(significant, 6));
    if (plain.size() <= 11 && !losesDigits && plain != "0") return plain;
  }
  return scientificIn11(magnitude);
}

}  // namespace

RoundedDigits roundedDigits(double value, int decimals) {
  RoundedDigits out;
  ShownDigits d;
  if (value != 0 && std::isfinite(value)) {
    d = shownDigits(value);
    roundAt(d, decimals);
  }
  if (d.digits.empty()) d.exponent = 0;
  for (int p = std::max(d.exponent, 0); p >= 0; --p) out.whole += d.digits.empty() ? '0' : digitAt(d, p);
  for (int p = -1; p >= -decimals; --p) out.fraction += d.digits.empty() ? '0' : digitAt(d, p);
  return out;
}

std::string groupThousands(std::string_view digits) {
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::optional<std::string> formatWithCode(double value, std::string_view format) {
  const std::vector<std::string_view> codes = splitSections(format);
  if (codes.size() > 4) return std::nullopt;
  std::vector<Section> sections;
  for (std::string_view code : codes) sections.push_back(readSection(code));
  const Chosen chosen = chooseSection(sections, value);
  const std::string_view section = chosen.code;
  const bool showMinus = chosen.ownSign ? false : value < 0;
  if (section == "@") return formatNumber(value);  // the value as text
  if (equalsIgnoringCase(section, "General")) {
    std::string text = generalIn11(std::fabs(value));
    if (showMinus) text.insert(text.begin(), '-');
    return text;
  }
  if (isDateTimeSection(section)) return formatDateTime(chosen.ownSign ? std::fabs(value) : value, section);
  if (isFractionSection(section)) {
    bool zero = false;
    auto text = formatFraction(std::fabs(value), section, zero);
    if (text && showMinus && !zero) text->insert(text->begin(), '-');
    return text;
  }
  std::vector<Token> tokens;
  if (!tokenize(section, tokens)) return std::nullopt;
  bool allZero = false;
  std::string text = formatSection(std::fabs(value), tokens, allZero);
  if (showMinus && !allZero) text.insert(text.begin(), '-');
  return text;
}

std::string formatTextWithCode(const std::string& text, std::string_view format) {
  const std::vector<std::string_view> sections = splitSections(format);
  std::string_view section;
  if (sections.size() == 4) section = sections[3];
  else if (sections.size() == 1 && sections[0].find('@') != std::string_view::npos) section = sections[0];
  else return text;
  std::string out;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '"') {
      const std::size_t close = section.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? section.size() : close;
      out.append(section.substr(i + 1, end - i - 1));
      i = end;
    } else if ((c == '\\' || c == '_') && i + 1 < section.size()) {
      out += c == '\\' ? section[i + 1] : ' ';
      ++i;
    } else if (c == '*' && i + 1 < section.size()) {
      ++i;
    } else if (c == '[') {
      const std::size_t close = section.find(']', i);
      i = close == std::string_view::npos ? section.size() : close;
    } else {
      out += c == '@' ? text : std::string(1, c);
    }
  }
  return out;
}

}  // namespace calc
