#pragma once
// The spreadsheet object model that graphing drives: the handful of automation members it
// needs, typed. Every call may fail with AutomationError, whose what() is the description the
// user sees in the error report. Objects are handed out as shared_ptr, as automation hands out
// references: holding one keeps the object reachable, and a call on an object whose sheet was
// deleted fails with AutomationError instead of crashing.
#include <atomic>
#include <charconv>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace excel {

class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Constants of the object model that graphing passes.
inline constexpr int xlXYScatterSmoothNoMarkers = 73;
inline constexpr int xlColumns = 2;
inline constexpr int xlLocationAsNewSheet = 1;
inline constexpr int xlCategory = 1;
inline constexpr int xlValue = 2;
inline constexpr int xlDisabled = 0;
inline constexpr int xlInterrupt = 1;
inline constexpr int xlWait = 2;
inline constexpr int xlDefault = -4143;

class Range {
 public:
  virtual ~Range() = default;
};

class Axis {
 public:
  virtual ~Axis() = default;
  virtual void setHasMajorGridlines(bool on) = 0;
  virtual void setHasMinorGridlines(bool on) = 0;
};

class Series {
 public:
  virtual ~Series() = default;
  // R1C1 reference texts such as "=Data!R1C3:R21C3".
  virtual void setXValues(const std::string& reference) = 0;
  virtual void setValues(const std::string& reference) = 0;
  virtual void setName(const std::string& name) = 0;
  virtual void deleteSeries() = 0;
};

class SeriesCollection {
 public:
  virtual ~SeriesCollection() = default;
  virtual int count() = 0;
  virtual std::shared_ptr<Series> item(int index) = 0;  // 1-based
};

class Chart {
 public:
  virtual ~Chart() = default;
  virtual std::string name() = 0;
  virtual void setName(const std::string& name) = 0;
  virtual void setChartType(int type) = 0;
  virtual void setSourceData(const Range& source, int plotBy) = 0;
  virtual void location(int where) = 0;
  virtual void setHasTitle(bool on) = 0;
  virtual void setTitleText(const std::string& text) = 0;  // ChartTitle.Characters.Text
  virtual std::shared_ptr<Axis> axes(int type) = 0;
  virtual std::shared_ptr<SeriesCollection> seriesCollection() = 0;
  virtual void select() = 0;
};

class Charts {
 public:
  virtual ~Charts() = default;
  virtual int count() = 0;
  virtual std::shared_ptr<Chart> item(int index) = 0;  // 1-based
  virtual std::shared_ptr<Chart> add() = 0;
  virtual std::shared_ptr<Chart> addAfter(const Chart& after, int count) = 0;
};

// A formula filled down a column: the same in every row but for its references to the row's
// own cell, each the column letters `letters` followed by the row number. Made once for a
// column, so that each row's formula is known without its text being built.
class FilledFormula {
 public:
  // `pieces`: the text between the references, the first after the leading "=" (so a formula
  // with n references has n + 1 pieces); UTF-8.
  FilledFormula(std::vector<std::string> pieces, std::string letters)
      : pieces_(std::move(pieces)), letters_(std::move(letters)), id_(++lastId()) {
    if (pieces_.empty()) pieces_.emplace_back();
    for (const std::string& piece : pieces_) fixedLength_ += piece.size();
  }
  const std::vector<std::string>& pieces() const { return pieces_; }
  const std::string& letters() const { return letters_; }
  std::size_t references() const { return pieces_.size() - 1; }
  // Tells formulas apart without reading them: copies share it, no other formula has it.
  std::uint64_t id() const { return id_; }

  // "=" followed by the pieces joined by the reference of `row`.
  void text(int row, std::string& out) const {
    char digits[16];
    const std::size_t length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, row).ptr - digits);
    out.assign(1, '=');
    out.append(pieces_.front());
    for (std::size_t i = 1; i < pieces_.size(); ++i) out.append(letters_).append(digits, length).append(pieces_[i]);
  }
  std::string text(int row) const {
    std::string out;
    text(row, out);
    return out;
  }
  // The length of text(row), without building it.
  std::size_t textLength(int row) const {
    std::size_t digits = 1;
    for (int rest = row; rest >= 10 || rest <= -10; rest /= 10) ++digits;
    return 1 + fixedLength_ + references() * (letters_.size() + digits + (row < 0 ? 1 : 0));
  }

 private:
  static std::atomic<std::uint64_t>& lastId() {
    static std::atomic<std::uint64_t> last{0};
    return last;
  }
  std::vector<std::string> pieces_;
  std::string letters_;
  std::size_t fixedLength_ = 0;
  std::uint64_t id_;
};

// A worksheet or a chart sheet, as the Sheets collection hands it out.
class Sheet {
 public:
  virtual ~Sheet() = default;
  virtual std::string name() = 0;
  virtual void setName(const std::string& name) = 0;
  virtual void setVisible(bool visible) = 0;
  virtual void deleteSheet() = 0;
  // Cells(row, column) = value. A text that starts with "=" is stored as a formula.
  virtual void setCellNumber(int row, int column, double value) = 0;
  virtual void setCellText(int row, int column, const std::string& text) = 0;
  // Cells(row, column) = formula.text(row), with every effect and failure of setCellText with
  // that text; a model that keeps filled-down formulas as such may take it without the text.
  virtual void setCellFormula(int row, int column, const FilledFormula& formula) {
    setCellText(row, column, formula.text(row));
  }
  virtual std::shared_ptr<Range> range(const std::string& a1) = 0;
};

class Sheets {
 public:
  virtual ~Sheets() = default;
  virtual int count() = 0;
  virtual std::shared_ptr<Sheet> item(int index) = 0;  // 1-based
  virtual std::shared_ptr<Sheet> item(const std::string& name) = 0;
};

class Workbooks {
 public:
  virtual ~Workbooks() = default;
  virtual void add() = 0;  // the new workbook becomes the one Sheets and Charts address
};

class Application {
 public:
  virtual ~Application() = default;
  virtual std::string name() = 0;  // the default property: "Microsoft Excel"
  virtual void setScreenUpdating(bool on) = 0;
  virtual void setDisplayAlerts(bool on) = 0;
  virtual void setEnableEvents(bool on) = 0;
  virtual void setEnableCancelKey(int mode) = 0;
  virtual void setCursor(int cursor) = 0;
  virtual void setVisible(bool visible) = 0;  // true hands the workbook over to the user
  // The file the hand-over wrote the workbook to, as UTF-8; empty when it wrote none (no
  // hand-over yet, or the workbook went on without a file).
  virtual std::string handedOverFile() { return {}; }
  virtual std::shared_ptr<Workbooks> workbooks() = 0;
  virtual std::shared_ptr<Sheets> sheets() = 0;  // of the active workbook
  virtual std::shared_ptr<Charts> charts() = 0;  // of the active workbook
};

// Creating a new instance, or attaching to one that runs already.
class ApplicationFactory {
 public:
  virtual ~ApplicationFactory() = default;
  virtual std::shared_ptr<Application> create() = 0;         // throws AutomationError
  virtual std::shared_ptr<Application> attachRunning() = 0;  // throws when none runs
};

}  // namespace excel
