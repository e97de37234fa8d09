#include "graphing/column_letters.h"

#include "platform/dialogs.h"

namespace graphing {

QString ColumnLetters(int column, platform::Dialogs& dialogs) {
  if (column > kClassicColumns) {
    dialogs.messageBox(QString::fromLatin1(kTooManyColumns), platform::Buttons::Ok, platform::Icon::None);
    return {};
  }
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  int lead = column / 26;
  int trail = column - 26 * lead;
  if (trail == 0) {
    lead -= 1;
    trail = 26;
  }
  QString letters;
  if (lead > 0) letters += QLatin1Char(kAlphabet[lead - 1]);
  if (trail >= 1 && trail <= 26) letters += QLatin1Char(kAlphabet[trail - 1]);
  return letters;
}

}  // namespace graphing
