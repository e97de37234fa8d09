#include "graphing/column_letters.h"

#include "core/cell_address.h"
#include "platform/dialogs.h"

namespace graphing {

QString ColumnLetters(int column, platform::Dialogs& dialogs) {
  if (column > kClassicColumns) {
    dialogs.messageBox(QString::fromLatin1(kTooManyColumns), platform::Buttons::Ok, platform::Icon::None);
    return {};
  }
  return QString::fromStdString(core::columnLetters(column));
}

}  // namespace graphing
