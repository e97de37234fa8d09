#pragma once
// Saving the equation list when the window closes and restoring it when the window opens, as
// numbered steps of the handler whose trap is passed in.
#include <QString>
#include <QStringView>

#include "equations/equation_list.h"

namespace platform {
class ErrorTrap;
}

namespace app {

class SettingsStore;

// Steps 100..108 of Form_QueryUnload: every row, whatever their number, in one value.
// storedValueUnread: the restore could not read the stored value. It is then never replaced
// by what this window holds without a word: an empty list writes nothing, and a list with rows
// first moves the stored value aside and tells the user where it is kept.
void saveEquationList(const equations::EquationListModel& list, SettingsStore& store,
                      platform::ErrorTrap& trap, bool storedValueUnread = false);

// Steps 144..164 of Form_Load: reads the saved value and appends its rows. Anything the store
// has to say about the value read is shown in a box. Returns false when the value could not be
// read (the failure was reported).
bool restoreEquationList(equations::EquationListModel& list, SettingsStore& store,
                         platform::ErrorTrap& trap);

// The box shown at closing after an unread stored value was moved aside.
QString unreadListKeptText(const QString& keptIn);
// Steps 148..164 alone, for saved text already read.
void restoreSavedRows(equations::EquationListModel& list, QStringView saved, platform::ErrorTrap& trap);

}  // namespace app
