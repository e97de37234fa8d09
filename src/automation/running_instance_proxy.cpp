#include "automation/running_instance_proxy.h"

namespace automation {

std::string RunningInstanceProxy::name() {
  if (!automation::InstanceRegistry::isLive(entry_.path))
    throw excel::AutomationError("The remote server machine does not exist or is unavailable.");
  return "Microsoft Excel";
}

void RunningInstanceProxy::unavailable() const {
  throw excel::AutomationError("Only the name of an instance in another process (" + std::to_string(entry_.pid) +
                               ") can be read.");
}

}  // namespace automation
