#include "batch/plot_tool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "batch/file_settings_store.h"
#include "batch/list_rows.h"
#include "batch/saved_list.h"
#include "batch/saved_list_keeper.h"
#include "equations/equation_file.h"
#include "equations/equation_list.h"
#include "platform/numeric_text.h"
#include "graphing/column_letters.h"
#include "graphing/graphing_run.h"
#include "graphing/graphing_window.h"
#include "platform/error_report.h"
#include "platform/event_pump.h"
#include "platform/file_check.h"
#include "automation/engine_factory.h"
#include "core/computation_notes.h"
#include "output/output_file.h"
#include "output/target_path.h"
#include "plot_output_guard.h"
#include "render/chart_extraction.h"
#include "render/chart_pictures.h"

#include <algorithm>

namespace app {
namespace {

// Failures of the tool's own run are reported under its name: "... in tessaline-plot at line 140".
const QString kPlotLocation = QStringLiteral("in tessaline-plot ");

void print(std::FILE* out, const QString& text) {
  std::fputs(platform::toDisplayText(text).toLocal8Bit().constData(), out);
  std::fputc('\n', out);
}

// Boxes become lines on the message stream. Nobody is there to answer: a question about a
// running instance is answered "go on", since the tool writes its own file.
class StreamDialogs : public platform::Dialogs {
 public:
  explicit StreamDialogs(std::FILE* out) : out_(out) {}
  platform::Answer messageBox(const QString& text, platform::Buttons buttons, platform::Icon, const QString&) override {
    print(out_, text);
    return buttons == platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
  }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  platform::FileOpenResult openFile(const platform::FileOpenSettings&) override { return {}; }

 private:
  std::FILE* out_;
};

class NoPump : public platform::EventPump {
 public:
  void yield() override {}
};

class BatchWindow : public graphing::GraphingWindow {
 public:
  BatchWindow(const equations::EquationListModel& rows, bool oneChart, std::FILE* progressTo)
      : rows_(rows), oneChart_(oneChart), progressTo_(progressTo) {}
  const graphing::EquationRows& rows() const override { return rows_; }
  bool separateChartsSelected() const override { return !oneChart_; }
  bool oneChartSelected() const override { return oneChart_; }
  void setBusyPointer(bool) override {}
  void setProgressValue(int percent) override {
    if (progressTo_) std::fprintf(progressTo_, "\r%3d%%", percent), std::fflush(progressTo_);
  }
  void setProgressText(const QString& text) override {
    if (!progressTo_) return;
    // The writing step shows until the run resets the bar; then the line is cleared.
    if (text == QLatin1String(graphing::kWritingWorkbook))
      std::fprintf(progressTo_, "\r%s", graphing::kWritingWorkbook);
    else
      std::fprintf(progressTo_, "\r%*s\r", static_cast<int>(sizeof graphing::kWritingWorkbook), "");
    std::fflush(progressTo_);
  }

 private:
  ListRows rows_;
  bool oneChart_;
  std::FILE* progressTo_;
};

// Keeps the last instance it made after the run lets go of it, so that the tool can still read
// the workbook that instance handed over.
class KeepingFactory : public excel::ApplicationFactory {
 public:
  explicit KeepingFactory(automation::EngineFactory& engines) : engines_(engines) {}
  std::shared_ptr<excel::Application> create() override { return kept_ = engines_.createEngine(); }
  std::shared_ptr<excel::Application> attachRunning() override { return engines_.attachRunning(); }
  std::shared_ptr<const core::WorkbookModel> workbook() const {
    return kept_ && kept_->workbookCount() > 0 ? kept_->activeWorkbook() : nullptr;
  }

 private:
  automation::EngineFactory& engines_;
  std::shared_ptr<automation::EngineApplication> kept_;
};

std::optional<QSize> parsePictureSize(const QString& text) {
  const QStringList parts = text.toLower().split(QLatin1Char('x'));
  if (parts.size() != 2) return std::nullopt;
  bool wideOk = false, highOk = false;
  const int width = parts[0].toInt(&wideOk), height = parts[1].toInt(&highOk);
  if (!wideOk || !highOk || width < 1 || height < 1 || width > 20000 || height > 20000) return std::nullopt;
  return QSize(width, height);
}

// False when a row source failed; what failed has been said on `messages`.
bool takeRows(const PlotRequest& request, const PlotEnvironment& environment, equations::EquationListModel& rows,
              StreamDialogs& dialogs, std::FILE* messages) {
  bool savedListRead = true;
  if (request.saved) {
    FileSettingsStore store(environment.settingsBaseFolder);
    platform::ErrorTrap trap(dialogs, kPlotLocation);
    restoreEquationList(rows, store, trap);
    savedListRead = trap.reported() == 0;
  }
  for (const QStringList& e : request.equations) equations::AddEquationRow(rows, e[0], e[1], e[2], e[3]);
  for (const QString& file : request.files) {
    try {
      if (!platform::FileExists(file)) {
        print(messages, QStringLiteral("tessaline-plot: %1: no such file").arg(file));
        return false;
      }
      equations::LoadEquationFile(rows, file, dialogs);
    } catch (const std::bad_alloc&) {
      print(messages, QStringLiteral("tessaline-plot: %1: there is not enough memory to read it.").arg(file));
      return false;
    } catch (const std::exception& e) {
      print(messages, QStringLiteral("tessaline-plot: ") + QString::fromUtf8(e.what()));
      return false;
    }
  }
  return savedListRead;
}

}  // namespace

QString leftOutText(int leftOut, int total) {
  return QStringLiteral("%1 of the %2 equations were left out: one workbook plots at most %3, two columns "
                        "each on its Data sheet of %4 columns.")
      .arg(leftOut)
      .arg(total)
      .arg(graphing::kClassicColumns / 2)
      .arg(graphing::kClassicColumns);
}

QString plotUsage() {
  return QStringLiteral(
      "Usage: tessaline-plot [--one-chart] [--saved] [-e EQUATION START END STEP]... [FILE]... -o BOOK.xlsx\n"
      "       tessaline-plot ... -o PICTURE.png|.svg|.pdf [--size WxH]\n"
      "\n"
      "Plots equations in x into a workbook: a hidden sheet Data with the x values and live\n"
      "formulas f(x), and smoothed-line XY scatter charts as chart sheets. Or draws the charts\n"
      "as pictures, as the workbook window shows them.\n"
      "\n"
      "  --saved        start with the list Tessaline saved when its window last closed\n"
      "  -e EQ S E T    add the equation EQ from S to E by steps of T (EQ may hold commas)\n"
      "  FILE           add every line of an equation file: equation, start, end, step\n"
      "  --one-chart    all equations as series of one chart (default: one chart each)\n"
      "  -o BOOK.xlsx   the workbook to write (required, or a picture)\n"
      "  -o NAME.png    the charts as PNG pictures: NAME.png for one chart, NAME-1.png,\n"
      "                NAME-2.png, ... for several; NAME.svg likewise as SVG\n"
      "  -o NAME.pdf    the charts as a PDF document, one page per chart\n"
      "  --size WxH     the pictures' size in pixels (default 1200x800; a PDF page is that\n"
      "                size at 96 pixels per inch)\n"
      "  -h, --help     this text\n"
      "  --version      the version of Tessaline\n"
      "\n"
      "Rows are taken in that order: saved list, then each -e, then each FILE.\n"
      "Exit status: 0 when the workbook or pictures were written without any failure, 1 otherwise,\n"
      "2 for bad arguments. Values that need a function Tessaline leaves to the spreadsheet\n"
      "application are told and are no failure; an equation that reads its own cell (a circular\n"
      "reference) is one.");
}

ParsedPlotRequest parsePlotArguments(const QStringList& arguments) {
  PlotRequest request;
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
      request.help = true;
      return {request, {}};
    } else if (a == QLatin1String("--version")) {
      request.version = true;
      return {request, {}};
    } else if (a == QLatin1String("--one-chart")) {
      request.oneChart = true;
    } else if (a == QLatin1String("--saved")) {
      request.saved = true;
    } else if (a == QLatin1String("-e")) {
      if (i + 4 >= arguments.size())
        return {{}, QStringLiteral("-e needs four values: EQUATION START END STEP")};
      const QStringList row = arguments.mid(i + 1, 4);
      for (int k = 1; k < 4; ++k)
        if (!platform::isNumeric(row[k]))
          return {{}, QStringLiteral("-e %1: \"%2\" is not a number").arg(row[0], row[k])};
      if (row[0].trimmed().isEmpty()) return {{}, QStringLiteral("-e: the equation is empty")};
      request.equations.push_back(row);
      i += 4;
    } else if (a == QLatin1String("--size")) {
      if (i + 1 >= arguments.size()) return {{}, QStringLiteral("--size needs WIDTHxHEIGHT, such as 1200x800")};
      request.size = parsePictureSize(arguments[++i]);
      if (!request.size)
        return {{}, QStringLiteral("--size %1: give WIDTHxHEIGHT in pixels, each from 1 to 20000").arg(arguments[i])};
    } else if (a == QLatin1String("-o")) {
      if (i + 1 >= arguments.size()) return {{}, QStringLiteral("-o needs a file name")};
      request.output = arguments[++i];
    } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
      return {{}, QStringLiteral("unknown option %1").arg(a)};
    } else {
      request.files << a;
    }
  }
  if (request.output.isEmpty()) return {{}, QStringLiteral("no output file: give -o BOOK.xlsx")};
  if (request.size && !render::pictureFormatOf(request.output))
    return {{}, QStringLiteral("--size is for pictures: give -o NAME.png, NAME.svg or NAME.pdf")};
  if (!request.saved && request.equations.empty() && request.files.isEmpty())
    return {{}, QStringLiteral("no equations: give --saved, -e or an equation FILE")};
  return {request, {}};
}

namespace {

QString kindOf(const QString& output) {
  return render::pictureFormatOf(output) ? QStringLiteral("the picture") : QStringLiteral("the workbook");
}

ProtectedFiles protectedFilesOf(const PlotRequest& request, const PlotEnvironment& environment) {
  const FileSettingsStore store(environment.settingsBaseFolder);
  return {request.files, store.pathOf(QString::fromLatin1(kSavedListKey)), store.sectionFolder()};
}

// The output must not land on one of the tool's own inputs, in the settings folder, nor on
// anything that is no file. Said on `messages`; false when refused.
bool outputsAreUsable(const QStringList& outputs, const ProtectedFiles& keep, std::FILE* messages) {
  for (const QString& output : outputs) {
    try {
      output::checkOutputTarget(output, kindOf(output).toStdString());
    } catch (const std::exception& e) {
      print(messages, QStringLiteral("tessaline-plot: ") + QString::fromUtf8(e.what()));
      return false;
    }
    const QString problem = protectedTargetProblem(output, kindOf(output), keep);
    if (!problem.isEmpty()) {
      print(messages, QStringLiteral("tessaline-plot: ") + problem);
      return false;
    }
  }
  return true;
}

}  // namespace

void printSummary(std::FILE* messages, const QString& output, int failures, bool written) {
  if (written)
    print(messages, QStringLiteral("tessaline-plot: %1 written, but %2 failure(s) were reported above.")
                        .arg(output)
                        .arg(failures));
  else
    print(messages, QStringLiteral("tessaline-plot: %1 was not written.").arg(output));
}

// Says what the workbook's cells do not show: values not computed here, which the spreadsheet
// application computes, and circular references, whose 0s make a wrong chart. Returns how many
// equations are circular: each is a failure.
int tellComputationNotes(const std::shared_ptr<const core::WorkbookModel>& workbook, bool pictures,
                         std::FILE* messages) {
  if (!workbook) return 0;
  int circular = 0;
  const auto audience = pictures ? core::NoteAudience::Pictures : core::NoteAudience::Workbook;
  for (const core::ComputationNote& note : core::computationNotes(*workbook)) {
    for (const std::string& sentence : core::noteSentences(note, note.name, audience))
      print(messages, QStringLiteral("tessaline-plot: ") + QString::fromStdString(sentence));
    circular += note.hasCircle() ? 1 : 0;
  }
  return circular;
}

namespace {

// Every picture's name is checked before any is drawn: NAME-2.png may be an equation file.
bool writePictures(const core::WorkbookModel& workbook, const QString& output, const PlotRequest& request,
                   const ProtectedFiles& keep, std::FILE* messages) {
  try {
    const std::vector<render::PlotChart> charts = render::plotChartsOf(workbook);
    if (!outputsAreUsable(render::pictureFileNames(output, charts.size()), keep, messages)) return false;
    render::writeChartPictures(charts, output, request.size.value_or(render::kDefaultPictureSize));
    return true;
  } catch (const render::PictureError& error) {
    print(messages, QStringLiteral("tessaline-plot: ") + QString::fromUtf8(error.what()));
  }
  return false;
}

// The tool's verdict, from the run's outcome and what it writes itself: what was left out, the
// pictures, what the cells do not show, then "Done." or a summary. Returns the exit status.
int presentOutcome(const graphing::RunOutcome& outcome, const PlotRequest& request, const QString& output,
                   const std::shared_ptr<const core::WorkbookModel>& workbook, const ProtectedFiles& keep,
                   std::FILE* messages) {
  const int total = static_cast<int>(outcome.equations.size());
  const int leftOut = outcome.count(graphing::EquationStatus::LeftOut);
  if (leftOut > 0) print(messages, QStringLiteral("tessaline-plot: ") + leftOutText(leftOut, total));
  int failures = static_cast<int>(outcome.failures.size()) + (leftOut > 0 ? 1 : 0);
  const bool pictures = render::pictureFormatOf(output).has_value();
  bool written = false;
  if (pictures) {
    // As the workbook is written despite a failed row, so are its pictures; the status tells.
    if (outcome.handOver.handedOver && workbook) written = writePictures(*workbook, output, request, keep, messages);
  } else {
    written = outcome.handOver.handedOver && !outcome.handOver.file.isEmpty();
  }
  if (written) failures += tellComputationNotes(workbook, pictures, messages);
  if (!written || !outcome.clean() || failures > 0) {
    printSummary(messages, request.output, failures, written);
    return 1;
  }
  print(messages, QString::fromLatin1(graphing::kDone));
  return 0;
}

}  // namespace

int runPlot(const PlotRequest& request, const PlotEnvironment& environment, std::FILE* messages) {
  const ProtectedFiles keep = protectedFilesOf(request, environment);
  if (!outputsAreUsable({request.output}, keep, messages)) return 1;  // as any write failure
  StreamDialogs dialogs(messages);
  equations::EquationListModel rows;
  if (!takeRows(request, environment, rows, dialogs, messages)) {
    printSummary(messages, request.output, 0, false);
    return 1;
  }

  const bool pictures = render::pictureFormatOf(request.output).has_value();
  // Absolute, with ".." left for the kernel: "link/../out.xlsx" is beside the link's target.
  const QString output = QString::fromStdString(output::absoluteWithoutCleaning(request.output.toStdString()));
  automation::EngineOptions options;
  std::shared_ptr<const core::WorkbookModel> drawn;
  if (pictures) options.takeWorkbook = [&drawn](std::shared_ptr<const core::WorkbookModel> book) { drawn = book; };
  else options.saveTo = output;
  options.viewerCommand = QStringLiteral("none");
  options.instancesFolder = environment.instancesFolder;
  options.workingFolder = QFileInfo(QString::fromStdString(output::resolvedOutputPath(output))).absolutePath();
  automation::EngineFactory engines(options);
  KeepingFactory factory(engines);
  NoPump pump;
  BatchWindow window(rows, request.oneChart, environment.showProgress ? messages : nullptr);
  // "Done." is the tool's to say, after a clean run only.
  graphing::GraphingRun run(factory, dialogs, pump, window, graphing::DoneSaidBy::Caller);
  run.StartGraphing(kPlotLocation);
  return presentOutcome(run.outcome(), request, output, pictures ? drawn : factory.workbook(), keep, messages);
}

}  // namespace app
