#pragma once
// Everything the main window talks to outside itself. The program wires the real desktop;
// tests wire scripted doubles.
#include <QString>
#include <functional>

namespace platform {
class Dialogs;
class Launcher;
class EventPump;
class Clock;
class Random;
}  // namespace platform
namespace excel {
class ApplicationFactory;
}

namespace app {

class SettingsStore;

struct Services {
  platform::Dialogs& dialogs;
  platform::Launcher& launcher;
  platform::EventPump& pump;
  platform::Clock& clock;
  platform::Random& random;
  SettingsStore& settings;
  excel::ApplicationFactory& excel;
  QString programFolder;                // the folder of the running executable, no trailing "/"
  std::function<void()> endProgram;     // ends the process at once
  // Why the folder the engine writes its workbooks into cannot be used, or empty text; none
  // given means the folder is not looked at.
  std::function<QString()> workingFolderProblem = {};
};

}  // namespace app
