// The two readers of user files, fed arbitrary bytes: an equation file (its decoding, lines and
// fields) when the first byte is even, the saved list (its rows, fields and the restore's
// reports) when it is odd. Any crash, sanitizer report, leak or uncaught exception is a finding,
// and so is a list with more rows than its text has lines or pieces.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "batch/saved_list.h"
#include "batch/saved_list_keeper.h"
#include "equations/equation_file.h"
#include "equations/equation_list.h"
#include "platform/dialogs.h"
#include "platform/error_report.h"

namespace {

// Nobody answers: every box is counted and answered OK.
class CountingDialogs : public platform::Dialogs {
 public:
  platform::Answer messageBox(const QString&, platform::Buttons, platform::Icon, const QString&) override {
    ++shown;
    return platform::Answer::Ok;
  }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  platform::FileOpenResult openFile(const platform::FileOpenSettings&) override { return {}; }
  long shown = 0;
};

void check(bool holds) {
  if (!holds) std::abort();
}

void readEquationFile(const QByteArray& bytes) {
  equations::EquationListModel list;
  const QString path = QStringLiteral("fuzz.txt");
  QString text;
  try {
    text = equations::textOfEquationFile(bytes, path);
    equations::appendEquationText(list, text, path);
  } catch (const platform::StepFailure&) {
    // A binary file or a malformed line: reported to the user, the rows before it kept.
  }
  const qsizetype lines = text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r')) + 1;
  check(list.count() <= lines);
}

void readSavedList(const QByteArray& bytes) {
  const QString saved = QString::fromUtf8(bytes);
  equations::EquationListModel list;
  CountingDialogs dialogs;
  platform::ErrorTrap trap(dialogs, platform::ErrorTrap::locationOf("Form_Load"));
  app::restoreSavedRows(list, saved, trap);
  const auto pieces = app::splitSavedRows(saved);
  check(list.count() <= static_cast<int>(pieces.size()));
  check(dialogs.shown <= 3 * static_cast<long>(pieces.size()));
  // What was restored saves to text that restores to the same number of rows or more (a field
  // may end in part of a separator; the format has no escaping).
  equations::EquationListModel again;
  app::restoreSavedRows(again, app::savedListText(list), trap);
  check(again.count() >= list.count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
  if (data[0] % 2 == 0) readEquationFile(bytes);
  else readSavedList(bytes);
  return 0;
}
