#include "graphing/excel_checks.h"

namespace graphing {

const QString kExcelNotCreatedText = QStringLiteral(
    "Error 842001. A normal instance of Excel could not be created."
    "\r\n\r\n"
    "1. Please make sure Excel is installed on this computer."
    "\r\n\r\n"
    "2. Please open Excel normally and make sure a blank spreadsheet opens immediately without any "
    "interrupting window (such as an Excel file recovery window)."
    "\r\n\r\n"
    "3. Please make sure that when you double-click on a XLS or XLSX file that Excel opens normally "
    "without any interrupting messages."
    "\r\n\r\n"
    "4. All versions of Excel are supported by this software except for the rare Excel Starter and "
    "Student editions.");

const QString kExcelMayBeOpenText = QStringLiteral(
    "Excel may be open. It is recommended that you close Excel first."
    "\r"
    "Use Ctrl+Alt+Del > Task Manager > EXCEL.EXE if necessary."
    "\r\n\r\n"
    "Would you like to proceed anyway?");

namespace {

bool canCreate(excel::ApplicationFactory& factory) {
  try {
    return factory.create() != nullptr;  // the reference is released right here
  } catch (...) {
    return false;
  }
}

}  // namespace

void CheckExcelInstalled(excel::ApplicationFactory& factory, platform::Dialogs& dialogs,
                         const std::function<void()>& endProgram) {
  if (canCreate(factory)) return;
  dialogs.messageBox(kExcelNotCreatedText, platform::Buttons::Ok, platform::Icon::None);
  endProgram();
}

bool IsExcelRunning(excel::ApplicationFactory& factory) {
  try {
    auto running = factory.attachRunning();
    return running && running->name() == kExcelApplicationName;
  } catch (...) {
    return false;
  }
}

bool WarnExcelOpen(excel::ApplicationFactory& factory, platform::Dialogs& dialogs) {
  if (!IsExcelRunning(factory)) return false;
  return dialogs.messageBox(kExcelMayBeOpenText, platform::Buttons::YesNo, platform::Icon::None) ==
         platform::Answer::No;
}

}  // namespace graphing
