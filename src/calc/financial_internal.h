#pragma once
// The bodies of the financial and bond families, declared for the tables that register them,
// and the argument readers they share.
#include <optional>
#include <vector>

#include "coercion.h"
#include "function_spec.h"

namespace calc {

// Argument i as the Analysis ToolPak functions read it: left out is #N/A, a boolean #VALUE!.
std::optional<ErrorCode> strictArgument(const Args& args, std::size_t i, double& out);
// A date argument: truncated to whole days; negative or beyond 9999-12-31 is #NUM!.
std::optional<ErrorCode> dateArgument(double value, int& out);

// Annuities and rates.
Value pmt(const double* a, std::size_t n);
Value pv(const double* a, std::size_t n);
Value fv(const double* a, std::size_t n);
Value nper(const double* a, std::size_t n);
Value rate(const double* a, std::size_t n);
Value ipmt(const double* a, std::size_t n);
Value ppmt(const double* a, std::size_t n);
Value cumipmt(const double* a, std::size_t n);
Value cumprinc(const double* a, std::size_t n);
Value ispmt(const double* a, std::size_t n);
Value effect(const double* a, std::size_t n);
Value nominal(const double* a, std::size_t n);
Value pduration(const double* a, std::size_t n);
Value rri(const double* a, std::size_t n);
Value dollarde(const double* a, std::size_t n);
Value dollarfr(const double* a, std::size_t n);

// Cash flows.
Value npv(const Args& args);
Value xnpv(const Args& args);
Value irr(const Args& args);
Value xirr(const Args& args);
Value mirr(const Args& args);
Value fvschedule(const Args& args);

// Depreciation.
Value db(const double* a, std::size_t n);
Value ddb(const double* a, std::size_t n);
Value vdb(const Args& args);
Value sln(const double* a, std::size_t n);
Value syd(const double* a, std::size_t n);
Value amordegrc(const double* a, std::size_t n);
Value amorlinc(const double* a, std::size_t n);

// Coupons, day counts and discounted securities.
Value yearfrac(const double* a, std::size_t n);
Value days360Function(const Args& args);
Value coupdaybs(const double* a, std::size_t n);
Value coupdays(const double* a, std::size_t n);
Value coupdaysnc(const double* a, std::size_t n);
Value coupncd(const double* a, std::size_t n);
Value coupnum(const double* a, std::size_t n);
Value couppcd(const double* a, std::size_t n);
Value disc(const double* a, std::size_t n);
Value intrate(const double* a, std::size_t n);
Value received(const double* a, std::size_t n);
Value pricedisc(const double* a, std::size_t n);
Value yielddisc(const double* a, std::size_t n);
Value pricemat(const double* a, std::size_t n);
Value yieldmat(const double* a, std::size_t n);
Value tbilleq(const double* a, std::size_t n);
Value tbillprice(const double* a, std::size_t n);
Value tbillyield(const double* a, std::size_t n);

// Coupon bonds.
Value accrint(const Args& args);
Value accrintm(const double* a, std::size_t n);
Value price(const double* a, std::size_t n);
Value yieldFunction(const double* a, std::size_t n);
Value duration(const double* a, std::size_t n);
Value mduration(const double* a, std::size_t n);
Value oddfprice(const Args& args);
Value oddfyield(const Args& args);
Value oddlprice(const double* a, std::size_t n);
Value oddlyield(const double* a, std::size_t n);

}  // namespace calc
