#pragma once
// What the distribution functions share: Boost.Math set up to give a domain error as NaN and an
// overflow as infinity (numberResult turns both into #NUM!) rather than throwing, the reading
// of arguments that mix numbers with a cumulative flag, and the standard normal.
#include <array>
#include <cmath>
#include <span>

#include <boost/math/policies/policy.hpp>

#include "coercion.h"
#include "function_spec.h"

namespace calc::distribution {

namespace policies = boost::math::policies;
using Policy = policies::policy<
    policies::domain_error<policies::ignore_error>, policies::pole_error<policies::ignore_error>,
    policies::overflow_error<policies::ignore_error>, policies::underflow_error<policies::ignore_error>,
    policies::evaluation_error<policies::ignore_error>, policies::rounding_error<policies::ignore_error>,
    policies::indeterminate_result_error<policies::ignore_error>>;

// Numbers, except the arguments whose bit is set in Flags: truth values read as 1 or 0, which
// take "TRUE" and "FALSE" as text and refuse other text. The first argument that fails, in
// order, gives the result; left-out arguments are 0 (FALSE).
template <unsigned Flags, NumbersFn Body>
Value withFlags(const Value* x, std::size_t n) {
  std::array<double, kMaxNumberArgs> a{};
  for (std::size_t i = 0; i < n && i < a.size(); ++i) {
    if (Flags >> i & 1u) {
      const Truth t = toTruth(x[i]);
      if (t.failed) return t.error;
      a[i] = t.value ? 1 : 0;
    } else {
      const Number v = toNumber(x[i]);
      if (v.failed) return v.error;
      a[i] = v.value;
    }
  }
  return Body(a.data(), n);
}

// A probability strictly between 0 and 1, as the inverse functions want.
inline bool openProbability(double p) { return p > 0 && p < 1; }
inline bool closedProbability(double p) { return p >= 0 && p <= 1; }

double normalCdf(double z);
double normalPdf(double z);
// The z whose lower tail is p, for 0 < p < 1.
double normalQuantile(double p);


// The families of this folder's distribution files, joined into one table.
std::span<const FunctionSpec> continuousDistributionFunctions();
std::span<const FunctionSpec> samplingDistributionFunctions();
std::span<const FunctionSpec> discreteDistributionFunctions();
std::span<const FunctionSpec> hypothesisTestFunctions();

}  // namespace calc::distribution
