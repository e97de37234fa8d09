// Figures for a list holding one huge field (a 50 MB equation from a file or the saved list):
// the time for the list view to appear and to repaint after a click, with the list model as the
// main window uses it, against a view that lays out the whole text (a QStandardItemModel holding
// the same field), in this run. Run under QT_QPA_PLATFORM=offscreen or a display.
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTreeView>

#include <cstdio>

#include "app/equation_table_model.h"
#include "equations/equation_list.h"

namespace {

struct Figures {
  double showMs = 0;
  double clickMs = 0;
};

Figures measure(QAbstractItemModel& model) {
  QTreeView view;
  view.setModel(&model);
  view.setUniformRowHeights(true);
  view.resize(520, 143);
  QElapsedTimer timer;
  timer.start();
  view.show();
  view.repaint();
  QApplication::processEvents();
  Figures figures;
  figures.showMs = timer.nsecsElapsed() / 1e6;
  timer.restart();
  view.setCurrentIndex(model.index(0, 0));
  view.viewport()->repaint();
  QApplication::processEvents();
  figures.clickMs = timer.nsecsElapsed() / 1e6;
  return figures;
}

Figures ours(const QString& field) {
  app::EquationTableModel list;
  for (const char* caption : {"Equations", "Start", "End", "Steps"}) list.addColumn(QString::fromLatin1(caption));
  equations::AddEquationRow(list, field, QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1"));
  return measure(list);
}

Figures wholeText(const QString& field) {
  QStandardItemModel model(0, 4);
  model.appendRow({new QStandardItem(field), new QStandardItem(QStringLiteral("0")), new QStandardItem(QStringLiteral("1")),
                   new QStandardItem(QStringLiteral("1"))});
  return measure(model);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const qsizetype baselineChars = 2'000'000;  // the whole-text view takes seconds already
  const QString small(baselineChars, QLatin1Char('x'));
  const Figures baseline = wholeText(small);
  const Figures same = ours(small);
  const Figures fifty = ours(QString(50'000'000, QLatin1Char('x')));
  std::printf("field of %lld characters, whole text laid out (baseline): show %.1f ms, click %.1f ms\n",
              static_cast<long long>(baselineChars), baseline.showMs, baseline.clickMs);
  std::printf("same field, the list model:                    show %.1f ms (%.4f x), click %.1f ms (%.4f x)\n",
              same.showMs, same.showMs / baseline.showMs, same.clickMs, same.clickMs / baseline.clickMs);
  std::printf("field of 50,000,000 characters, the list model: show %.1f ms (%.4f x), click %.1f ms (%.4f x)\n",
              fifty.showMs, fifty.showMs / baseline.showMs, fifty.clickMs, fifty.clickMs / baseline.clickMs);
  return 0;
}
