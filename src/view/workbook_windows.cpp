#include "view/workbook_windows.h"

#include <QApplication>

#include "workbook_file/xlsx_export.h"
#include "view/workbook_window.h"

namespace view {

ShowWorkbook workbookWindowOpener(OpenInSpreadsheet open) {
  return [open](std::shared_ptr<const core::WorkbookModel> workbook, const QString& file,
                 std::shared_ptr<const void> instance) {
    WorkbookWindowActions actions = WorkbookWindowActions::withQtDialogs();
    actions.writeXlsx = [](const core::WorkbookModel& book, const QString& path) {
      workbook_file::exportXlsx(book, path.toStdString());
    };
    actions.openInSpreadsheet = open;
    auto* window = new WorkbookWindow(std::move(workbook), file, std::move(actions), std::move(instance));
    window->show();
    window->raise();
    window->activateWindow();
  };
}

bool anyWorkbookWindowOpen() {
  const auto windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(), [](const QWidget* widget) {
    return qobject_cast<const WorkbookWindow*>(widget) && widget->isVisible();
  });
}

}  // namespace view
