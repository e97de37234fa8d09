// tessaline-plot: see plot_tool.h.
#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

#include "app/file_settings_store.h"
#include "app/plot_tool.h"

int main(int argc, char** argv) {
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
  return app::runPlot(*parsed.request, environment, stderr);
}
