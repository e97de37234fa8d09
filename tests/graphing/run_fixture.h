#pragma once
// A graphing run against the real engine, driven by a window double.
#include <QString>
#include <functional>
#include <vector>

#include "graphing/equation_rows.h"
#include "graphing/graphing_run.h"
#include "graphing/graphing_window.h"
#include "core/workbook_model.h"
#include "support/doubles.h"
#include "support/engine_fixture.h"
#include "platform/error_report.h"
#include "support/scripted_dialogs.h"

namespace testing_support {

// Rows kept in a plain vector, as any owner of rows may keep them.
class RowVector : public graphing::EquationRows {
 public:
  int count() const override { return static_cast<int>(rows.size()); }
  graphing::EquationRow row(int position) const override { return rows.at(position - 1); }
  void clear() { rows.clear(); }
  std::vector<graphing::EquationRow> rows;
};

class TestWindow : public graphing::GraphingWindow {
 public:
  const graphing::EquationRows& rows() const override { return list; }
  bool separateChartsSelected() const override { return separate; }
  bool oneChartSelected() const override { return !separate; }
  void setBusyPointer(bool on) override { busy.push_back(on); }
  void setProgressValue(int percent) override { progress.push_back(percent); }
  void setProgressText(const QString& caption) override {
    text = caption;
    texts.push_back(caption);
  }

  RowVector list;
  bool separate = true;
  std::vector<bool> busy;
  std::vector<int> progress;
  QString text;
  std::vector<QString> texts;
};

struct RunFixture {
  // `adjust` changes the engine's options before it is made.
  explicit RunFixture(int sheetsInNewWorkbook = 1, const std::function<void(automation::EngineOptions&)>& adjust = {})
      : engine(sheetsInNewWorkbook, adjust) {}

  void add(const char* equation, const char* start, const char* end, const char* step) {
    window.list.rows.push_back({QString::fromUtf8(equation), QString::fromUtf8(start), QString::fromUtf8(end),
                                QString::fromUtf8(step)});
  }
  // Runs to the end, expecting exactly `reports` error reports before "Done.".
  void runExpecting(int reports = 0) {
    for (int i = 0; i < reports; ++i) dialogs.answerMessage();
    dialogs.answerMessage();  // Done.
    start();
  }
  // Start Graphing, reporting as the window's button does.
  void start() { run.StartGraphing(platform::ErrorTrap::locationOf("PushButton2_Click")); }

  core::WorkbookModel& book() { return *engine.lastWorkbook(); }
  core::SheetNode& sheet(const char* name) { return *book().find(name); }
  const core::WorksheetCells& data() { return *sheet("Data").cells; }
  std::string formula(int row, int column) {
    const core::CellSlot* slot = data().slot(row, column);
    return slot && slot->kind == core::CellKind::Formula ? "=" + data().formulaText(*slot, row) : std::string();
  }
  double number(int row, int column) {
    const core::CellSlot* slot = data().slot(row, column);
    return slot && slot->kind == core::CellKind::Number ? slot->number : -1e300;
  }
  std::vector<std::string> sheetNames() {
    std::vector<std::string> names;
    for (const auto& s : book().sheets()) names.push_back(s->name);
    return names;
  }
  std::vector<QString> reports() {
    std::vector<QString> out;
    for (const QString& text : dialogs.messageTexts())
      if (text.contains(QStringLiteral("PushButton2_Click at line"))) out.push_back(text);
    return out;
  }

  ScriptedDialogs dialogs;
  HookPump pump;
  RecordingFactory engine;
  TestWindow window;
  graphing::GraphingRun run{engine, dialogs, pump, window};
};

}  // namespace testing_support
