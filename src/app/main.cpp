// Tessaline: the main window, wired to the desktop.
#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "batch/file_settings_store.h"
#include "app/form1.h"
#include "app/window_lock.h"
#include "app/working_folder_check.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform_qt/qt_launcher.h"
#include "platform_qt/qt_dialogs.h"
#include "platform/termination_requests.h"
#include "automation/engine_factory.h"
#include "view/window_placement.h"
#include "view/workbook_windows.h"

namespace {

constexpr char kUsage[] =
    "Usage: tessaline [--help] [--version] [Qt options]\n"
    "\n"
    "Plots many equations in x at once into a spreadsheet workbook. Opens the main window;\n"
    "tessaline-plot does the same run from the command line.\n"
    "\n"
    "  -h, --help     this text\n"
    "  --version      the version of Tessaline\n";

// Answered before the window system is reached, so both work without a display.
bool answeredFromCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("tessaline %s\n", TESSALINE_VERSION);
      return true;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (answeredFromCommandLine(argc, argv)) return 0;
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
  QCoreApplication::setApplicationName(QStringLiteral("Tessaline"));
  // Names the installed launcher, so the desktop shows its icon and name for our window.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.quorvane.tessaline"));
  platform::QtDialogs dialogs;
  platform::QtLauncher launcher;
  platform::QtEventPump pump;
  platform::SystemClock clock;
  platform::StdRandom random;
  app::FileSettingsStore settings(app::FileSettingsStore::defaultBaseFolder());
  automation::EngineOptions engineOptions = automation::EngineOptions::fromEnvironment();
  engineOptions.whileWaiting = [&pump] { pump.yield(); };  // the window stays alive during a hand-over
  engineOptions.random = [&random] { return random.next(); };  // RAND() in the workbooks
  app::Form1* mainWindow = nullptr;  // the bar that shows how far the workbook is written
  engineOptions.writingProgress = [&mainWindow](double fraction) {
    if (mainWindow) mainWindow->showWritingProgress(fraction);
  };
  // A run ends in a workbook window of ours, which can hand the book to the spreadsheet application.
  engineOptions.showWorkbook = view::workbookWindowOpener(
      [](const QString& book, view::OpenFinished finished) {
        automation::openWithViewer(std::nullopt, book, std::move(finished));
      },
      view::WindowSizeMemory::defaultFile());
  automation::EngineFactory engine(engineOptions);
  app::Services services{dialogs, launcher, pump, clock, random, settings, engine,
                         QDir::cleanPath(QCoreApplication::applicationDirPath()),
                         // Ends the program at once: no further event or step runs. Open
                         // workbook windows stay, and the program ends with the last of them.
                         [] {
                           if (view::anyWorkbookWindowOpen()) return;
                           std::fflush(nullptr);
                           std::_Exit(0);
                         },
                         [&engine] { return app::workingFolderProblem(engine.workingFolder()); }};
  app::SetApplicationTitle();
  app::WindowLock windowLock(settings.sectionFolder());
  if (!windowLock.tryTake()) {
    dialogs.messageBox(QString::fromLatin1(app::kAlreadyOpenText), platform::Buttons::Ok, platform::Icon::None, {});
    return 0;
  }
  app::Form1 window(services);
  mainWindow = &window;
  dialogs.setParentWindow(&window);
  window.Form_Load();
  QApplication::setWindowIcon(window.windowIcon());  // the workbook windows carry it too
  window.show();
  // From here on the list is whole: a shutdown, a log-off or a closed terminal saves it as the
  // closing does. Qt does not close windows at the end of a session by itself.
  platform::TerminationRequests termination;
  QObject::connect(&termination, &platform::TerminationRequests::requested, &window, &QWidget::close);
  QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                   [&window](QSessionManager&) { window.Form_QueryUnload(); });
  return application.exec();
}
