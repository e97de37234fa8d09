#include "view/workbook_windows.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "workbook_file/xlsx_export.h"
#include "view/window_placement.h"
#include "view/workbook_window.h"

namespace view {
namespace {

// Without a frame to measure, a new window still steps by about a title bar's height.
constexpr int kCascadeStepWithoutFrame = 28;

std::vector<QWidget*> openWorkbookWindows() {
  std::vector<QWidget*> open;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (qobject_cast<const WorkbookWindow*>(widget) && widget->isVisible()) open.push_back(widget);
  return open;
}

// The main window: the active window unless it is a workbook window, else the first visible
// top-level window that is not one.
const QWidget* mainWindow() {
  const QWidget* active = QApplication::activeWindow();
  if (active && !qobject_cast<const WorkbookWindow*>(active)) return active;
  for (const QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isWindow() && widget->isVisible() && !qobject_cast<const WorkbookWindow*>(widget) &&
        widget->windowType() != Qt::Popup && widget->windowType() != Qt::ToolTip)
      return widget;
  return nullptr;
}

}  // namespace

void placeNewWorkbookWindow(QWidget* window, const WindowSizeMemory& memory) {
  const QWidget* main = mainWindow();
  QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  // The main window's frame tells how much the window manager adds around ours.
  const QMargins frame = frameMarginsOf(main);
  const int step = frame.top() > 0 ? frame.top() : kCascadeStepWithoutFrame;
  int cascade = 0;
  for (const QWidget* open : openWorkbookWindows())
    if (open != window && open->screen() == screen) ++cascade;
  window->setGeometry(placeInside(wantedSize(memory.recall(), available), available, frame, cascade, step));
}

ShowWorkbook workbookWindowOpener(OpenInSpreadsheet open, QString sizeFile) {
  return [open, memory = WindowSizeMemory(std::move(sizeFile))](std::shared_ptr<const core::WorkbookModel> workbook,
                                                                const QString& file,
                                                                std::shared_ptr<const void> instance) {
    WorkbookWindowActions actions = WorkbookWindowActions::withQtDialogs();
    actions.writeXlsx = [](const core::WorkbookModel& book, const QString& path) {
      workbook_file::exportXlsx(book, path.toStdString());
    };
    actions.openInSpreadsheet = open;
    auto* window = new WorkbookWindow(std::move(workbook), file, std::move(actions), std::move(instance));
    placeNewWorkbookWindow(window, memory);
    memory.watch(window);
    window->show();
    bringToFront(window);
  };
}

void bringToFront(QWidget* window) {
  window->raise();
  window->activateWindow();
}

bool anyWorkbookWindowOpen() { return !openWorkbookWindows().empty(); }

}  // namespace view
