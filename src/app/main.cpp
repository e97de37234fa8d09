// Tessaline: the main window, wired to the desktop.
#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "batch/file_settings_store.h"
#include "app/form1.h"
#include "app/program_ending.h"
#include "app/window_lock.h"
#include "app/working_folder_check.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform_qt/qt_launcher.h"
#include "platform_qt/qt_dialogs.h"
#include "platform/termination_requests.h"
#include "output/temporaries.h"
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

// The way out, whichever window or request asks for it: no further event or step runs, the
// clean-ups are done and the lock is given back.
[[noreturn]] void endProcess(app::WindowLock& lock) {
  std::fflush(nullptr);
  platform::TerminationRequests::runCleanups();
  lock.release();
  std::_Exit(0);
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
  app::Form1* mainWindow = nullptr;  // once it exists: its bar shows how far the workbook is written
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
  app::SetApplicationTitle();
  app::WindowLock windowLock(settings.sectionFolder());
  if (!windowLock.tryTake()) {
    dialogs.messageBox(QString::fromLatin1(app::kAlreadyOpenText), platform::Buttons::Ok, platform::Icon::None, {});
    return 0;
  }
  // Work that must be done however the program ends (platform::TerminationRequests::addCleanup)
  // is registered here, before the window opens.
  app::ProgramEnding ending({view::anyWorkbookWindowOpen,
                             [&mainWindow] {
                               if (mainWindow) mainWindow->Form_QueryUnload();
                             },
                             [&windowLock] { endProcess(windowLock); }});
  app::Services services{dialogs, launcher, pump, clock, random, settings, engine,
                         QDir::cleanPath(QCoreApplication::applicationDirPath()),
                         [&ending] { ending.endProgram(); },
                         [&engine] { return app::workingFolderProblem(engine.workingFolder()); }};
  app::Form1 window(services);
  mainWindow = &window;
  dialogs.setParentWindow(&window);
  window.Form_Load();
  QApplication::setWindowIcon(window.windowIcon());  // the workbook windows carry it too
  window.show();
  // From here on the list is whole: a shutdown, a log-off or a closed terminal saves it as the
  // closing does and ends the program, workbook windows or not. Qt does not close windows at the
  // end of a session by itself.
  platform::TerminationRequests termination;
  output::removeTemporariesOnSignal();  // after the handlers above, which it passes the signal on to
  QObject::connect(&termination, &platform::TerminationRequests::requested, &window, [&ending] { ending.terminate(); });
  QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                   [&window](QSessionManager&) { window.Form_QueryUnload(); });
  const int status = application.exec();  // returns when the last workbook window closes
  platform::TerminationRequests::runCleanups();
  return status;
}
