#include "sheets/engine_options.h"

#include <QDir>
#include <QStandardPaths>

#include <unistd.h>

namespace sheets {

EngineOptions EngineOptions::fromEnvironment() {
  EngineOptions options;
  if (qEnvironmentVariableIsSet("TESSALINE_VIEWER")) options.viewerCommand = qEnvironmentVariable("TESSALINE_VIEWER");
  return options;
}

// Per user, out of the user's documents: the application's data folder, else its cache.
QString defaultWorkingFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (base.isEmpty()) base = QDir::tempPath() + "/tessaline-" + QString::number(getuid());
  return base + "/workbooks";
}

QString defaultInstancesFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (base.isEmpty()) base = QDir::tempPath() + "/tessaline-" + QString::number(getuid());
  return base + "/tessaline-instances";
}

}  // namespace sheets
