// Filling and keeping the list: Add Equation, files, samples, Clear List, Help, the saved list.
#include "app/form1.h"

#include <iterator>

#include "batch/saved_list_keeper.h"
#include "equations/add_equation_prompts.h"
#include "equations/equation_file.h"
#include "equations/samples_and_help.h"
#include "platform/error_report.h"

namespace app {

using platform::ErrorTrap;

namespace {

// Add Equation's steps for the start, end and step values.
constexpr equations::PromptLines kStartPromptLines{106, 108, 110};
constexpr equations::PromptLines kEndPromptLines{114, 116, 118};
constexpr equations::PromptLines kStepPromptLines{122, 124, 126};
// Load Sample/Example Files: the step of each sample row, in the order of the rows.
constexpr int kSampleRowLines[] = {100, 108};
static_assert(std::size(kSampleRowLines) == equations::kSampleRows.size());

}  // namespace

void Form1::PushButton1_Click() {
  ErrorTrap trap(services_.dialogs, ErrorTrap::locationOf("PushButton1_Click"));
  QString equation;
  trap.step(102, [&] {
    equation = services_.dialogs.inputBox(equations::equationPromptText(),
                                          QString::fromLatin1(equations::kEquationPromptTitle),
                                          QString::fromLatin1(equations::kEquationPromptDefault));
  });
  if (trap.test(104, [&] { return !equations::isAcceptedEquation(equation); })) return;
  const QString start = equations::askForNumericValue(trap, equations::kStartPrompt, kStartPromptLines);
  const QString end = equations::askForNumericValue(trap, equations::kEndPrompt, kEndPromptLines);
  const QString step = equations::askForNumericValue(trap, equations::kStepPrompt, kStepPromptLines);
  trap.step(130, [&] { equations::AddEquationRow(list_, equation, start, end, step); });
}

void Form1::PushButton3_Click() {
  ErrorTrap trap(services_.dialogs, ErrorTrap::locationOf("PushButton3_Click"));
  trap.step(100, [&] {
    if (mousePointer_ != MousePointer::Busy) list_.clear();
  });
}

void Form1::PushButton4_Click() {
  ErrorTrap trap(services_.dialogs, ErrorTrap::locationOf("PushButton4_Click"));
  platform::FileOpenSettings settings;
  trap.step(100, [&] { settings = equations::equationFileDialogSettings(); });
  platform::FileOpenResult chosen;
  trap.step(108, [&] {
    chosen = services_.dialogs.openFile(settings);
    if (chosen.outcome == platform::FileOpenOutcome::Failed) throw platform::StepFailure(chosen.failure.toStdString());
  });
  if (trap.test(110, [&] { return chosen.outcome == platform::FileOpenOutcome::TooManyNames; })) {
    trap.step(112, [&] {
      services_.dialogs.messageBox(equations::tooManyFilesText(), platform::Buttons::Ok, platform::Icon::None);
    });
    return;
  }
  if (trap.test(114, [&] { return chosen.outcome != platform::FileOpenOutcome::Chosen || chosen.paths.isEmpty(); }))
    return;
  trap.step(116, [&] { setMousePointer(MousePointer::Busy); });
  const QStringList& paths = chosen.paths;
  if (paths.size() == 1) {
    trap.step(120, [&] { equations::LoadEquationFile(list_, paths.first(), services_.dialogs); });
  } else {
    for (qsizetype i = 0; i < paths.size();) {
      QString path;
      trap.step(130, [&] { path = equations::NormalizeSelectedPath(paths[i]); });
      trap.step(134, [&] { equations::LoadEquationFile(list_, path, services_.dialogs); });
      if (!trap.advance(136, [&] { return ++i < paths.size(); })) break;
    }
  }
  trap.step(144, [&] { setMousePointer(MousePointer::Default); });
}

void Form1::PushButton5_Click() {
  ErrorTrap trap(services_.dialogs, ErrorTrap::locationOf("PushButton5_Click"));
  trap.step(100, [&] {
    services_.dialogs.messageBox(equations::helpText(), platform::Buttons::Ok, platform::Icon::None);
  });
}

void Form1::PushButton6_Click() {
  ErrorTrap trap(services_.dialogs, ErrorTrap::locationOf("PushButton6_Click"));
  for (size_t i = 0; i < equations::kSampleRows.size(); ++i) {
    const equations::SampleRow& row = equations::kSampleRows[i];
    trap.step(kSampleRowLines[i], [&] {
      equations::AddEquationRow(list_, QString::fromLatin1(row.equation), QString::fromLatin1(row.start),
                                QString::fromLatin1(row.end), QString::fromLatin1(row.step));
    });
  }
}

void Form1::Form_QueryUnload() {
  ErrorTrap trap(services_.dialogs, ErrorTrap::locationOf("Form_QueryUnload"));
  saveEquationList(list_, services_.settings, trap, savedListUnread_);
  // Once this window's rows are stored, a later save (the session's, then the window's) is an
  // ordinary one.
  if (trap.reported() == 0 && list_.count() > 0) savedListUnread_ = false;
}

void Form1::restoreSavedList(ErrorTrap& trap) {
  savedListUnread_ = !restoreEquationList(list_, services_.settings, trap);
}

}  // namespace app
