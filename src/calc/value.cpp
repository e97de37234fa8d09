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
    case ErrorCode::Uncomputed: return {};
  }
  return "#VALUE!";
}

}  // namespace calc
