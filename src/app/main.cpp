#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "app/form1.h"
#include "app/settings_store.h"
#include "graphing/excel/excel.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/launcher.h"
#include "platform/qt_dialogs.h"

namespace {
// Wired to the real store and engine as they arrive.
class MemorySettings : public app::SettingsStore {
 public:
  QString read(const QString&, const QString& d) override { return d; }
  void write(const QString&, const QString&) override {}
};
class NoEngine : public excel::ApplicationFactory {
 public:
  std::shared_ptr<excel::Application> create() override { throw excel::AutomationError("no engine"); }
  std::shared_ptr<excel::Application> attachRunning() override { throw excel::AutomationError("none"); }
};
}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  platform::QtDialogs dialogs;
  platform::QtLauncher launcher;
  platform::QtEventPump pump;
  platform::SystemClock clock;
  platform::StdRandom random;
  MemorySettings settings;
  NoEngine engine;
  app::Services services{dialogs, launcher, pump, clock, random, settings, engine,
                         QDir::cleanPath(QCoreApplication::applicationDirPath()),
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
