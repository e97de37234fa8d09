#pragma once
// Making engine instances and attaching to running ones.
#include <cstdint>
#include <map>
#include <memory>
#include <random>

#include "graphing/excel/excel.h"
#include "sheets/engine_application.h"
#include "sheets/engine_options.h"
#include "sheets/instance_registry.h"

namespace sheets {

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
  InstanceRegistry registry_;
  std::map<std::uint64_t, std::weak_ptr<EngineApplication>> mine_;
  std::mt19937_64 ids_;
};

}  // namespace sheets
