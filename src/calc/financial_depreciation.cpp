// Depreciation of an asset: straight line (SLN), sum of years' digits (SYD), fixed and double
// declining balance (DB, DDB, VDB) and the French accounting schedules (AMORLINC, AMORDEGRC).
#include <cmath>

#include "day_count.h"
#include "financial_internal.h"

namespace calc {
namespace {

// Schedules longer than this many periods are refused or summed in closed form, so that no
// formula walks a billion periods.
constexpr double kLongestSchedule = 1e6;

// Double declining balance for one whole period, never below salvage.
double decliningPeriod(double cost, double salvage, double life, double period, double factor) {
  double rate = factor / life, before;
  if (rate >= 1) {
    rate = 1;
    before = period == 1 ? cost : 0;
  } else {
    before = cost * std::pow(1 - rate, period - 1);
  }
  const double after = cost * std::pow(1 - rate, period);
  const double amount = after < salvage ? before - salvage : before - after;
  return amount < 0 ? 0 : amount;
}

// VDB over whole periods 1..end (the last one scaled to its part), switching to straight line
// once that gives more; `lifeLeft` is the life remaining at the first of them.
double switchingDepreciation(double cost, double salvage, double life, double lifeLeft, double end,
                             double factor) {
  const double lastPeriod = std::ceil(end);
  double total = 0, straight = 0, remaining = cost - salvage;
  bool straightLine = false;
  for (double i = 1; i <= lastPeriod; ++i) {
    double term;
    if (!straightLine) {
      const double declining = decliningPeriod(cost, salvage, life, i, factor);
      straight = remaining / (lifeLeft - (i - 1));
      if (straight > declining) {
        term = straight;
        straightLine = true;
      } else {
        term = declining;
        remaining -= declining;
      }
    } else {
      term = straight;
    }
    if (i == lastPeriod) term *= end + 1 - lastPeriod;
    total += term;
  }
  return total;
}

}  // namespace

Value sln(const double* a, std::size_t) {
  if (a[2] == 0) return ErrorCode::Div0;
  return numberResult((a[0] - a[1]) / a[2]);
}

Value syd(const double* a, std::size_t) {
  const double cost = a[0], salvage = a[1], life = a[2], period = a[3];
  if (life <= 0 || period <= 0 || period > life) return ErrorCode::Num;
  return numberResult((cost - salvage) * (life - period + 1) * 2 / (life * (life + 1)));
}

Value db(const double* a, std::size_t n) {
  const double cost = a[0], salvage = a[1], life = a[2], period = std::trunc(a[3]);
  const double months = n > 4 ? std::trunc(a[4]) : 12;
  if (cost < 0 || salvage < 0 || life <= 0 || period < 1 || months < 1 || months > 12) return ErrorCode::Num;
  if (period > life + (months < 12 ? 1 : 0)) return ErrorCode::Num;
  if (cost == 0) return 0.0;
  const double rate = std::round((1 - std::pow(salvage / cost, 1 / life)) * 1000) / 1000;
  double taken = cost * rate * months / 12, current = taken;
  if (period > kLongestSchedule) {
    // Whole years after the first each take the rate of what is left: a geometric decline.
    const double before = (cost - taken) * std::pow(1 - rate, period - 2);
    return numberResult(before * rate * (period > life ? (12 - months) / 12 : 1));
  }
  for (double p = 2; p <= period; ++p) {
    current = (cost - taken) * rate;
    if (p > life) current *= (12 - months) / 12;  // the months left over after the last full year
    taken += current;
  }
  return numberResult(current);
}

Value ddb(const double* a, std::size_t n) {
  const double cost = a[0], salvage = a[1], life = a[2], period = a[3];
  const double factor = n > 4 ? a[4] : 2;
  if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || period > life || factor <= 0)
    return ErrorCode::Num;
  return numberResult(decliningPeriod(cost, salvage, life, period, factor));
}

Value vdb(const Args& args) {
  double x[6] = {0, 0, 0, 0, 0, 2};
  for (std::size_t i = 0; i < 6 && i < args.size(); ++i) {
    if (i == 5 && args.isMissing(i)) continue;
    const Number v = toNumber(args.isMissing(i) ? Value(0.0) : args.scalar(i));
    if (v.failed) return v.error;
    x[i] = v.value;
  }
  bool noSwitch = false;
  if (args.size() > 6 && !args.isMissing(6)) {
    const Truth t = toTruth(args.scalar(6));
    if (t.failed) return t.error;
    noSwitch = t.value;
  }
  double cost = x[0];
  const double salvage = x[1], life = x[2], start = x[3], end = x[4], factor = x[5];
  if (cost < 0 || salvage < 0 || life <= 0 || start < 0 || end < start || end > life || factor <= 0)
    return ErrorCode::Num;
  if (end > kLongestSchedule) return ErrorCode::Num;
  const double firstWhole = std::floor(start), lastWhole = std::ceil(end);
  if (noSwitch) {
    double total = 0;
    for (double i = firstWhole + 1; i <= lastWhole; ++i) {
      double term = decliningPeriod(cost, salvage, life, i, factor);
      if (i == firstWhole + 1) term *= std::min(end, firstWhole + 1) - start;
      else if (i == lastWhole) term *= end + 1 - lastWhole;
      total += term;
    }
    return numberResult(total);
  }
  // Parts of the first and last periods outside [start, end] are taken off afterwards.
  double outside = 0;
  if (start > firstWhole) {
    const double value = cost - switchingDepreciation(cost, salvage, life, life, firstWhole, factor);
    outside += (start - firstWhole) * switchingDepreciation(value, salvage, life, life - firstWhole, 1, factor);
  }
  if (end < lastWhole) {
    const double from = lastWhole - 1;
    const double value = cost - switchingDepreciation(cost, salvage, life, life, from, factor);
    outside += (lastWhole - end) * switchingDepreciation(value, salvage, life, life - from, 1, factor);
  }
  cost -= switchingDepreciation(cost, salvage, life, life, firstWhole, factor);
  const double whole = switchingDepreciation(cost, salvage, life, life - firstWhole, lastWhole - firstWhole, factor);
  return numberResult(whole - outside);
}

namespace {

struct FrenchSchedule {
  double cost, salvage, period, rate;
  int purchased, firstPeriodEnd;
  Basis basis;
};

// The arguments AMORLINC and AMORDEGRC share; basis 2 has no meaning in French accounting.
std::optional<ErrorCode> frenchSchedule(const double* a, std::size_t n, FrenchSchedule& s) {
  s.cost = a[0];
  s.salvage = a[3];
  s.period = std::trunc(a[4]);
  s.rate = a[5];
  if (auto e = dateArgument(a[1], s.purchased)) return e;
  if (auto e = dateArgument(a[2], s.firstPeriodEnd)) return e;
  const auto basis = basisOf(n > 6 ? a[6] : 0);
  if (!basis || *basis == Basis::Actual360) return ErrorCode::Num;
  s.basis = *basis;
  if (s.cost < 0 || s.salvage < 0 || s.salvage > s.cost || s.period < 0 || s.rate <= 0 ||
      s.purchased > s.firstPeriodEnd)
    return ErrorCode::Num;
  return std::nullopt;
}

}  // namespace

Value amorlinc(const double* a, std::size_t n) {
  FrenchSchedule s{};
  if (auto e = frenchSchedule(a, n, s)) return *e;
  const double yearly = s.cost * s.rate;
  const double firstPart = yearFraction(s.purchased, s.firstPeriodEnd, s.basis) * yearly;
  const double fullYears = std::floor((s.cost - s.salvage - firstPart) / yearly);
  if (s.period == 0) return numberResult(std::min(firstPart, s.cost - s.salvage));
  if (s.period <= fullYears) return numberResult(yearly);
  if (s.period == fullYears + 1) return numberResult(std::max(0.0, s.cost - s.salvage - yearly * fullYears - firstPart));
  return 0.0;
}

Value amordegrc(const double* a, std::size_t n) {
  FrenchSchedule s{};
  if (auto e = frenchSchedule(a, n, s)) return *e;
  // The degressive coefficient grows with the asset's life (1 / rate years).
  const double life = 1 / s.rate;
  if (life >= 3 && life < 5) s.rate *= 1.5;
  else if (life >= 5 && life <= 6) s.rate *= 2;
  else if (life > 6) s.rate *= 2.5;
  else if (life < 3) return ErrorCode::Num;
  double amount = std::round(yearFraction(s.purchased, s.firstPeriodEnd, s.basis) * s.rate * s.cost);
  double value = s.cost - amount, rest = value - s.salvage;
  for (double p = 1; p <= s.period; ++p) {
    amount = std::round(s.rate * value);
    if (amount == 0) return 0.0;  // nothing left to write off in whole units
    rest -= amount;
    if (rest < 0) {
      // The last two periods share what is left, half each.
      return p >= s.period ? numberResult(std::round(value * 0.5)) : Value(0.0);
    }
    value -= amount;
  }
  return numberResult(amount);
}

}  // namespace calc
