#include "automation/engine_factory.h"

#include <unistd.h>

#include "automation/hand_over.h"
#include "automation/running_instance_proxy.h"
#include "workbook_errors.h"
#include "workbook_errors.h"

namespace automation {

EngineFactory::EngineFactory(EngineOptions options)
    : options_(std::move(options)),
      registry_(options_.instancesFolder.isEmpty() ? automation::defaultInstancesFolder() : options_.instancesFolder),
      ids_(std::random_device{}()) {}

QString EngineFactory::workingFolder() const {
  return options_.workingFolder.isEmpty() ? automation::defaultWorkingFolder() : options_.workingFolder;
}

std::shared_ptr<EngineApplication> EngineFactory::createEngine() {
  const QString folder = workingFolder();
  try {
    automation::prepareWorkingFolder(folder);
  } catch (const core::WorkbookError& error) {
    throw excel::AutomationError(std::string("A new instance could not be created. ") + error.what());
  }
  const std::uint64_t id = ids_();
  auto application = std::make_shared<EngineApplication>(options_, folder, asAutomation([&] { return registry_.add(id); }));
  mine_[id] = application;
  std::erase_if(mine_, [](const auto& entry) { return entry.second.expired(); });
  return application;
}

std::shared_ptr<excel::Application> EngineFactory::create() { return createEngine(); }

std::shared_ptr<excel::Application> EngineFactory::attachRunning() {
  const auto entries = registry_.live();
  for (const auto& entry : entries) {
    if (entry.pid != ::getpid()) continue;
    auto found = mine_.find(entry.id);
    if (found == mine_.end()) continue;
    if (auto application = found->second.lock()) return application;
  }
  if (!entries.empty()) return std::make_shared<RunningInstanceProxy>(entries.front());
  throw excel::AutomationError("Operation unavailable: no instance is running.");
}

}  // namespace automation
