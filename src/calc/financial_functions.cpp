// Money over time: annuities, cash flows, depreciation, rates. The bodies live in the
// financial_* files by subject; this is the family's table and the readers they share.
#include <cmath>

#include "financial_internal.h"

namespace calc {

std::optional<ErrorCode> strictArgument(const Args& args, std::size_t i, double& out) {
  if (args.isMissing(i)) return ErrorCode::NA;
  const Value v = args.scalar(i);
  if (v.isBool()) return ErrorCode::Value;
  const Number n = toNumber(v);
  if (n.failed) return n.error;
  out = n.value;
  return std::nullopt;
}

std::optional<ErrorCode> dateArgument(double value, int& out) {
  if (!(value >= 0 && value < 2958466)) return ErrorCode::Num;
  out = static_cast<int>(value);
  return std::nullopt;
}

namespace {

const FunctionSpec kFinancial[] = {
    numbers("PMT", 3, 5, pmt),
    numbers("PV", 3, 5, pv),
    numbers("FV", 3, 5, fv),
    numbers("NPER", 3, 5, nper),
    numbers("RATE", 3, 6, rate),
    numbers("IPMT", 4, 6, ipmt),
    numbers("PPMT", 4, 6, ppmt),
    strictNumbers("CUMIPMT", 6, 6, cumipmt),
    strictNumbers("CUMPRINC", 6, 6, cumprinc),
    numbers("ISPMT", 4, 4, ispmt),
    strictNumbers("EFFECT", 2, 2, effect),
    strictNumbers("NOMINAL", 2, 2, nominal),
    newer(numbers("PDURATION", 3, 3, pduration)),
    newer(numbers("RRI", 3, 3, rri)),
    strictNumbers("DOLLARDE", 2, 2, dollarde),
    strictNumbers("DOLLARFR", 2, 2, dollarfr),
    raw("NPV", 2, kManyArgs, npv),
    raw("XNPV", 3, 3, xnpv),
    raw("IRR", 1, 2, irr),
    raw("XIRR", 2, 3, xirr),
    raw("MIRR", 3, 3, mirr),
    raw("FVSCHEDULE", 2, 2, fvschedule),
    numbers("DB", 4, 5, db),
    numbers("DDB", 4, 5, ddb),
    raw("VDB", 5, 7, vdb),
    numbers("SLN", 3, 3, sln),
    numbers("SYD", 4, 4, syd),
    strictNumbers("AMORDEGRC", 6, 7, amordegrc),
    strictNumbers("AMORLINC", 6, 7, amorlinc),
};

}  // namespace

std::span<const FunctionSpec> financialFunctions() { return kFinancial; }

}  // namespace calc
