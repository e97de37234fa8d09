#include "app/working_folder_check.h"

#include <exception>

#include "automation/hand_over.h"

namespace app {

QString workingFolderProblem(const QString& folder) {
  try {
    automation::prepareWorkingFolder(folder);
    return {};
  } catch (const std::exception& error) {
    QString text = QStringLiteral("Tessaline cannot start. ") + QString::fromUtf8(error.what());
    // Without HOME the folders fall back to the root folder, which an ordinary user cannot write.
    if (qEnvironmentVariableIsEmpty("HOME"))
      text += QStringLiteral("\r\n\r\nHOME is not set, so there is no home folder for the workbooks and the saved "
                             "list. Start Tessaline with HOME set to your home folder.");
    return text;
  }
}

}  // namespace app
