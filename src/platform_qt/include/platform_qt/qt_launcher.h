#pragma once
// The desktop's own launcher: QDesktopServices and detached processes.
#include "platform/launcher.h"

namespace platform {

class QtLauncher : public Launcher {
 public:
  bool openUrl(const QString& url) override;
  bool startDetached(const QString& program, const QStringList& arguments) override;
};

}  // namespace platform
