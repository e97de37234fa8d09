#pragma once
// tessaline-plot: the graphing run without a window, for scripts and servers.
//
//   tessaline-plot [--one-chart] [--saved] [-e EQUATION START END STEP]... [FILE]...
//                  -o BOOK.xlsx | -o PICTURE.png|.svg|.pdf [--size WxH]
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <vector>

namespace app {

struct PlotRequest {
  bool oneChart = false;
  bool saved = false;
  std::vector<QStringList> equations;  // each: equation, start, end, step
  QStringList files;
  QString output;             // .png, .svg or .pdf: pictures of the charts; otherwise the workbook
  std::optional<QSize> size;  // of the pictures
  bool help = false;
  bool version = false;
};

// The request, or an error message for the user.
struct ParsedPlotRequest {
  std::optional<PlotRequest> request;
  QString error;
};
ParsedPlotRequest parsePlotArguments(const QStringList& arguments);

QString plotUsage();

// Says that leftOut of total equations found no columns on the Data sheet.
QString leftOutText(int leftOut, int total);

// Rows from the saved list, then each -e, then each file; runs; writes the workbook.
// Messages and reports go to `messages`. Returns the process exit status.
struct PlotEnvironment {
  QString settingsBaseFolder;  // where the saved list lives
  QString instancesFolder;     // the table of running instances (empty: the per-user default)
  bool showProgress = false;
};
int runPlot(const PlotRequest& request, const PlotEnvironment& environment, std::FILE* messages);

}  // namespace app
