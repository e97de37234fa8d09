#include "app/program_ending.h"

namespace app {

void ProgramEnding::endProgram() {
  if (!terminating_ && ways_.workbookWindowsOpen && ways_.workbookWindowsOpen()) return;
  ways_.exitNow();
}

void ProgramEnding::terminate() {
  if (terminating_) return;
  terminating_ = true;
  ways_.saveList();
  ways_.exitNow();
}

}  // namespace app
