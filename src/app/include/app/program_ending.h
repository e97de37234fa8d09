#pragma once
// How the program ends. Closing the main window ends it unless workbook windows are open: they
// keep it alive, and it ends with the last of them. A request to terminate (a shutdown, a
// closed terminal, kill) ends it whatever windows are open, once the list is saved as the
// main window's closing saves it; otherwise a workbook window would keep a process that was
// told to go, with its lock, for as long as nobody closes it.
#include <functional>
#include <utility>

namespace app {

class ProgramEnding {
 public:
  struct Ways {
    std::function<bool()> workbookWindowsOpen;
    std::function<void()> saveList;  // as the main window's closing saves it
    std::function<void()> exitNow;   // ends the process; no further event or step runs
  };
  explicit ProgramEnding(Ways ways) : ways_(std::move(ways)) {}

  // The main window closed (its list saved), or the program cannot go on.
  void endProgram();
  // Saves the list and ends the program. Only the first request does: a second one that
  // arrives while the first is still saving (a box waiting for an answer) does nothing more.
  void terminate();

 private:
  Ways ways_;
  bool terminating_ = false;
};

}  // namespace app
