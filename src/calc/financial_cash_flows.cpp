// Series of cash flows: NPV, IRR and MIRR at regular periods, XNPV and XIRR on dates, and
// FVSCHEDULE's compounding through a list of rates.
#include <algorithm>
#include <cmath>

#include "collect.h"
#include "financial_internal.h"
#include "financial_irr_secant.h"

namespace calc {
namespace {

std::optional<ErrorCode> numberOf(const Value& v, double& out) {
  const Number n = toNumber(v);
  if (n.failed) return n.error;
  out = n.value;
  return std::nullopt;
}

// The numbers of the arguments from i on, as NPV reads them (as SUM does).
std::optional<ErrorCode> flowsFromArgument(const Args& args, std::size_t i, std::vector<double>& out) {
  return collectNumbers(args.from(i), kSumRule, [&](double x) { out.push_back(x); });
}

// The numbers of one argument as IRR and MIRR read them: text, booleans and empty cells in a
// range are skipped, given directly they are converted; errors stop the walk.
std::optional<ErrorCode> flowsOf(const Args& args, std::size_t i, std::vector<double>& out) {
  std::optional<ErrorCode> error;
  args.forEach(i, [&](const Value& v) {
    if (v.isError()) error = v.error();
    else if (v.isNumber()) out.push_back(v.number());
    else if (!args.isCollection(i)) {
      double x = 0;
      if ((error = numberOf(v, x))) return false;
      out.push_back(x);
    }
    return !error;
  });
  return error;
}

// Each flow discounted to the start of the first period by a growth built up one period at a
// time (multiplied, not raised to a power), the sum then by one period more: Excel's order of
// operations, whose rounding shows when the flows nearly cancel (an NPV at the rate IRR found).
double presentValue(const std::vector<double>& flows, double r) {
  const double growth = 1 + r;
  double total = 0, discount = 1;
  for (double flow : flows) {
    total += flow / discount;
    discount *= growth;
  }
  return total / growth;
}

bool hasBothSigns(const std::vector<double>& flows) {
  bool positive = false, negative = false;
  for (double f : flows) {
    positive = positive || f > 0;
    negative = negative || f < 0;
  }
  return positive && negative;
}

// Newton's method on a function that gives its value and slope; nullopt when it does not settle.
template <class Fn>
std::optional<double> solve(double guess, Fn&& valueAndSlope, int maxSteps = 50) {
  double r = guess;
  for (int i = 0; i < maxSteps; ++i) {
    const auto [value, slope] = valueAndSlope(r);
    if (slope == 0 || !std::isfinite(value) || !std::isfinite(slope)) return std::nullopt;
    double next = r - value / slope;
    if (!std::isfinite(next)) return std::nullopt;
    if (next <= -1) next = (r - 1) / 2;  // rates stay above -1: halfway there instead
    if (std::fabs(next - r) <= 1e-12 * std::max(1.0, std::fabs(next))) return next;
    r = next;
  }
  return std::nullopt;
}

// Whether the flows' present value at r is zero to within rounding. A root squeezed against
// -100% (a rate whose 1+r is below what a double can tell apart) settles without balancing.
template <class PresentValue>
bool balances(double r, PresentValue&& presentValue, const std::vector<double>& flows) {
  double scale = 0;
  for (double f : flows) scale = std::max(scale, std::fabs(f));
  const double value = presentValue(r);
  return std::isfinite(value) && std::fabs(value) <= 1e-6 * scale;
}

// How XNPV and XIRR differ in reading their values.
struct DatedReading {
  ErrorCode textError;    // for text or a boolean: #NUM! to XNPV, #VALUE! to XIRR
  bool emptyValueIsZero;  // XIRR takes an empty value cell as a flow of 0; XNPV refuses it
};

// The values and dates of XNPV and XIRR: equal in number, dates whole days on or after the first.
// An empty cell among the dates is #NUM!.
std::optional<ErrorCode> datedFlows(const Args& args, std::size_t valuesAt, std::vector<double>& flows,
                                    std::vector<double>& days, DatedReading reading) {
  std::vector<double> dates;
  auto readAll = [&](std::size_t i, std::vector<double>& out) -> std::optional<ErrorCode> {
    const ErrorCode textError = reading.textError;
    const bool emptyIsZero = reading.emptyValueIsZero && i == valuesAt;
    std::optional<ErrorCode> error;
    args.forEach(i, [&](const Value& v) {
      double x = 0;
      if (v.isEmpty() && emptyIsZero) out.push_back(0);
      else if (v.isEmpty()) error = ErrorCode::Num;
      else if (v.isBool()) error = textError;
      else if (v.isText() && !numberOf(v, x)) out.push_back(x);
      else if (v.isText()) error = textError;
      else if (!(error = numberOf(v, x))) out.push_back(x);
      return !error;
    });
    return error;
  };
  if (auto e = readAll(valuesAt, flows)) return e;
  if (auto e = readAll(valuesAt + 1, dates)) return e;
  if (flows.size() != dates.size() || flows.empty()) return ErrorCode::Num;
  const double first = std::trunc(dates[0]);
  for (double d : dates) {
    if (d < 0 || std::trunc(d) < first) return ErrorCode::Num;
    days.push_back(std::trunc(d) - first);
  }
  return std::nullopt;
}

double datedPresentValue(const std::vector<double>& flows, const std::vector<double>& days, double r) {
  double total = 0;
  for (std::size_t i = 0; i < flows.size(); ++i) total += flows[i] / std::pow(1 + r, days[i] / 365);
  return total;
}

}  // namespace

Value npv(const Args& args) {
  double r = 0;
  if (auto e = numberOf(args.scalar(0), r)) return *e;
  std::vector<double> flows;
  if (auto e = flowsFromArgument(args, 1, flows)) return *e;
  if (r == -1) return ErrorCode::Div0;
  return numberResult(presentValue(flows, r));
}

Value irr(const Args& args) {
  std::vector<double> flows;
  if (auto e = flowsOf(args, 0, flows)) return *e;
  double guess = 0.1;
  if (args.size() > 1 && !args.isMissing(1))
    if (auto e = numberOf(args.scalar(1), guess)) return *e;
  if (guess <= -1) return ErrorCode::Value;
  if (!hasBothSigns(flows)) return ErrorCode::Num;
  // The present value at the start of the first period, so that flow 0 is not discounted.
  const auto valueAtStart = [&](double r) { return presentValue(flows, r) * (1 + r); };
  // Excel's own search first, for its digits; Newton's method where that does not settle.
  if (const auto rate = irrBySecant(flows, guess); rate && balances(*rate, valueAtStart, flows))
    return numberResult(*rate);
  const auto root = solve(guess, [&](double r) {
    double value = 0, slope = 0, discount = 1;
    for (std::size_t i = 0; i < flows.size(); ++i) {
      value += flows[i] / discount;
      slope -= static_cast<double>(i) * flows[i] / (discount * (1 + r));
      discount *= 1 + r;
    }
    return std::pair{value, slope};
  });
  if (!root || !balances(*root, valueAtStart, flows)) return ErrorCode::Num;
  return numberResult(*root);
}

Value xnpv(const Args& args) {
  double r = 0;
  if (auto e = strictArgument(args, 0, r)) return *e;
  std::vector<double> flows, days;
  if (auto e = datedFlows(args, 1, flows, days, {ErrorCode::Num, false})) return *e;
  if (r < 0) return ErrorCode::Num;
  return numberResult(datedPresentValue(flows, days, r));
}

Value xirr(const Args& args) {
  std::vector<double> flows, days;
  if (auto e = datedFlows(args, 0, flows, days, {ErrorCode::Value, true})) return *e;
  double guess = 0.1;
  if (args.size() > 2)
    if (auto e = strictArgument(args, 2, guess)) return *e;
  if (guess <= -1 || !hasBothSigns(flows)) return ErrorCode::Num;
  const auto root = solve(guess, [&](double r) {
    double value = 0, slope = 0;
    for (std::size_t i = 0; i < flows.size(); ++i) {
      const double t = days[i] / 365;
      const double discount = std::pow(1 + r, t);
      value += flows[i] / discount;
      slope -= t * flows[i] / (discount * (1 + r));
    }
    return std::pair{value, slope};
  }, 100);
  if (!root || !balances(*root, [&](double r) { return datedPresentValue(flows, days, r); }, flows))
    return ErrorCode::Num;
  return numberResult(*root);
}

// The gains discounted to the start at the reinvestment rate and grown over the whole term,
// against the costs discounted at the finance rate to the first period; the root taken through
// the logarithm. This is the order Excel rounds in. A finance rate of -1 leaves only the
// undiscounted first cost; a reinvestment rate of -1 only the last gain.
Value mirr(const Args& args) {
  std::vector<double> flows;
  if (auto e = flowsOf(args, 0, flows)) return *e;
  double financeRate = 0, reinvestRate = 0;
  if (auto e = numberOf(args.scalar(1), financeRate)) return *e;
  if (auto e = numberOf(args.scalar(2), reinvestRate)) return *e;
  const std::size_t n = flows.size();
  const double growth = 1 + reinvestRate;
  double gains = 0, invested = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double periods = static_cast<double>(i);
    if (flows[i] > 0) gains += growth == 0 ? (i + 1 == n ? flows[i] : 0) : flows[i] / std::pow(growth, periods);
    else if (flows[i] < 0 && (i == 0 || financeRate != -1)) invested += flows[i] / std::pow(1 + financeRate, periods);
  }
  if (invested == 0 || n < 2) return ErrorCode::Div0;
  const double grown = growth == 0 ? gains : gains * std::pow(growth, static_cast<double>(n - 1));
  return numberResult(std::exp(std::log(grown / -invested) / static_cast<double>(n - 1)) - 1);
}

Value fvschedule(const Args& args) {
  double total = 0;
  if (auto e = strictArgument(args, 0, total)) return *e;
  std::optional<ErrorCode> error;
  args.forEach(1, [&](const Value& v) {
    double r = 0;
    if (v.isBool()) error = ErrorCode::Value;
    else if (!v.isEmpty() && !(error = numberOf(v, r))) total *= 1 + r;
    return !error;
  });
  if (error) return *error;
  return numberResult(total);
}

}  // namespace calc
