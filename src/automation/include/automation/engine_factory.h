#pragma once
// Making engine instances and attaching to running ones.
#include <cstdint>
#include <map>
#include <memory>
#include <random>

#include "excel/excel.h"
#include "automation/engine_application.h"
#include "automation/engine_options.h"
#include "automation/instance_registry.h"

namespace automation {

class EngineFactory : public excel::ApplicationFactory {
 public:
  explicit EngineFactory(EngineOptions options = EngineOptions::fromEnvironment());

  // Fails when the per-user working folder cannot be created or written: without it nothing
  // could ever be handed over.
  std::shared_ptr<excel::Application> create() override;
  // An instance of this factory gives the object itself; one elsewhere (another process, or
  // another factory) gives a stand-in that answers name() while that instance lives.
  std::shared_ptr<excel::Application> attachRunning() override;

  std::shared_ptr<EngineApplication> createEngine();
  const EngineOptions& options() const { return options_; }
  QString workingFolder() const;

 private:
  EngineOptions options_;
  automation::InstanceRegistry registry_;
  std::map<std::uint64_t, std::weak_ptr<EngineApplication>> mine_;
  std::mt19937_64 ids_;
};

}  // namespace automation
