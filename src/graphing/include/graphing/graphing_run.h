#pragma once
// Start Graphing: a new spreadsheet instance, a workbook whose sheet Data holds x and f(x) for
// every equation, the charts, and the hand-over to the user. The run lives in the window's
// thread and yields to its event loop between steps, so the window stays alive.
#include <QString>
#include <memory>
#include <vector>

#include "graphing/equation_rows.h"
#include "graphing/run_outcome.h"
#include "graphing/run_steps.h"
#include "excel/excel.h"

namespace platform {
class Dialogs;
class EventPump;
class ErrorTrap;
}  // namespace platform

namespace graphing {

class GraphingWindow;
class FormulaTemplate;

inline constexpr char kNoEquations[] = "No Equations added.";
inline constexpr char kDone[] = "Done.";
inline constexpr char kProgressCaption[] = "Progress Bar";
// Shown while the workbook is handed over (written out), which can be most of a long run.
inline constexpr char kWritingWorkbook[] = "Writing the workbook...";

// The steps that set a chart's gridlines: each axis, then its major and minor gridlines.
struct GridlineSteps {
  RunStep xAxis, xMajor, xMinor, yAxis, yMajor, yMinor;
};

// The steps that write one equation's columns: its numbers read, each x, each formula.
struct FillSteps {
  RunStep convert, writeX, writeFormula;
};

// Who says "Done." at the end of a run that had a workbook: the run itself, as the window wants
// it, or its caller from the outcome (the batch tool says it only after a clean run).
enum class DoneSaidBy { Run, Caller };

class GraphingRun {
 public:
  GraphingRun(excel::ApplicationFactory& factory, platform::Dialogs& dialogs, platform::EventPump& pump,
              GraphingWindow& window, DoneSaidBy done = DoneSaidBy::Run);
  ~GraphingRun();

  // The whole run; a second call while one is in progress returns at once. Failures are
  // reported under errorLocation, the caller's own (see platform::ErrorTrap::locationOf).
  void StartGraphing(const QString& errorLocation);
  bool GraphingBusy() const { return busy_; }
  // What the last run that ended did.
  const RunOutcome& outcome() const { return outcome_; }
  // True when the last run ended without reporting a failure.
  bool lastRunSucceeded() const { return outcome_.failures.empty(); }

 private:
  void runSteps(platform::ErrorTrap& trap);
  bool prepareWorkbook(platform::ErrorTrap& trap);
  void separatePass(platform::ErrorTrap& trap);
  void allOnOnePass(platform::ErrorTrap& trap);
  void endRun(platform::ErrorTrap& trap, bool handOver);
  void handOverSteps(platform::ErrorTrap& trap);

  // Writes equation i's x and f(x) columns from row 1 down; leaves row_ one past the last.
  void FillEquationColumns(platform::ErrorTrap& trap, const EquationRow& equation, const FillSteps& steps);
  bool readEquation(int i, EquationRow& equation);
  bool columnsAvailable(int column);

  // The outcome as the run goes.
  void recordFailure(const platform::ErrorTrap& trap, int line, const QString& description);
  void countEquations(int n);
  void equationWritten(int i, const EquationRow& row);
  void leaveOut(int from);
  void finishOutcome(RunEnd end);
  // Notes why the run has no workbook (the failure of the step just taken, if any); false.
  bool noWorkbook(size_t failuresBefore);

  void separateChartSteps(platform::ErrorTrap& trap, int i, const EquationRow& equation);
  void oneChartCreationSteps(platform::ErrorTrap& trap);
  void oneChartSeriesSteps(platform::ErrorTrap& trap);
  void setGridlines(platform::ErrorTrap& trap, const GridlineSteps& steps);

  std::shared_ptr<excel::Sheet> dataSheet();
  QString letters(int column);

  excel::ApplicationFactory& factory_;
  platform::Dialogs& dialogs_;
  platform::EventPump& pump_;
  GraphingWindow& window_;
  DoneSaidBy doneSaidBy_;
  bool busy_ = false;
  RunOutcome outcome_;
  RunOutcome building_;  // the outcome of the run in progress
  int current_ = 0;      // the list position of the equation in hand, 0 for none

  // Run state.
  std::shared_ptr<excel::Application> app_;
  std::shared_ptr<excel::Chart> chart_;
  int col_ = 1;
  int row_ = 1;
  std::vector<int> rowEnds_;
  int maxRowEnd_ = 0;
  bool columnsExhausted_ = false;
};

}  // namespace graphing
