#pragma once
// The equation list as the graphing run reads it.
#include "equations/equation_list.h"
#include "graphing/equation_rows.h"

namespace app {

class ListRows : public graphing::EquationRows {
 public:
  explicit ListRows(const equations::EquationListModel& list) : list_(list) {}
  int count() const override { return list_.count(); }
  graphing::EquationRow row(int position) const override {
    const equations::EquationEntry& entry = list_.entry(position);
    return {entry.equation, entry.start, entry.end, entry.step};
  }

 private:
  const equations::EquationListModel& list_;
};

}  // namespace app
