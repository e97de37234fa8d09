#pragma once
// The rows the graphing run plots, as it reads them: a small interface of its own, so that the
// run needs neither the list's model nor any window. Whoever owns the rows implements it.
#include <QString>

namespace graphing {

// One row as the user entered it: the equation in x and its start, end and step as text.
struct EquationRow {
  QString equation;
  QString start;
  QString end;
  QString step;
};

class EquationRows {
 public:
  virtual ~EquationRows() = default;
  virtual int count() const = 0;
  // Positions count from 1, as the list shows them; only 1 .. count() are asked for.
  virtual EquationRow row(int position) const = 0;
};

}  // namespace graphing
