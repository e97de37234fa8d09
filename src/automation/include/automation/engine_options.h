#pragma once
// Settings of the engine, fixed when the factory is made. No global state: tests make their
// own options, the program takes them from the environment.
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "core/random_source.h"
#include "automation/hand_over.h"

namespace automation {

struct EngineOptions {
  // Where handed-over workbooks (BookN.xlsx) go. Empty: the per-user default.
  QString workingFolder;
  // The per-user table of running instances. Empty: the per-user runtime default.
  QString instancesFolder;
  // The spreadsheet application's command, the file appended ("none": write the file only).
  // Unset: the window of showWorkbook, or the desktop's default application without one.
  std::optional<QString> viewerCommand;
  automation::ShowWorkbook showWorkbook;
  // Set: Visible = True hands the active workbook here and writes nothing (pictures of the
  // batch tool).
  automation::TakeWorkbook takeWorkbook;
  // Non-empty: Visible = True saves the active workbook here and starts nothing (batch use).
  QString saveTo;
  // Number of worksheets in a new workbook (Application.SheetsInNewWorkbook).
  int sheetsInNewWorkbook = 1;
  automation::StartDetached startDetached;  // empty: QProcess::startDetached
  // Called again and again while a hand-over writes its file on a thread of its own, so the
  // caller's window stays alive (as it would with a spreadsheet application in a process of its
  // own). Empty: the file is written on the calling thread.
  std::function<void()> whileWaiting;
  // Hears how far a hand-over's file is written, from 0 up to 1, on the calling thread (between
  // calls of whileWaiting when that is set).
  std::function<void(double fraction)> writingProgress;
  // Where RAND() in the workbooks' formulas draws from. Empty: a source seeded at random.
  core::RandomSource random;

  // TESSALINE_VIEWER sets viewerCommand.
  static EngineOptions fromEnvironment();
};

}  // namespace automation
