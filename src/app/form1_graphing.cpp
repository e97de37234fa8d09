// Start Graphing: the run itself lives in graphing; the window lends it its rows and controls.
#include <QApplication>
#include <QDialog>
#include <QProgressBar>

#include <algorithm>
#include <cmath>
#include <QRadioButton>

#include "app/form1.h"
#include "batch/list_rows.h"
#include "batch/plot_tool.h"
#include "graphing/graphing_run.h"
#include "graphing/graphing_window.h"
#include "platform/error_report.h"

namespace app {
namespace {

class Form1GraphingWindow : public graphing::GraphingWindow {
 public:
  explicit Form1GraphingWindow(Form1& form) : form_(form), rows_(form.list()) {}
  const graphing::EquationRows& rows() const override { return rows_; }
  bool separateChartsSelected() const override { return form_.Option1->isChecked(); }
  bool oneChartSelected() const override { return form_.Option2->isChecked(); }
  void setBusyPointer(bool busy) override { form_.setMousePointer(busy ? MousePointer::Busy : MousePointer::Default); }
  void setProgressValue(int percent) override { form_.ProgressBar1->setValue(percent); }
  void setProgressText(const QString& text) override { form_.ProgressBar1->setFormat(text); }

 private:
  Form1& form_;
  ListRows rows_;
};

}  // namespace

void Form1::PushButton2_Click() {
  if (!graphingRun_) {
    graphingWindow_ = std::make_unique<Form1GraphingWindow>(*this);
    graphingRun_ = std::make_unique<graphing::GraphingRun>(services_.excel, services_.dialogs, services_.pump,
                                                           *graphingWindow_);
  }
  if (graphingRun_->GraphingBusy()) return;  // a second press while a run is in progress
  const QWidgetList windowsBefore = QApplication::topLevelWidgets();
  graphingRun_->StartGraphing(platform::ErrorTrap::locationOf("PushButton2_Click"));
  // The run names the full sheet once; how many equations it left out is said here, once.
  const graphing::RunOutcome& outcome = graphingRun_->outcome();
  if (const int leftOut = outcome.count(graphing::EquationStatus::LeftOut); leftOut > 0)
    services_.dialogs.messageBox(leftOutText(leftOut, static_cast<int>(outcome.equations.size())),
                                 platform::Buttons::Ok, platform::Icon::None);
  bringNewWindowsToFront(windowsBefore);
}

// The boxes that end a run belong to this window, and closing them gives it the focus back; the
// workbook the run showed is what the user wants to see, so its window comes to the front again.
void Form1::bringNewWindowsToFront(const QWidgetList& before) {
  QWidget* newest = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (before.contains(widget) || !widget->isVisible() || qobject_cast<QDialog*>(widget)) continue;
    if (widget->windowType() != Qt::Window) continue;  // tooltips, popups and the like
    widget->raise();
    newest = widget;
  }
  if (newest) newest->activateWindow();
}

bool Form1::graphingBusy() const { return graphingRun_ && graphingRun_->GraphingBusy(); }

// The run has put "Writing the workbook..." on the bar; only the filled part moves.
void Form1::showWritingProgress(double fraction) {
  ProgressBar1->setValue(static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * ProgressBar1->maximum())));
}

}  // namespace app
