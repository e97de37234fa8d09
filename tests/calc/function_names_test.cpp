// The engine knows every worksheet function of the spreadsheet, except those that need data
// from outside the workbook or a connection; those are known by name and left uncomputed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/file_formula.h"
#include "calc/formula.h"

namespace calc {
namespace {

// The spreadsheet's worksheet functions, as its alphabetical function reference lists them.
constexpr auto kWorksheetFunctions = std::to_array<std::string_view>({
    "ABS", "ACCRINT", "ACCRINTM", "ACOS", "ACOSH", "ACOT", "ACOTH", "ADDRESS", "AGGREGATE", "AMORDEGRC",
    "AMORLINC", "AND", "ARABIC", "AREAS", "ARRAYTOTEXT", "ASC", "ASIN", "ASINH", "ATAN", "ATAN2", "ATANH",
    "AVEDEV", "AVERAGE", "AVERAGEA", "AVERAGEIF", "AVERAGEIFS", "BAHTTEXT", "BASE", "BESSELI", "BESSELJ",
    "BESSELK", "BESSELY", "BETA.DIST", "BETA.INV", "BETADIST", "BETAINV", "BIN2DEC", "BIN2HEX", "BIN2OCT",
    "BINOM.DIST", "BINOM.DIST.RANGE", "BINOM.INV", "BINOMDIST", "BITAND", "BITLSHIFT", "BITOR", "BITRSHIFT",
    "BITXOR", "BYCOL", "BYROW", "CALL", "CEILING", "CEILING.MATH", "CEILING.PRECISE", "CELL", "CHAR",
    "CHIDIST", "CHIINV", "CHISQ.DIST", "CHISQ.DIST.RT", "CHISQ.INV", "CHISQ.INV.RT", "CHISQ.TEST", "CHITEST",
    "CHOOSE", "CHOOSECOLS", "CHOOSEROWS", "CLEAN", "CODE", "COLUMN", "COLUMNS", "COMBIN", "COMBINA",
    "COMPLEX", "CONCAT", "CONCATENATE", "CONFIDENCE", "CONFIDENCE.NORM", "CONFIDENCE.T", "CONVERT", "COPILOT",
    "CORREL", "COS", "COSH", "COT", "COTH", "COUNT", "COUNTA", "COUNTBLANK", "COUNTIF", "COUNTIFS",
    "COUPDAYBS", "COUPDAYS", "COUPDAYSNC", "COUPNCD", "COUPNUM", "COUPPCD", "COVAR", "COVARIANCE.P",
    "COVARIANCE.S", "CRITBINOM", "CSC", "CSCH", "CUBEKPIMEMBER", "CUBEMEMBER", "CUBEMEMBERPROPERTY",
    "CUBERANKEDMEMBER", "CUBESET", "CUBESETCOUNT", "CUBEVALUE", "CUMIPMT", "CUMPRINC", "DATE", "DATEDIF",
    "DATEVALUE", "DAVERAGE", "DAY", "DAYS", "DAYS360", "DB", "DBCS", "DCOUNT", "DCOUNTA", "DDB", "DEC2BIN",
    "DEC2HEX", "DEC2OCT", "DECIMAL", "DEGREES", "DELTA", "DETECTLANGUAGE", "DEVSQ", "DGET", "DISC", "DMAX",
    "DMIN", "DOLLAR", "DOLLARDE", "DOLLARFR", "DPRODUCT", "DROP", "DSTDEV", "DSTDEVP", "DSUM", "DURATION",
    "DVAR", "DVARP", "EDATE", "EFFECT", "ENCODEURL", "EOMONTH", "ERF", "ERF.PRECISE", "ERFC", "ERFC.PRECISE",
    "ERROR.TYPE", "EUROCONVERT", "EVEN", "EXACT", "EXP", "EXPAND", "EXPON.DIST", "EXPONDIST", "F.DIST",
    "F.DIST.RT", "F.INV", "F.INV.RT", "F.TEST", "FACT", "FACTDOUBLE", "FALSE", "FDIST", "FIELDVALUE",
    "FILTER", "FILTERXML", "FIND", "FINDB", "FINV", "FISHER", "FISHERINV", "FIXED", "FLOOR", "FLOOR.MATH",
    "FLOOR.PRECISE", "FORECAST", "FORECAST.ETS", "FORECAST.ETS.CONFINT", "FORECAST.ETS.SEASONALITY",
    "FORECAST.ETS.STAT", "FORECAST.LINEAR", "FORMULATEXT", "FREQUENCY", "FTEST", "FV", "FVSCHEDULE", "GAMMA",
    "GAMMA.DIST", "GAMMA.INV", "GAMMADIST", "GAMMAINV", "GAMMALN", "GAMMALN.PRECISE", "GAUSS", "GCD",
    "GEOMEAN", "GESTEP", "GETPIVOTDATA", "GROUPBY", "GROWTH", "HARMEAN", "HEX2BIN", "HEX2DEC", "HEX2OCT",
    "HLOOKUP", "HOUR", "HSTACK", "HYPERLINK", "HYPGEOM.DIST", "HYPGEOMDIST", "IF", "IFERROR", "IFNA", "IFS",
    "IMABS", "IMAGE", "IMAGINARY", "IMARGUMENT", "IMCONJUGATE", "IMCOS", "IMCOSH", "IMCOT", "IMCSC", "IMCSCH",
    "IMDIV", "IMEXP", "IMLN", "IMLOG10", "IMLOG2", "IMPOWER", "IMPRODUCT", "IMREAL", "IMSEC", "IMSECH",
    "IMSIN", "IMSINH", "IMSQRT", "IMSUB", "IMSUM", "IMTAN", "INDEX", "INDIRECT", "INFO", "INT", "INTERCEPT",
    "INTRATE", "IPMT", "IRR", "ISBLANK", "ISERR", "ISERROR", "ISEVEN", "ISFORMULA", "ISLOGICAL", "ISNA",
    "ISNONTEXT", "ISNUMBER", "ISO.CEILING", "ISODD", "ISOMITTED", "ISOWEEKNUM", "ISPMT", "ISREF", "ISTEXT",
    "JIS", "KURT", "LAMBDA", "LARGE", "LCM", "LEFT", "LEFTB", "LEN", "LENB", "LET", "LINEST", "LN", "LOG",
    "LOG10", "LOGEST", "LOGINV", "LOGNORM.DIST", "LOGNORM.INV", "LOGNORMDIST", "LOOKUP", "LOWER", "MAKEARRAY",
    "MAP", "MATCH", "MAX", "MAXA", "MAXIFS", "MDETERM", "MDURATION", "MEDIAN", "MID", "MIDB", "MIN", "MINA",
    "MINIFS", "MINUTE", "MINVERSE", "MIRR", "MMULT", "MOD", "MODE", "MODE.MULT", "MODE.SNGL", "MONTH",
    "MROUND", "MULTINOMIAL", "MUNIT", "N", "NA", "NEGBINOM.DIST", "NEGBINOMDIST", "NETWORKDAYS",
    "NETWORKDAYS.INTL", "NOMINAL", "NORM.DIST", "NORM.INV", "NORM.S.DIST", "NORM.S.INV", "NORMDIST",
    "NORMINV", "NORMSDIST", "NORMSINV", "NOT", "NOW", "NPER", "NPV", "NUMBERVALUE", "OCT2BIN", "OCT2DEC",
    "OCT2HEX", "ODD", "ODDFPRICE", "ODDFYIELD", "ODDLPRICE", "ODDLYIELD", "OFFSET", "OR", "PDURATION",
    "PEARSON", "PERCENTILE", "PERCENTILE.EXC", "PERCENTILE.INC", "PERCENTOF", "PERCENTRANK",
    "PERCENTRANK.EXC", "PERCENTRANK.INC", "PERMUT", "PERMUTATIONA", "PHI", "PHONETIC", "PI", "PIVOTBY", "PMT",
    "POISSON", "POISSON.DIST", "POWER", "PPMT", "PRICE", "PRICEDISC", "PRICEMAT", "PROB", "PRODUCT", "PROPER",
    "PV", "PY", "QUARTILE", "QUARTILE.EXC", "QUARTILE.INC", "QUOTIENT", "RADIANS", "RAND", "RANDARRAY",
    "RANDBETWEEN", "RANK", "RANK.AVG", "RANK.EQ", "RATE", "RECEIVED", "REDUCE", "REGEXEXTRACT",
    "REGEXREPLACE", "REGEXTEST", "REGISTER.ID", "REPLACE", "REPLACEB", "REPT", "RIGHT", "RIGHTB", "ROMAN",
    "ROUND", "ROUNDDOWN", "ROUNDUP", "ROW", "ROWS", "RRI", "RSQ", "RTD", "SCAN", "SEARCH", "SEARCHB", "SEC",
    "SECH", "SECOND", "SEQUENCE", "SERIESSUM", "SHEET", "SHEETS", "SIGN", "SIN", "SINH", "SKEW", "SKEW.P",
    "SLN", "SLOPE", "SMALL", "SORT", "SORTBY", "SQL.REQUEST", "SQRT", "SQRTPI", "STANDARDIZE", "STDEV",
    "STDEV.P", "STDEV.S", "STDEVA", "STDEVP", "STDEVPA", "STEYX", "STOCKHISTORY", "SUBSTITUTE", "SUBTOTAL",
    "SUM", "SUMIF", "SUMIFS", "SUMPRODUCT", "SUMSQ", "SUMX2MY2", "SUMX2PY2", "SUMXMY2", "SWITCH", "SYD", "T",
    "T.DIST", "T.DIST.2T", "T.DIST.RT", "T.INV", "T.INV.2T", "T.TEST", "TAKE", "TAN", "TANH", "TBILLEQ",
    "TBILLPRICE", "TBILLYIELD", "TDIST", "TEXT", "TEXTAFTER", "TEXTBEFORE", "TEXTJOIN", "TEXTSPLIT", "TIME",
    "TIMEVALUE", "TINV", "TOCOL", "TODAY", "TOROW", "TRANSLATE", "TRANSPOSE", "TREND", "TRIM", "TRIMMEAN",
    "TRIMRANGE", "TRUE", "TRUNC", "TTEST", "TYPE", "UNICHAR", "UNICODE", "UNIQUE", "UPPER", "VALUE",
    "VALUETOTEXT", "VAR", "VAR.P", "VAR.S", "VARA", "VARP", "VARPA", "VDB", "VLOOKUP", "VSTACK", "WEBSERVICE",
    "WEEKDAY", "WEEKNUM", "WEIBULL", "WEIBULL.DIST", "WORKDAY", "WORKDAY.INTL", "WRAPCOLS", "WRAPROWS",
    "XIRR", "XLOOKUP", "XMATCH", "XNPV", "XOR", "YEAR", "YEARFRAC", "YIELD", "YIELDDISC", "YIELDMAT",
    "Z.TEST", "ZTEST",
});

// Functions that fetch data from outside the workbook (a server, a data model, a service,
// a code library): formulas calling them keep the values the file saved.
constexpr auto kOutsideData = std::to_array<std::string_view>({
    "CALL", "COPILOT", "CUBEKPIMEMBER", "CUBEMEMBER", "CUBEMEMBERPROPERTY", "CUBERANKEDMEMBER", "CUBESET",
    "CUBESETCOUNT", "CUBEVALUE", "DETECTLANGUAGE", "EUROCONVERT", "FIELDVALUE", "FILTERXML", "GETPIVOTDATA",
    "IMAGE", "PY", "REGISTER.ID", "RTD", "SQL.REQUEST", "STOCKHISTORY", "TRANSLATE", "WEBSERVICE",
});

// Names that bind parameters (LET, LAMBDA) or take a function as an argument (GROUPBY(..., SUM)):
// they come with the formula language's lambdas. Until then the parser knows them, and formulas
// calling them keep their saved values.
constexpr auto kLanguageFunctions = std::to_array<std::string_view>({
    "BYCOL", "BYROW", "GROUPBY", "ISOMITTED", "LAMBDA", "LET", "MAKEARRAY", "MAP", "PIVOTBY", "REDUCE", "SCAN",
});

// Exponential smoothing forecasts, not yet computed: known by name so their saved values stay.
constexpr auto kNotYetComputed = std::to_array<std::string_view>({
    "FORECAST.ETS", "FORECAST.ETS.CONFINT", "FORECAST.ETS.SEASONALITY", "FORECAST.ETS.STAT",
});

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

bool excepted(std::string_view name) {
  return listed(kOutsideData, name) || listed(kLanguageFunctions, name) || listed(kNotYetComputed, name);
}

TEST(FunctionNames, ListsAreSortedAndAllExceptionsAreWorksheetFunctions) {
  EXPECT_TRUE(std::is_sorted(kWorksheetFunctions.begin(), kWorksheetFunctions.end()));
  EXPECT_EQ(std::adjacent_find(kWorksheetFunctions.begin(), kWorksheetFunctions.end()), kWorksheetFunctions.end());
  EXPECT_GT(kWorksheetFunctions.size(), 500u);
  for (auto list : {std::span<const std::string_view>(kOutsideData), std::span<const std::string_view>(kLanguageFunctions),
                    std::span<const std::string_view>(kNotYetComputed)})
    for (std::string_view name : list) EXPECT_TRUE(listed(kWorksheetFunctions, name)) << name;
}

TEST(FunctionNames, EveryWorksheetFunctionIsInTheTable) {
  const std::vector<std::string_view> table = functionNames();
  const std::set<std::string_view> known(table.begin(), table.end());
  std::string missing;
  for (std::string_view name : kWorksheetFunctions)
    if (!excepted(name) && !known.count(name)) missing.append(" ").append(name);
  EXPECT_EQ(missing, "") << "functions the table lacks";
}

TEST(FunctionNames, FunctionsNeedingOutsideDataAreKnownButNotComputed) {
  for (std::string_view name : kOutsideData) {
    EXPECT_FALSE(isFunctionName(name)) << name;
    EXPECT_TRUE(isSpreadsheetFunction(name)) << name;
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_TRUE(isSpreadsheetFunction(lower)) << lower;
  }
  for (std::string_view name : kNotYetComputed) {
    EXPECT_FALSE(isFunctionName(name)) << name;
    EXPECT_TRUE(isSpreadsheetFunction(name)) << name;
  }
  for (std::string_view name : kLanguageFunctions) EXPECT_TRUE(isSpreadsheetFunction(name)) << name;
  EXPECT_FALSE(isSpreadsheetFunction("SUMM"));
  EXPECT_FALSE(isSpreadsheetFunction("CUBE"));
}

// Newer functions go to files with the prefix the spreadsheet expects; the 2007 ones without.
TEST(FunctionNames, NewestFunctionsArePrefixedInFiles) {
  for (std::string_view name : {"REGEXTEST", "REGEXEXTRACT", "REGEXREPLACE", "TRIMRANGE", "PERCENTOF", "GROUPBY",
                                 "PIVOTBY", "IMAGE", "STOCKHISTORY", "DETECTLANGUAGE", "TRANSLATE", "ENCODEURL"})
    EXPECT_EQ(fileFunctionPrefix(name), "_xlfn.") << name;
  for (std::string_view name : {"ASC", "DBCS", "JIS", "BAHTTEXT", "PHONETIC", "HYPERLINK", "GETPIVOTDATA", "INFO"})
    EXPECT_EQ(fileFunctionPrefix(name), "") << name;
  EXPECT_EQ(fileFormula("REGEXTEST(A1,\"x\")+PERCENTOF(B1:B3,B1:B9)"),
            "_xlfn.REGEXTEST(A1,\"x\")+_xlfn.PERCENTOF(B1:B3,B1:B9)");
}

}  // namespace
}  // namespace calc
