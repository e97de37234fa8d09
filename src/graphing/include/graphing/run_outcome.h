#pragma once
// What one Start Graphing did, typed: how it ended, what became of each equation, every failure
// it reported and the file it handed over. The window and the batch tool each present it in
// their own way; neither has to read the run's boxes back.
#include <QString>
#include <vector>

namespace graphing {

// One failure as the error report showed it.
struct RunFailure {
  int line = 0;         // the step's line number (see run_steps.h)
  QString description;  // what went wrong
  QString report;       // the whole text of the report the user saw
  int equation = 0;     // the list position of the equation in hand, 0 for none
};

enum class EquationStatus {
  NotReached,  // the run ended, or the row was removed, before it came
  Plotted,     // its values, formulas and chart or series without a failure
  Failed,      // one or more failures were reported for it (RunFailure::equation)
  LeftOut,     // no columns were left for it on the Data sheet
};

struct EquationOutcome {
  QString equation;
  EquationStatus status = EquationStatus::NotReached;
  int rowsWritten = 0;  // x values written on the Data sheet
  int failures = 0;
};

enum class RunEnd {
  NotRun,       // no run has ended yet
  Declined,     // another instance ran and the user chose not to go on
  NoEquations,  // the list was empty
  NoWorkbook,   // no instance or no workbook could be made
  Finished,     // ran to its end with a workbook (handOver tells whether it reached the user)
};

struct HandOverOutcome {
  bool handedOver = false;
  QString file;    // the file the hand-over wrote; empty when it wrote none
  QString whyNot;  // when not handed over: the failure, or why it was never tried
};

struct RunOutcome {
  RunEnd end = RunEnd::NotRun;
  std::vector<EquationOutcome> equations;  // in list order, one per row the run counted
  std::vector<RunFailure> failures;        // in the order they were reported
  HandOverOutcome handOver;

  int count(EquationStatus status) const;
  // Finished, handed over, nothing left out and no failure reported.
  bool clean() const;
};

}  // namespace graphing
