#pragma once
// Start Graphing: a new spreadsheet instance, a workbook whose sheet Data holds x and f(x) for
// every equation, the charts, and the hand-over to the user. The run lives in the window's
// thread and yields to its event loop between steps, so the window stays alive.
#include <QString>
#include <memory>
#include <vector>

#include "graphing/equation_rows.h"
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

// The step lines that set a chart's gridlines: each axis, then its major and minor gridlines.
struct GridlineLines {
  int xAxis, xMajor, xMinor, yAxis, yMajor, yMinor;
};

class GraphingRun {
 public:
  GraphingRun(excel::ApplicationFactory& factory, platform::Dialogs& dialogs, platform::EventPump& pump,
              GraphingWindow& window);
  ~GraphingRun();

  // The whole run; a second call while one is in progress returns at once. Failures are
  // reported under errorLocation, the caller's own (see platform::ErrorTrap::locationOf).
  void StartGraphing(const QString& errorLocation);
  bool GraphingBusy() const { return busy_; }
  // True when the last run ended without reporting a failure.
  bool lastRunSucceeded() const { return reports_ == 0; }
  // How many equations of the last run got their columns; those past the sheet's last column
  // were left out.
  int plottedCount() const { return plotted_; }

 private:
  void runSteps(platform::ErrorTrap& trap);
  bool prepareWorkbook(platform::ErrorTrap& trap);
  void separatePass(platform::ErrorTrap& trap);
  void allOnOnePass(platform::ErrorTrap& trap);
  void endRun(platform::ErrorTrap& trap, bool handOver);

  // Writes equation i's x and f(x) columns from row 1 down; leaves row_ one past the last.
  struct FillLines {
    int convert, yield, writeX, writeFormula;
  };
  void FillEquationColumns(platform::ErrorTrap& trap, const EquationRow& equation, const FillLines& lines);
  bool readEquation(int i, EquationRow& equation);
  bool columnsAvailable(int column);

  void separateChartSteps(platform::ErrorTrap& trap, int i, const EquationRow& equation);
  void oneChartCreationSteps(platform::ErrorTrap& trap);
  void oneChartSeriesSteps(platform::ErrorTrap& trap);
  void setGridlines(platform::ErrorTrap& trap, const GridlineLines& lines);

  std::shared_ptr<excel::Sheet> dataSheet();
  QString letters(int column);

  excel::ApplicationFactory& factory_;
  platform::Dialogs& dialogs_;
  platform::EventPump& pump_;
  GraphingWindow& window_;
  bool busy_ = false;
  int reports_ = 0;

  // Run state.
  std::shared_ptr<excel::Application> app_;
  std::shared_ptr<excel::Chart> chart_;
  int col_ = 1;
  int row_ = 1;
  std::vector<int> rowEnds_;
  int maxRowEnd_ = 0;
  bool columnsExhausted_ = false;
  int plotted_ = 0;  // equations that got their columns, in list order
};

}  // namespace graphing
