// IS... tests, ERROR.TYPE and NA.
#include "function_spec.h"

namespace calc {
namespace {

template <bool (*Test)(const Value&)>
Value is(const Value* a, std::size_t) {
  return Test(a[0]);
}

bool isNA(const Value& v) { return v.isError() && v.error() == ErrorCode::NA; }

Value errorType(const Value* a, std::size_t) {
  if (!a[0].isError()) return ErrorCode::NA;
  switch (a[0].error()) {
    case ErrorCode::Null: return 1.0;
    case ErrorCode::Div0: return 2.0;
    case ErrorCode::Value: return 3.0;
    case ErrorCode::Ref: return 4.0;
    case ErrorCode::Name: return 5.0;
    case ErrorCode::Num: return 6.0;
    case ErrorCode::NA: return 7.0;
    case ErrorCode::Uncomputed: break;
  }
  return ErrorCode::NA;
}

const FunctionSpec kInformation[] = {
    scalars("ISBLANK", 1, 1, is<[](const Value& v) { return v.isEmpty(); }>),
    scalars("ISERR", 1, 1, is<[](const Value& v) { return v.isError() && !isNA(v); }>),
    scalars("ISERROR", 1, 1, is<[](const Value& v) { return v.isError(); }>),
    scalars("ISLOGICAL", 1, 1, is<[](const Value& v) { return v.isBool(); }>),
    scalars("ISNA", 1, 1, is<isNA>),
    scalars("ISNONTEXT", 1, 1, is<[](const Value& v) { return !v.isText(); }>),
    scalars("ISNUMBER", 1, 1, is<[](const Value& v) { return v.isNumber(); }>),
    scalars("ISTEXT", 1, 1, is<[](const Value& v) { return v.isText(); }>),
    scalars("ERROR.TYPE", 1, 1, errorType),
    scalars("NA", 0, 0, [](const Value*, std::size_t) { return Value(ErrorCode::NA); }),
};

}  // namespace

std::span<const FunctionSpec> informationFunctions() { return kInformation; }

}  // namespace calc
