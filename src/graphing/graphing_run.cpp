#include "graphing/graphing_run.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

#include "graphing/column_letters.h"
#include "graphing/equation_to_formula.h"
#include "graphing/excel_checks.h"
#include "graphing/graphing_window.h"
#include "platform/dialogs.h"
#include "platform/error_report.h"
#include "platform/event_pump.h"
#include "platform/numeric_text.h"
#include "sheet_qualifiers.h"
#include "storable_title.h"

namespace graphing {

namespace {

constexpr char kDataSheet[] = "Data";
constexpr int kSheetRows = 1048576;

template <class T>
T& need(const std::shared_ptr<T>& object) {
  if (!object) throw excel::AutomationError("Object variable not set");
  return *object;
}

// The steps that set the gridlines of a separate chart and of the one chart.
constexpr GridlineSteps kSeparateChartGridlines{RunStep::SeparateXAxis, RunStep::SeparateXMajor,
                                                RunStep::SeparateXMinor, RunStep::SeparateYAxis,
                                                RunStep::SeparateYMajor, RunStep::SeparateYMinor};
constexpr GridlineSteps kOneChartGridlines{RunStep::OneXAxis, RunStep::OneXMajor, RunStep::OneXMinor,
                                           RunStep::OneYAxis, RunStep::OneYMajor, RunStep::OneYMinor};
constexpr FillSteps kSeparateFill{RunStep::SeparateReadNumbers, RunStep::SeparateWriteX,
                                  RunStep::SeparateWriteFormula};
constexpr FillSteps kOneChartFill{RunStep::OneReadNumbers, RunStep::OneWriteX, RunStep::OneWriteFormula};

int percent(int i, int n) { return n > 0 ? qRound(100.0 * i / n) : 0; }

std::string utf8(const QString& text) { return text.toStdString(); }

QString seriesReference(int column, int lastRow) {
  return QStringLiteral("=Data!R1C%1:R%2C%1").arg(column).arg(lastRow);
}

QString chartTitle(const QString& equation) { return QStringLiteral("F(x) = ") + storableTitle(equation); }

// The last row of a series' references: an equation without values
// still points at its own (empty) first row, never at row 0.
int lastRowOf(int rowEnd) { return std::max(rowEnd - 1, 1); }

QString foreignQualifierProblem(const ForeignQualifier& foreign, const QString& shown) {
  if (foreign.kind == ForeignQualifier::Kind::OtherWorkbook)
    return QStringLiteral("The equation \"%1\" cannot be plotted: it refers to another workbook (%2!). Its "
                          "formulas may only read the sheets of the workbook they are in.")
        .arg(shown, foreign.written);
  return QStringLiteral("The equation \"%1\" cannot be plotted: it refers to the sheet %2!, a name that no "
                        "sheet can have.")
      .arg(shown, foreign.written);
}

// Why an equation's formulas are not what it says, or nothing. An x followed by a digit is
// written as the translation gives it (=error, shown as #NAME?) but never passes for success;
// a reference that runs into the character before it, or one that leaves the workbook, is not
// written at all.
QString formulaProblem(const FormulaTemplate& formula, const QString& equation) {
  const QString shown = storableTitle(equation);
  if (formula.isError())
    return QStringLiteral("The equation \"%1\" has an x followed by a digit, which is not the variable x: its "
                          "formulas read =error and show #NAME?.")
        .arg(shown);
  if (formula.referenceFuses())
    return QStringLiteral("The equation \"%1\" cannot be plotted: \"%2\" stands right before x, so the formula "
                          "would read another number or cell than x. Write the product with *, as in %2*x.")
        .arg(shown, formula.fusedPrefix().toLower());
  if (const auto foreign = firstForeignQualifier(formula.formulaFor(QStringLiteral("A1"))))
    return foreignQualifierProblem(*foreign, shown);
  return {};
}

}  // namespace

GraphingRun::GraphingRun(excel::ApplicationFactory& factory, platform::Dialogs& dialogs,
                         platform::EventPump& pump, GraphingWindow& window, DoneSaidBy done)
    : factory_(factory), dialogs_(dialogs), pump_(pump), window_(window), doneSaidBy_(done) {}

GraphingRun::~GraphingRun() = default;

void GraphingRun::StartGraphing(const QString& errorLocation) {
  if (busy_) return;  // a second press while a run is in progress does nothing
  platform::ErrorTrap trap(dialogs_, errorLocation);
  building_ = {};
  current_ = 0;
  trap.setFailureListener([&](int line, const QString& description) { recordFailure(trap, line, description); });
  trap.step(lineOf(RunStep::MarkBusy), [&] { busy_ = true; });
  runSteps(trap);
  outcome_ = std::move(building_);
  busy_ = false;  // step NotBusy, which has no trap
}

void GraphingRun::runSteps(platform::ErrorTrap& trap) {
  if (trap.test(lineOf(RunStep::WarnExcelOpen), [&] { return WarnExcelOpen(factory_, dialogs_); })) {
    building_.handOver.whyNot = QStringLiteral("The run did not start: another instance runs.");
    return finishOutcome(RunEnd::Declined);
  }
  if (trap.test(lineOf(RunStep::CheckListEmpty), [&] { return window_.rows().count() == 0; })) {
    trap.step(lineOf(RunStep::SayNoEquations), [&] {
      dialogs_.messageBox(QString::fromLatin1(kNoEquations), platform::Buttons::Ok, platform::Icon::None);
    });
    building_.handOver.whyNot = QString::fromLatin1(kNoEquations);
    return finishOutcome(RunEnd::NoEquations);
  }
  trap.step(lineOf(RunStep::SetBusyPointer), [&] { window_.setBusyPointer(true); });
  const bool created = prepareWorkbook(trap);
  if (created) {
    if (trap.test(lineOf(RunStep::SeparateChartsChosen), [&] { return window_.separateChartsSelected(); }))
      separatePass(trap);
    else if (trap.test(lineOf(RunStep::OneChartChosen), [&] { return window_.oneChartSelected(); }))
      allOnOnePass(trap);
  }
  endRun(trap, created);
  finishOutcome(created ? RunEnd::Finished : RunEnd::NoWorkbook);
}

// ---- The outcome ----------------------------------------------------------------------------

void GraphingRun::recordFailure(const platform::ErrorTrap& trap, int line, const QString& description) {
  building_.failures.push_back(
      {line, description, platform::errorReportText(trap.location(), line, description), current_});
  if (current_ >= 1 && current_ <= static_cast<int>(building_.equations.size()))
    ++building_.equations[static_cast<size_t>(current_ - 1)].failures;
}

void GraphingRun::countEquations(int n) { building_.equations.assign(static_cast<size_t>(std::max(n, 0)), {}); }

void GraphingRun::equationWritten(int i, const EquationRow& row) {
  EquationOutcome& equation = building_.equations[static_cast<size_t>(i - 1)];
  equation.equation = row.equation;
  equation.status = EquationStatus::Plotted;
  equation.rowsWritten = row_ - 1;
}

void GraphingRun::leaveOut(int from) {
  const EquationRows& rows = window_.rows();
  for (int i = from; i <= static_cast<int>(building_.equations.size()); ++i) {
    EquationOutcome& equation = building_.equations[static_cast<size_t>(i - 1)];
    equation.status = EquationStatus::LeftOut;
    if (i <= rows.count()) equation.equation = rows.row(i).equation;
  }
}

void GraphingRun::finishOutcome(RunEnd end) {
  building_.end = end;
  // An equation plotted is one whose every step went through, its chart's included.
  for (EquationOutcome& equation : building_.equations)
    if (equation.status == EquationStatus::Plotted && equation.failures > 0) equation.status = EquationStatus::Failed;
}

bool GraphingRun::noWorkbook(size_t failuresBefore) {
  building_.handOver.whyNot = building_.failures.size() > failuresBefore ? building_.failures.back().description
                                                                         : QStringLiteral("No workbook could be made.");
  return false;
}

// Steps 110 to 134: a new instance, quiet while it works, and a workbook whose last sheet is Data.
// Without an instance or a workbook nothing later can work, so the run goes straight to its end
// instead of reporting every later step.
bool GraphingRun::prepareWorkbook(platform::ErrorTrap& trap) {
  app_.reset();
  chart_.reset();
  columnsExhausted_ = false;
  size_t failuresBefore = building_.failures.size();
  if (!trap.step(lineOf(RunStep::CreateInstance), [&] { app_ = factory_.create(); }) || !app_)
    return noWorkbook(failuresBefore);
  trap.step(lineOf(RunStep::ScreenUpdatingOff), [&] { app_->setScreenUpdating(false); });
  trap.step(lineOf(RunStep::DisplayAlertsOff), [&] { app_->setDisplayAlerts(false); });
  trap.step(lineOf(RunStep::EventsOff), [&] { app_->setEnableEvents(false); });
  trap.step(lineOf(RunStep::CancelKeyOff), [&] { app_->setEnableCancelKey(excel::xlDisabled); });
  trap.step(lineOf(RunStep::WaitCursor), [&] { app_->setCursor(excel::xlWait); });
  failuresBefore = building_.failures.size();
  if (!trap.step(lineOf(RunStep::AddWorkbook), [&] { need(app_->workbooks()).add(); }))
    return noWorkbook(failuresBefore);
  int sheets = 0;
  trap.step(lineOf(RunStep::CountSheets), [&] { sheets = need(app_->sheets()).count(); });
  if (sheets != 2)
    for (int k = 1; k <= sheets - 1; ++k)
      trap.step(lineOf(RunStep::DeleteExtraSheet), [&] { need(need(app_->sheets()).item(2)).deleteSheet(); });
  trap.step(lineOf(RunStep::NameDataSheet), [&] { need(dataSheet()).setName(kDataSheet); });
  trap.step(lineOf(RunStep::YieldAfterSetUp), [&] { pump_.yield(); });
  trap.step(lineOf(RunStep::YieldAgain), [&] { pump_.yield(); });
  return true;
}

std::shared_ptr<excel::Sheet> GraphingRun::dataSheet() {
  auto sheets = need(app_).sheets();
  return need(sheets).item(sheets->count());
}

QString GraphingRun::letters(int column) { return ColumnLetters(column, dialogs_); }

bool GraphingRun::readEquation(int i, EquationRow& equation) {
  // Rows may have been removed while the run yielded: never read one that is gone.
  const EquationRows& rows = window_.rows();
  if (i > rows.count()) return false;
  equation = rows.row(i);
  return true;
}

// Equations whose columns lie beyond the classic sheet are left out; the message comes once.
bool GraphingRun::columnsAvailable(int column) {
  if (column + 1 <= kClassicColumns) return true;
  if (!columnsExhausted_) {
    columnsExhausted_ = true;
    ColumnLetters(column + 1, dialogs_);
  }
  return false;
}

void GraphingRun::separatePass(platform::ErrorTrap& trap) {
  trap.step(lineOf(RunStep::SeparateFirstColumn), [&] { col_ = 1; });
  int n = 0;
  trap.step(lineOf(RunStep::SeparateCountRows), [&] { n = window_.rows().count(); });
  countEquations(n);
  for (int i = 1; i <= n; ++i) {
    current_ = i;
    trap.step(lineOf(RunStep::SeparateYield), [&] { pump_.yield(); });
    trap.step(lineOf(RunStep::SeparateFirstRow), [&] { row_ = 1; });
    trap.step(lineOf(RunStep::SeparateProgress), [&] { window_.setProgressValue(percent(i, n)); });
    EquationRow equation;
    if (!readEquation(i, equation)) break;
    if (!columnsAvailable(col_)) {
      leaveOut(i);
      break;
    }
    FillEquationColumns(trap, equation, kSeparateFill);
    equationWritten(i, equation);
    trap.step(lineOf(RunStep::SeparateNextColumns), [&] { col_ += 2; });
    separateChartSteps(trap, i, equation);
  }
  current_ = 0;
}

void GraphingRun::allOnOnePass(platform::ErrorTrap& trap) {
  oneChartCreationSteps(trap);
  trap.step(lineOf(RunStep::OneFirstColumn), [&] { col_ = 1; });
  trap.step(lineOf(RunStep::ResetLongestRun), [&] { maxRowEnd_ = 0; });
  trap.step(lineOf(RunStep::ClearRowEnds), [&] { rowEnds_.clear(); });
  int n = 0;
  trap.step(lineOf(RunStep::OneCountRows), [&] { n = window_.rows().count(); });
  countEquations(n);
  for (int i = 1; i <= n; ++i) {
    current_ = i;
    trap.step(lineOf(RunStep::OneYield), [&] { pump_.yield(); });
    trap.step(lineOf(RunStep::OneProgress), [&] { window_.setProgressValue(percent(i, n)); });
    trap.step(lineOf(RunStep::OneFirstRow), [&] { row_ = 1; });
    EquationRow equation;
    if (!readEquation(i, equation)) break;
    if (!columnsAvailable(col_)) {
      leaveOut(i);
      break;
    }
    FillEquationColumns(trap, equation, kOneChartFill);
    equationWritten(i, equation);
    trap.step(lineOf(RunStep::OneNextColumns), [&] { col_ += 2; });
    trap.step(lineOf(RunStep::KeepRowEnd), [&] { rowEnds_.push_back(row_); });
    if (trap.test(lineOf(RunStep::LongestSoFar), [&] { return row_ > maxRowEnd_; }))
      trap.step(lineOf(RunStep::KeepLongest), [&] { maxRowEnd_ = row_; });
  }
  current_ = 0;
  oneChartSeriesSteps(trap);
}

void GraphingRun::FillEquationColumns(platform::ErrorTrap& trap, const EquationRow& equation,
                                      const FillSteps& steps) {
  double x = 0, end = 0, step = 0;
  const auto number = [&](const QString& text, const char* what) {
    const std::optional<double> value = platform::readNumber(text);
    if (!value)
      throw platform::StepFailure(QStringLiteral("The %1 value \"%2\" of the equation \"%3\" is not a number")
                                      .arg(QLatin1String(what), text, equation.equation)
                                      .toStdString());
    return *value;
  };
  const bool ready = trap.step(lineOf(steps.convert), [&] {
    end = number(equation.end, "end");
    step = number(equation.step, "step");
    x = number(equation.start, "start");
    if (step == 0 && x <= end)
      throw platform::StepFailure(QStringLiteral("The step of the equation \"%1\" is 0, so x would never "
                                                 "reach the end value")
                                      .arg(equation.equation)
                                      .toStdString());
  });
  if (!ready) return;  // the equation is left without values; the run goes on with the next one

  const FormulaTemplate formula(equation.equation);
  const QString problem = formulaProblem(formula, equation.equation);
  if (!problem.isEmpty()) trap.step(lineOf(steps.writeFormula), [&] { throw platform::StepFailure(problem.toStdString()); });
  bool writeFormulas = problem.isEmpty() || formula.isError();
  const QString xLetters = letters(col_);
  // The column's formula once, rather than its text row by row.
  const std::optional<excel::FilledFormula> filled = formula.filledDown(xLetters);
  std::shared_ptr<excel::Sheet> sheet;
  const auto writeFormula = [&] {
    if (filled) sheet->setCellFormula(row_, col_ + 1, *filled);
    else sheet->setCellText(row_, col_ + 1, utf8(formula.formulaFor(xLetters + QString::number(row_))));
  };
  if (!trap.step(lineOf(steps.writeX), [&] { sheet = dataSheet(); })) return;
  while ((step >= 0 && x <= end) || (step < 0 && x >= end)) {
    pump_.yield();
    // Past the last row no further x fits: report it once and end the equation.
    if (!trap.step(lineOf(steps.writeX), [&] { sheet->setCellNumber(row_, col_, x); })) return;
    // A refused formula would be refused again for every x: report it once, keep the x values,
    // so the equation's chart still points at its own columns.
    if (writeFormulas && !trap.step(lineOf(steps.writeFormula), writeFormula)) writeFormulas = false;
    ++row_;
    x += step;
  }
}

// ---- Charts ---------------------------------------------------------------------------------

void GraphingRun::separateChartSteps(platform::ErrorTrap& trap, int i, const EquationRow& equation) {
  auto charts = need(app_).charts();
  chart_.reset();
  const bool added = trap.test(lineOf(RunStep::NoChartYet), [&] { return need(charts).count() == 0; })
                         ? trap.step(lineOf(RunStep::AddFirstChart), [&] { chart_ = need(charts).add(); })
                         : trap.step(lineOf(RunStep::AddChartAfter), [&] { chart_ = need(charts).addAfter(need(need(charts).item(i - 1)), 1); });
  // Without a new chart the steps below would change the previous equation's chart.
  if (!added || !chart_) return;
  trap.step(lineOf(RunStep::NameChart), [&] { chart_->setName(utf8(QStringLiteral("Chart%1").arg(i))); });
  trap.step(lineOf(RunStep::SeparateChartType), [&] { chart_->setChartType(excel::xlXYScatterSmoothNoMarkers); });
  trap.step(lineOf(RunStep::SeparateSourceData), [&] {
    // At the foot of the sheet the block ends at its last row, not one below it.
    const int lastRow = std::min(row_, kSheetRows);
    const QString source = letters(2 * i - 1) + QStringLiteral("1:") + letters(2 * i) + QString::number(lastRow);
    chart_->setSourceData(need(need(need(app_->sheets()).item(kDataSheet)).range(utf8(source))), excel::xlColumns);
  });
  trap.step(lineOf(RunStep::SeparateChartToSheet), [&] { chart_->location(excel::xlLocationAsNewSheet); });
  trap.step(lineOf(RunStep::ShowTitle), [&] { chart_->setHasTitle(true); });
  trap.step(lineOf(RunStep::SetTitle), [&] { chart_->setTitleText(utf8(chartTitle(equation.equation))); });
  setGridlines(trap, kSeparateChartGridlines);
}

void GraphingRun::setGridlines(platform::ErrorTrap& trap, const GridlineSteps& steps) {
  std::shared_ptr<excel::Axis> axis;
  trap.step(lineOf(steps.xAxis), [&] { axis = need(chart_).axes(excel::xlCategory); });
  trap.step(lineOf(steps.xMajor), [&] { need(axis).setHasMajorGridlines(false); });
  trap.step(lineOf(steps.xMinor), [&] { need(axis).setHasMinorGridlines(false); });
  axis.reset();
  trap.step(lineOf(steps.yAxis), [&] { axis = need(chart_).axes(excel::xlValue); });
  trap.step(lineOf(steps.yMajor), [&] { need(axis).setHasMajorGridlines(true); });
  trap.step(lineOf(steps.yMinor), [&] { need(axis).setHasMinorGridlines(false); });
}

void GraphingRun::oneChartCreationSteps(platform::ErrorTrap& trap) {
  chart_.reset();
  trap.step(lineOf(RunStep::AddOneChart), [&] { chart_ = need(need(app_).charts()).add(); });
  trap.step(lineOf(RunStep::NameOneChart), [&] { need(chart_).setName("Chart"); });
  trap.step(lineOf(RunStep::OneChartType), [&] { need(chart_).setChartType(excel::xlXYScatterSmoothNoMarkers); });
}

void GraphingRun::oneChartSeriesSteps(platform::ErrorTrap& trap) {
  // Only the equations that got their columns take part; RowEnds has one entry for each.
  const auto plottedCount = [&] { return std::min(window_.rows().count(), static_cast<int>(rowEnds_.size())); };
  int n = 0;
  trap.step(lineOf(RunStep::CountSeries), [&] { n = plottedCount(); });
  for (int i = 1; i <= n; ++i) {
    current_ = i;  // series i is equation i's: only equations that got their columns come here
    trap.step(lineOf(RunStep::SeriesYield), [&] { pump_.yield(); });
    trap.step(lineOf(RunStep::SeriesProgress), [&] { window_.setProgressValue(percent(i, n)); });
    if (trap.test(lineOf(RunStep::FirstSeries), [&] { return i == 1; })) {
      trap.step(lineOf(RunStep::OneSourceData), [&] {
        const QString source = QStringLiteral("A1:") + letters(2 * n) + QString::number(lastRowOf(maxRowEnd_));
        need(chart_).setSourceData(need(need(need(app_->sheets()).item(kDataSheet)).range(utf8(source))),
                                   excel::xlColumns);
      });
    } else {
      const int lastRow = lastRowOf(rowEnds_[static_cast<size_t>(i - 1)]);
      trap.step(lineOf(RunStep::SeriesXValues), [&] {
        need(need(need(chart_).seriesCollection()).item(i)).setXValues(utf8(seriesReference(2 * i - 1, lastRow)));
      });
      trap.step(lineOf(RunStep::SeriesValues), [&] {
        need(need(need(chart_).seriesCollection()).item(i)).setValues(utf8(seriesReference(2 * i, lastRow)));
      });
    }
    trap.step(lineOf(RunStep::SeriesName), [&] {
      EquationRow equation;
      if (!readEquation(i, equation)) throw platform::StepFailure(platform::kSubscriptOutOfRange);
      need(need(need(chart_).seriesCollection()).item(i)).setName(utf8(chartTitle(equation.equation)));
    });
  }
  current_ = 0;
  // Remove the series the block made beyond one per equation. A failed test or deletion ends
  // the loop: going round again would only fail again.
  while (true) {
    bool more = false;
    if (!trap.step(lineOf(RunStep::ExtraSeriesLeft),
                   [&] { more = need(need(chart_).seriesCollection()).count() > plottedCount(); }))
      break;
    if (!more) break;
    if (!trap.step(lineOf(RunStep::DeleteExtraSeries), [&] {
          auto series = need(chart_).seriesCollection();
          need(need(series).item(series->count())).deleteSeries();
        }))
      break;
  }
  trap.step(lineOf(RunStep::ForgetRowEnds), [&] { rowEnds_.clear(); });
  trap.step(lineOf(RunStep::OneChartToSheet), [&] { need(chart_).location(excel::xlLocationAsNewSheet); });
  setGridlines(trap, kOneChartGridlines);
}

// ---- End of the run -------------------------------------------------------------------------

// Becoming visible hands the workbook to the user, which writes its file.
void GraphingRun::handOverSteps(platform::ErrorTrap& trap) {
  HandOverOutcome& handOver = building_.handOver;
  handOver.handedOver = trap.step(lineOf(RunStep::HandOver), [&] { need(app_).setVisible(true); });
  if (!handOver.handedOver) {
    handOver.whyNot = building_.failures.back().description;
    return;
  }
  try {
    handOver.file = QString::fromStdString(app_->handedOverFile());
  } catch (...) {
    // The workbook reached the user all the same; only its file's name is not known.
  }
}

void GraphingRun::endRun(platform::ErrorTrap& trap, bool handOver) {
  if (handOver) {
    if (trap.test(lineOf(RunStep::AnyChart), [&] { return need(need(app_).charts()).count() > 0; })) {
      trap.step(lineOf(RunStep::SelectFirstChart), [&] { need(need(app_->charts()).item(1)).select(); });
      trap.step(lineOf(RunStep::HideData), [&] { need(need(app_->sheets()).item(kDataSheet)).setVisible(false); });
    }
    trap.step(lineOf(RunStep::ReleaseChart), [&] { chart_.reset(); });
    // Becoming visible writes the workbook out; the window meanwhile says so rather than
    // resting at 100 (the engine keeps the window's events flowing while it writes).
    window_.setProgressValue(0);
    window_.setProgressText(QString::fromLatin1(kWritingWorkbook));
    handOverSteps(trap);
    trap.step(lineOf(RunStep::DefaultCursor), [&] { need(app_).setCursor(excel::xlDefault); });
    trap.step(lineOf(RunStep::ScreenUpdatingOn), [&] { need(app_).setScreenUpdating(true); });
    trap.step(lineOf(RunStep::DisplayAlertsOn), [&] { need(app_).setDisplayAlerts(true); });
    trap.step(lineOf(RunStep::EventsOn), [&] { need(app_).setEnableEvents(true); });
    trap.step(lineOf(RunStep::CancelKeyOn), [&] { need(app_).setEnableCancelKey(excel::xlInterrupt); });
  }
  trap.step(lineOf(RunStep::ReleaseInstance), [&] { app_.reset(); });
  trap.step(lineOf(RunStep::ResetPointer), [&] { window_.setBusyPointer(false); });
  trap.step(lineOf(RunStep::ResetProgress), [&] { window_.setProgressValue(0); });
  trap.step(lineOf(RunStep::ResetCaption), [&] { window_.setProgressText(QString::fromLatin1(kProgressCaption)); });
  // "Done." after a run that never had a workbook would report a failure as success.
  if (handOver && doneSaidBy_ == DoneSaidBy::Run)
    trap.step(lineOf(RunStep::SayDone), [&] {
      dialogs_.messageBox(QString::fromLatin1(kDone), platform::Buttons::Ok, platform::Icon::None);
    });
}

}  // namespace graphing
