#pragma once
// The one error report every trapped handler shows, and the trap that carries on after it.
#include <QString>
#include <functional>
#include <stdexcept>
#include <utility>

#include "platform/dialogs.h"

namespace platform {

inline constexpr char kSupportEmail[] = "support@quorvane.com";
inline constexpr char kErrorTitle[] = "Application Error";
// Description of an index outside a list or a split result.
inline constexpr char kSubscriptOutOfRange[] = "Subscript out of range";
// Description of a step that ran out of memory.
inline constexpr char kOutOfMemory[] = "There is not enough memory for this step.";

// A failure of our own inside a trapped step; what() is the description shown to the user.
class StepFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

QString errorReportText(const QString& location, int line, const QString& description);
void ReportError(Dialogs& dialogs, const QString& location, int line, const QString& description);

// Runs the numbered steps of one handler. A failed step is reported with the handler's location
// and the step's line number, and the handler carries on:
//   - after an ordinary step, with the next one          -> step()
//   - after a failed test, as though the test had held   -> test()
//   - after a failed loop start, with the loop body      -> step(), then enter the loop
//   - after a failed loop advance, after the loop        -> advance() returns false
class ErrorTrap {
 public:
  ErrorTrap(Dialogs& dialogs, QString location) : dialogs_(dialogs), location_(std::move(location)) {}

  // "in Lumenark2021/08/31.Form1." + handler + " ".
  static QString locationOf(const char* handler);

  template <class F>
  bool step(int line, F&& action) {
    try {
      action();
      return true;
    } catch (...) {
      report(line);
      return false;
    }
  }

  template <class F>
  bool test(int line, F&& condition) {
    try {
      return static_cast<bool>(condition());
    } catch (...) {
      report(line);
      return true;
    }
  }

  // The counter step of a loop: true to go round again, false to leave the loop.
  template <class F>
  bool advance(int line, F&& counterStep) {
    try {
      return static_cast<bool>(counterStep());
    } catch (...) {
      report(line);
      return false;
    }
  }

  // Reports a failure found without an exception (for instance a bad value in the data).
  void fail(int line, const QString& description) {
    ++reported_;
    if (listener_) listener_(line, description);
    ReportError(dialogs_, location_, line, description);
  }
  // Hears every failure with its line and description just before it is reported, so that a
  // handler can tell what went wrong without reading its own boxes back.
  using FailureListener = std::function<void(int line, const QString& description)>;
  void setFailureListener(FailureListener listener) { listener_ = std::move(listener); }
  // How many failures this trap has reported so far.
  int reported() const { return reported_; }

  const QString& location() const { return location_; }
  Dialogs& dialogs() { return dialogs_; }

 private:
  void report(int line);  // describes the exception in flight

  Dialogs& dialogs_;
  QString location_;
  int reported_ = 0;
  FailureListener listener_;
};

}  // namespace platform
