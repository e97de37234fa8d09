#pragma once
// A write to the file that the system refused: the message says what failed in the system's
// words, error() the errno, so that a caller can say the same in words of its own.
#include <stdexcept>
#include <string>

namespace xlsx {

class WriteFailure : public std::runtime_error {
 public:
  WriteFailure(const std::string& message, int error) : std::runtime_error(message), error_(error) {}
  int error() const { return error_; }

 private:
  int error_;
};

}  // namespace xlsx
