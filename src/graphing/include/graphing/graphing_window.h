#pragma once
// What the graphing run needs from the window that started it: the rows, the chosen mode, the
// pointer and the progress bar. The main window and the batch tool each provide one.
#include <QString>

#include "graphing/equation_rows.h"

namespace graphing {

class GraphingWindow {
 public:
  virtual ~GraphingWindow() = default;
  virtual const EquationRows& rows() const = 0;
  virtual bool separateChartsSelected() const = 0;  // "Graph each equation on separate graph"
  virtual bool oneChartSelected() const = 0;        // "Graph all equations on one graph"
  virtual void setBusyPointer(bool busy) = 0;
  virtual void setProgressValue(int percent) = 0;
  virtual void setProgressText(const QString& text) = 0;
};

}  // namespace graphing
