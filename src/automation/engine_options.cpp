#include "automation/engine_options.h"

namespace automation {

EngineOptions EngineOptions::fromEnvironment() {
  EngineOptions options;
  if (qEnvironmentVariableIsSet("TESSALINE_VIEWER")) options.viewerCommand = qEnvironmentVariable("TESSALINE_VIEWER");
  return options;
}

}  // namespace automation
