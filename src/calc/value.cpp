#include "calc/value.h"

namespace calc {

std::string_view errorText(ErrorCode code) {
  switch (code) {
    case ErrorCode::Null: return "#NULL!";
    case ErrorCode::Div0: return "#DIV/0!";
    case ErrorCode::Value: return "#VALUE!";
    case ErrorCode::Ref: return "#REF!";
    case ErrorCode::Name: return "#NAME?";
    case ErrorCode::Num: return "#NUM!";
    case ErrorCode::NA: return "#N/A";
    case ErrorCode::GettingData: return "#GETTING_DATA";
    case ErrorCode::Spill: return "#SPILL!";
    case ErrorCode::Connect: return "#CONNECT!";
    case ErrorCode::Blocked: return "#BLOCKED!";
    case ErrorCode::Unknown: return "#UNKNOWN!";
    case ErrorCode::Field: return "#FIELD!";
    case ErrorCode::Calc: return "#CALC!";
    case ErrorCode::Busy: return "#BUSY!";
    case ErrorCode::Uncomputed: return {};
  }
  return "#VALUE!";
}

namespace {

}  // namespace

std::optional<ErrorCode> errorNamed(std::string_view text) {
  for (ErrorCode code : kSpreadsheetErrors)
    if (equalsInAnyCase(text, errorText(code))) return code;
  return std::nullopt;
}

std::string_view fileErrorText(ErrorCode code) {
  // #GETTING_DATA is older than the rich values: files have always held it as it is.
  if (code > ErrorCode::GettingData && code != ErrorCode::Uncomputed) return errorText(ErrorCode::Value);
  return errorText(code);
}

}  // namespace calc
