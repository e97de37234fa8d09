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
constexpr GridlineLines kSeparateChartGridlines{182, 184, 186, 188, 190, 192};
constexpr GridlineLines kOneChartGridlines{270, 272, 274, 276, 278, 280};

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
                         platform::EventPump& pump, GraphingWindow& window)
    : factory_(factory), dialogs_(dialogs), pump_(pump), window_(window) {}

GraphingRun::~GraphingRun() = default;

void GraphingRun::StartGraphing(const QString& errorLocation) {
  if (busy_) return;  // a second press while a run is in progress does nothing
  platform::ErrorTrap trap(dialogs_, errorLocation);
  trap.step(102, [&] { busy_ = true; });
  runSteps(trap);
  reports_ = trap.reported();
  busy_ = false;  // 314
}

void GraphingRun::runSteps(platform::ErrorTrap& trap) {
  if (trap.test(104, [&] { return WarnExcelOpen(factory_, dialogs_); })) return;
  if (trap.test(106, [&] { return window_.rows().count() == 0; })) {
    trap.step(312, [&] {
      dialogs_.messageBox(QString::fromLatin1(kNoEquations), platform::Buttons::Ok, platform::Icon::None);
    });
    return;
  }
  trap.step(108, [&] { window_.setBusyPointer(true); });
  const bool created = prepareWorkbook(trap);
  if (created) {
    if (trap.test(136, [&] { return window_.separateChartsSelected(); }))
      separatePass(trap);
    else if (trap.test(196, [&] { return window_.oneChartSelected(); }))
      allOnOnePass(trap);
  }
  endRun(trap, created);
}

// Steps 110 to 134: a new instance, quiet while it works, and a workbook whose last sheet is Data.
// Without an instance or a workbook nothing later can work, so the run goes straight to its end
// instead of reporting every later step.
bool GraphingRun::prepareWorkbook(platform::ErrorTrap& trap) {
  app_.reset();
  chart_.reset();
  plotted_ = 0;
  columnsExhausted_ = false;
  if (!trap.step(110, [&] { app_ = factory_.create(); }) || !app_) return false;
  trap.step(112, [&] { app_->setScreenUpdating(false); });
  trap.step(114, [&] { app_->setDisplayAlerts(false); });
  trap.step(116, [&] { app_->setEnableEvents(false); });
  trap.step(118, [&] { app_->setEnableCancelKey(excel::xlDisabled); });
  trap.step(120, [&] { app_->setCursor(excel::xlWait); });
  if (!trap.step(124, [&] { need(app_->workbooks()).add(); })) return false;
  int sheets = 0;
  trap.step(126, [&] { sheets = need(app_->sheets()).count(); });
  if (sheets != 2)
    for (int k = 1; k <= sheets - 1; ++k) trap.step(128, [&] { need(need(app_->sheets()).item(2)).deleteSheet(); });
  trap.step(130, [&] { need(dataSheet()).setName(kDataSheet); });
  trap.step(132, [&] { pump_.yield(); });
  trap.step(134, [&] { pump_.yield(); });
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
  trap.step(138, [&] { col_ = 1; });
  int n = 0;
  trap.step(140, [&] { n = window_.rows().count(); });
  for (int i = 1; i <= n; ++i) {
    trap.step(142, [&] { pump_.yield(); });
    trap.step(144, [&] { row_ = 1; });
    trap.step(146, [&] { window_.setProgressValue(percent(i, n)); });
    EquationRow equation;
    if (!readEquation(i, equation) || !columnsAvailable(col_)) break;
    FillEquationColumns(trap, equation, {148, 150, 152, 154});
    ++plotted_;
    trap.step(160, [&] { col_ += 2; });
    separateChartSteps(trap, i, equation);
  }
}

void GraphingRun::allOnOnePass(platform::ErrorTrap& trap) {
  oneChartCreationSteps(trap);
  trap.step(206, [&] { col_ = 1; });
  trap.step(208, [&] { maxRowEnd_ = 0; });
  trap.step(210, [&] { rowEnds_.clear(); });
  int n = 0;
  trap.step(212, [&] { n = window_.rows().count(); });
  for (int i = 1; i <= n; ++i) {
    trap.step(214, [&] { pump_.yield(); });
    trap.step(216, [&] { window_.setProgressValue(percent(i, n)); });
    trap.step(218, [&] { row_ = 1; });
    EquationRow equation;
    if (!readEquation(i, equation) || !columnsAvailable(col_)) break;
    FillEquationColumns(trap, equation, {220, 222, 224, 226});
    ++plotted_;
    trap.step(232, [&] { col_ += 2; });
    trap.step(234, [&] { rowEnds_.push_back(row_); });
    if (trap.test(236, [&] { return row_ > maxRowEnd_; })) trap.step(238, [&] { maxRowEnd_ = row_; });
  }
  oneChartSeriesSteps(trap);
}

void GraphingRun::FillEquationColumns(platform::ErrorTrap& trap, const EquationRow& equation,
                                      const FillLines& lines) {
  double x = 0, end = 0, step = 0;
  const auto number = [&](const QString& text, const char* what) {
    const std::optional<double> value = platform::readNumber(text);
    if (!value)
      throw platform::StepFailure(QStringLiteral("The %1 value \"%2\" of the equation \"%3\" is not a number")
                                      .arg(QLatin1String(what), text, equation.equation)
                                      .toStdString());
    return *value;
  };
  const bool ready = trap.step(lines.convert, [&] {
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
  if (!problem.isEmpty()) trap.step(lines.writeFormula, [&] { throw platform::StepFailure(problem.toStdString()); });
  bool writeFormulas = problem.isEmpty() || formula.isError();
  const QString xLetters = letters(col_);
  std::shared_ptr<excel::Sheet> sheet;
  if (!trap.step(lines.writeX, [&] { sheet = dataSheet(); })) return;
  while ((step >= 0 && x <= end) || (step < 0 && x >= end)) {
    pump_.yield();
    // Past the last row no further x fits: report it once and end the equation.
    if (!trap.step(lines.writeX, [&] { sheet->setCellNumber(row_, col_, x); })) return;
    // A refused formula would be refused again for every x: report it once, keep the x values,
    // so the equation's chart still points at its own columns.
    if (writeFormulas && !trap.step(lines.writeFormula, [&] {
          sheet->setCellText(row_, col_ + 1, utf8(formula.formulaFor(xLetters + QString::number(row_))));
        }))
      writeFormulas = false;
    ++row_;
    x += step;
  }
}

// ---- Charts ---------------------------------------------------------------------------------

void GraphingRun::separateChartSteps(platform::ErrorTrap& trap, int i, const EquationRow& equation) {
  auto charts = need(app_).charts();
  chart_.reset();
  const bool added = trap.test(162, [&] { return need(charts).count() == 0; })
                         ? trap.step(164, [&] { chart_ = need(charts).add(); })
                         : trap.step(166, [&] { chart_ = need(charts).addAfter(need(need(charts).item(i - 1)), 1); });
  // Without a new chart the steps below would change the previous equation's chart.
  if (!added || !chart_) return;
  trap.step(168, [&] { chart_->setName(utf8(QStringLiteral("Chart%1").arg(i))); });
  trap.step(172, [&] { chart_->setChartType(excel::xlXYScatterSmoothNoMarkers); });
  trap.step(174, [&] {
    // At the foot of the sheet the block ends at its last row, not one below it.
    const int lastRow = std::min(row_, kSheetRows);
    const QString source = letters(2 * i - 1) + QStringLiteral("1:") + letters(2 * i) + QString::number(lastRow);
    chart_->setSourceData(need(need(need(app_->sheets()).item(kDataSheet)).range(utf8(source))), excel::xlColumns);
  });
  trap.step(176, [&] { chart_->location(excel::xlLocationAsNewSheet); });
  trap.step(178, [&] { chart_->setHasTitle(true); });
  trap.step(180, [&] { chart_->setTitleText(utf8(chartTitle(equation.equation))); });
  setGridlines(trap, kSeparateChartGridlines);
}

void GraphingRun::setGridlines(platform::ErrorTrap& trap, const GridlineLines& lines) {
  std::shared_ptr<excel::Axis> axis;
  trap.step(lines.xAxis, [&] { axis = need(chart_).axes(excel::xlCategory); });
  trap.step(lines.xMajor, [&] { need(axis).setHasMajorGridlines(false); });
  trap.step(lines.xMinor, [&] { need(axis).setHasMinorGridlines(false); });
  axis.reset();
  trap.step(lines.yAxis, [&] { axis = need(chart_).axes(excel::xlValue); });
  trap.step(lines.yMajor, [&] { need(axis).setHasMajorGridlines(true); });
  trap.step(lines.yMinor, [&] { need(axis).setHasMinorGridlines(false); });
}

void GraphingRun::oneChartCreationSteps(platform::ErrorTrap& trap) {
  chart_.reset();
  trap.step(198, [&] { chart_ = need(need(app_).charts()).add(); });
  trap.step(200, [&] { need(chart_).setName("Chart"); });
  trap.step(204, [&] { need(chart_).setChartType(excel::xlXYScatterSmoothNoMarkers); });
}

void GraphingRun::oneChartSeriesSteps(platform::ErrorTrap& trap) {
  // Only the equations that got their columns take part; RowEnds has one entry for each.
  const auto plottedCount = [&] { return std::min(window_.rows().count(), static_cast<int>(rowEnds_.size())); };
  int n = 0;
  trap.step(242, [&] { n = plottedCount(); });
  for (int i = 1; i <= n; ++i) {
    trap.step(244, [&] { pump_.yield(); });
    trap.step(246, [&] { window_.setProgressValue(percent(i, n)); });
    if (trap.test(248, [&] { return i == 1; })) {
      trap.step(250, [&] {
        const QString source = QStringLiteral("A1:") + letters(2 * n) + QString::number(lastRowOf(maxRowEnd_));
        need(chart_).setSourceData(need(need(need(app_->sheets()).item(kDataSheet)).range(utf8(source))),
                                   excel::xlColumns);
      });
    } else {
      const int lastRow = lastRowOf(rowEnds_[static_cast<size_t>(i - 1)]);
      trap.step(252, [&] {
        need(need(need(chart_).seriesCollection()).item(i)).setXValues(utf8(seriesReference(2 * i - 1, lastRow)));
      });
      trap.step(254, [&] {
        need(need(need(chart_).seriesCollection()).item(i)).setValues(utf8(seriesReference(2 * i, lastRow)));
      });
    }
    trap.step(256, [&] {
      EquationRow equation;
      if (!readEquation(i, equation)) throw platform::StepFailure(platform::kSubscriptOutOfRange);
      need(need(need(chart_).seriesCollection()).item(i)).setName(utf8(chartTitle(equation.equation)));
    });
  }
  // Remove the series the block made beyond one per equation. A failed test or deletion ends
  // the loop: going round again would only fail again.
  while (true) {
    bool more = false;
    if (!trap.step(262, [&] { more = need(need(chart_).seriesCollection()).count() > plottedCount(); })) break;
    if (!more) break;
    if (!trap.step(264, [&] {
          auto series = need(chart_).seriesCollection();
          need(need(series).item(series->count())).deleteSeries();
        }))
      break;
  }
  trap.step(266, [&] { rowEnds_.clear(); });
  trap.step(268, [&] { need(chart_).location(excel::xlLocationAsNewSheet); });
  setGridlines(trap, kOneChartGridlines);
}

// ---- End of the run -------------------------------------------------------------------------

void GraphingRun::endRun(platform::ErrorTrap& trap, bool handOver) {
  if (handOver) {
    if (trap.test(282, [&] { return need(need(app_).charts()).count() > 0; })) {
      trap.step(284, [&] { need(need(app_->charts()).item(1)).select(); });
      trap.step(286, [&] { need(need(app_->sheets()).item(kDataSheet)).setVisible(false); });
    }
    trap.step(288, [&] { chart_.reset(); });
    // Becoming visible writes the workbook out; the window meanwhile says so rather than
    // resting at 100 (the engine keeps the window's events flowing while it writes).
    window_.setProgressValue(0);
    window_.setProgressText(QString::fromLatin1(kWritingWorkbook));
    trap.step(290, [&] { need(app_).setVisible(true); });
    trap.step(292, [&] { need(app_).setCursor(excel::xlDefault); });
    trap.step(294, [&] { need(app_).setScreenUpdating(true); });
    trap.step(296, [&] { need(app_).setDisplayAlerts(true); });
    trap.step(298, [&] { need(app_).setEnableEvents(true); });
    trap.step(300, [&] { need(app_).setEnableCancelKey(excel::xlInterrupt); });
  }
  trap.step(302, [&] { app_.reset(); });
  trap.step(304, [&] { window_.setBusyPointer(false); });
  trap.step(306, [&] { window_.setProgressValue(0); });
  trap.step(308, [&] { window_.setProgressText(QString::fromLatin1(kProgressCaption)); });
  // "Done." after a run that never had a workbook would report a failure as success.
  if (handOver)
    trap.step(310, [&] {
      dialogs_.messageBox(QString::fromLatin1(kDone), platform::Buttons::Ok, platform::Icon::None);
    });
}

}  // namespace graphing
