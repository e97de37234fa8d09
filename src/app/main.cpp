// Tessaline: the main window, wired to the desktop.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "app/file_settings_store.h"
#include "app/form1.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/launcher.h"
#include "platform/qt_dialogs.h"
#include "automation/engine_factory.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
  QCoreApplication::setApplicationName(QStringLiteral("Tessaline"));
  platform::QtDialogs dialogs;
  platform::QtLauncher launcher;
  platform::QtEventPump pump;
  platform::SystemClock clock;
  platform::StdRandom random;
  app::FileSettingsStore settings(app::FileSettingsStore::defaultBaseFolder());
  automation::EngineOptions engineOptions = automation::EngineOptions::fromEnvironment();
  engineOptions.whileWaiting = [&pump] { pump.yield(); };  // the window stays alive during a hand-over
  engineOptions.random = [&random] { return random.next(); };  // RAND() in the workbooks
  automation::EngineFactory engine(engineOptions);
  app::Services services{dialogs, launcher, pump, clock, random, settings, engine,
                         QDir::cleanPath(QCoreApplication::applicationDirPath()),
                         // Ends the program at once: no further event or step runs.
                         [] {
                           std::fflush(nullptr);
                           std::_Exit(0);
                         }};
  app::Form1 window(services);
  dialogs.setParentWindow(&window);
  window.Form_Load();
  window.show();
  return application.exec();
}
