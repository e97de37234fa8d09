#pragma once
// A main window wired to scripted doubles and an isolated engine.
#include <memory>

#include "app/form1.h"
#include "support/doubles.h"
#include "support/settings_doubles.h"
#include "support/engine_fixture.h"
#include "support/scripted_dialogs.h"

namespace testing_support {

struct FormFixture {
  FormFixture() : FormFixture(nullptr) {}
  // `adjustEngine` changes the engine's options before it is made.
  explicit FormFixture(const std::function<void(automation::EngineOptions&)>& adjustEngine)
      : engine(1, adjustEngine), form(std::make_unique<app::Form1>(services)) {}

  ScriptedDialogs dialogs;
  RecordingLauncher launcher;
  HookPump pump;
  FixedClock clock;
  ScriptedRandom random;
  MemorySettingsStore settings;
  RecordingFactory engine;
  int programEnds = 0;
  QString programFolder = QStringLiteral("/nonexistent-program-folder");
  app::Services services{dialogs, launcher, pump,           clock, random, settings,
                         engine,  programFolder, [this] { ++programEnds; }};
  std::unique_ptr<app::Form1> form;
};

}  // namespace testing_support
