#pragma once
// Lets a test binary double as "an engine instance in another process": started with
// TESSALINE_HOLD_INSTANCE=<instances folder>, it creates an engine registered there, prints
// "ready" and holds it until its standard input closes. Each test binary that needs it
// includes this header in one file and calls holdInstanceIfAsked() from a static initializer.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "automation/engine_factory.h"

namespace engine_test {

inline constexpr const char* kHoldInstanceVariable = "TESSALINE_HOLD_INSTANCE";

inline bool holdInstanceIfAsked() {
  const char* folder = std::getenv(kHoldInstanceVariable);
  if (!folder) return false;
  QTemporaryDir work;
  automation::EngineOptions options;
  options.instancesFolder = QString::fromLocal8Bit(folder);
  options.workingFolder = work.path();
  options.viewerCommand = QString("none");
  auto application = automation::EngineFactory(options).create();
  std::printf("ready\n");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  application.reset();
  std::_Exit(0);
}

// A child process holding an instance registered in `instancesFolder`.
class InstanceInOtherProcess {
 public:
  explicit InstanceInOtherProcess(const QString& instancesFolder, const QString& program) {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kHoldInstanceVariable, instancesFolder);
    process_.setProcessEnvironment(environment);
    process_.start(program, QStringList{});
    ready_ = process_.waitForStarted(10000) && process_.waitForReadyRead(30000) &&
             process_.readLine().trimmed() == "ready";
  }
  ~InstanceInOtherProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.closeWriteChannel();
    if (!process_.waitForFinished(10000)) process_.kill();
    process_.waitForFinished(10000);
  }
  bool ready() const { return ready_; }
  // Ends normally: the instance releases its entry.
  void release() {
    process_.closeWriteChannel();
    process_.waitForFinished(10000);
  }
  // Ends like a crash: the entry stays behind, its lock gone with the process.
  void crash() {
    process_.kill();
    process_.waitForFinished(10000);
  }

 private:
  QProcess process_;
  bool ready_ = false;
};

}  // namespace engine_test
