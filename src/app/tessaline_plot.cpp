// tessaline-plot: see plot_tool.h.
#include <QGuiApplication>
#include <cstdio>
#include <new>
#include <unistd.h>

#include "batch/file_settings_store.h"
#include "batch/plot_tool.h"
#include "output/temporaries.h"

namespace {

// The tool says what happened in its own words on stderr; Qt's notes about its environment
// ("QStandardPaths: XDG_RUNTIME_DIR not set" as root, font and painter warnings) would only bury
// them. Critical and fatal messages still go out.
void keepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "tessaline-plot: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(keepQtQuiet);
  // Ctrl+C or a SIGTERM in the middle of a write leaves no temporary behind, and a write past
  // the file size limit fails with a message instead of killing the tool (SIGXFSZ ignored).
  output::removeTemporariesOnSignal("tessaline-plot: stopped by a signal; no half-written file is left behind.\n");
  // Pictures are drawn offscreen: no display is needed, and none is ever opened.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
  QCoreApplication::setApplicationName(QStringLiteral("Tessaline"));
  const app::ParsedPlotRequest parsed = app::parsePlotArguments(application.arguments().mid(1));
  if (!parsed.request) {
    std::fprintf(stderr, "tessaline-plot: %s\nTry 'tessaline-plot --help'.\n", parsed.error.toLocal8Bit().constData());
    return 2;
  }
  if (parsed.request->version) {
    std::printf("tessaline-plot %s\n", TESSALINE_VERSION);
    return 0;
  }
  if (parsed.request->help) {
    std::printf("%s\n", app::plotUsage().toLocal8Bit().constData());
    return 0;
  }
  app::PlotEnvironment environment;
  environment.settingsBaseFolder = app::FileSettingsStore::defaultBaseFolder();
  environment.showProgress = isatty(STDERR_FILENO);
  try {
    return app::runPlot(*parsed.request, environment, stderr);
  } catch (const std::bad_alloc&) {
    std::fputs("tessaline-plot: there is not enough memory to finish the run.\n", stderr);
    return 1;
  }
}
