#include "equations/samples_and_help.h"

namespace equations {

QString helpText() {
  const QString cr = QStringLiteral("\r");
  const QString crlf = QStringLiteral("\r\n");
  return QStringLiteral(
             "This software will create multiple charts based on the formulas entered above.") +
         crlf + crlf + QStringLiteral("Please note: ") + cr + crlf +
         QStringLiteral(
             "1. The text file used with the 'Load Equation From File' feature must be separated "
             "by comma:") +
         crlf + crlf + QStringLiteral("x + 3, 0, 20, 0.01") + crlf +
         QStringLiteral("sin(x) + x, 0, 10, 0.50") + crlf + QStringLiteral("(x * 3) - 3, 0, 15, 1") +
         crlf + crlf + QStringLiteral("2. Instead of entering 4x - 3, you must enter (4 * x) - 3") +
         crlf + crlf +
         QStringLiteral(
             "3. Instead of entering y = 2 * x you must enter 2 * x. Do not include y = ");
}

QString tooManyFilesText() {
  return QStringLiteral("You've selected too many files to add.") + QStringLiteral("\r\r") +
         QStringLiteral("Please try adding via the \"Add All\" button.");
}

}  // namespace equations
