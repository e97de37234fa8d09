#pragma once
// Saving the equation list when the window closes and restoring it when the window opens, as
// numbered steps of the handler whose trap is passed in.
#include <QStringView>

#include "equations/equation_list.h"

namespace platform {
class ErrorTrap;
}

namespace app {

class SettingsStore;

// Steps 100..108 of Form_QueryUnload: every row, whatever their number, in one value.
void saveEquationList(const equations::EquationListModel& list, SettingsStore& store,
                      platform::ErrorTrap& trap);

// Steps 144..164 of Form_Load: reads the saved value and appends its rows.
void restoreEquationList(equations::EquationListModel& list, SettingsStore& store,
                         platform::ErrorTrap& trap);
// Steps 148..164 alone, for saved text already read.
void restoreSavedRows(equations::EquationListModel& list, QStringView saved, platform::ErrorTrap& trap);

}  // namespace app
