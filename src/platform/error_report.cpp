#include "platform/error_report.h"

#include <exception>

namespace platform {

QString errorReportText(const QString& location, int line, const QString& description) {
  return description + QLatin1String("\r\n") + location + QLatin1String("at line ") +
         QString::number(line) + QLatin1String("\r\r") +
         QLatin1String("Please email screenshot of this message to ") + QLatin1String(kSupportEmail);
}

void ReportError(Dialogs& dialogs, const QString& location, int line, const QString& description) {
  dialogs.messageBox(errorReportText(location, line, description), Buttons::Ok, Icon::Warning,
                     QString::fromLatin1(kErrorTitle));
}

QString ErrorTrap::locationOf(const char* handler) {
  return QLatin1String("in Lumenark2021/08/31.Form1.") + QLatin1String(handler) + QLatin1Char(' ');
}

void ErrorTrap::report(int line) {
  QString description;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    description = QString::fromLatin1(kOutOfMemory);
  } catch (const std::exception& e) {
    description = QString::fromUtf8(e.what());
  } catch (...) {
    description = QStringLiteral("Unexpected failure");
  }
  fail(line, description);
}

}  // namespace platform
