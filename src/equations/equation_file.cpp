#include "equations/equation_file.h"


#include "equation_lines.h"
#include "equations/repeat_sharer.h"
#include "equations/row_batch.h"
#include "equations/samples_and_help.h"
#include "text_decoding.h"
#include "platform/error_report.h"
#include "platform/file_check.h"
#include "platform/whole_file.h"

namespace equations {
namespace {

constexpr size_t kFieldsPerRow = 4;

[[noreturn]] void cannotRead(const QString& path, const QString& why) {
  throw platform::StepFailure(
      QStringLiteral("The equation file %1 could not be read: %2").arg(path, why).toStdString());
}

[[noreturn]] void malformedLine(const QString& path, int lineNumber, int fieldCount) {
  const QString found = fieldCount == 0 ? QStringLiteral("has no fields")
                        : fieldCount == 1 ? QStringLiteral("has 1 field")
                                          : QStringLiteral("has %1 fields").arg(fieldCount);
  throw platform::StepFailure(QStringLiteral("%1: line %2 of %3 %4, %5 are needed")
                                  .arg(QLatin1String(platform::kSubscriptOutOfRange))
                                  .arg(lineNumber)
                                  .arg(path, found)
                                  .arg(kFieldsPerRow)
                                  .toStdString());
}

QString readTextFile(const QString& path) {
  const platform::WholeFile file = platform::readWholeFile(path, kEquationFileLimit);
  if (file.outcome != platform::WholeFileOutcome::Read) cannotRead(path, file.why);
  return textOfEquationFile(file.bytes, path);
}

// The row of one line: the equation first, then start, end and step while the line has them.
void addRowFromLine(RowBatch& rows, QStringView line, int lineNumber, const QString& path,
                    std::array<RepeatSharer, kFieldsPerRow>& sharers) {
  const LineFields fields = fieldsOf(line);
  if (fields.count == 0) malformedLine(path, lineNumber, 0);
  EquationEntry& row = rows.startRow(fields.first[0].toString());
  QString* const subItems[] = {&row.start, &row.end, &row.step};
  for (size_t subItem = 1; subItem < kFieldsPerRow; ++subItem) {
    if (static_cast<int>(subItem) >= fields.count) malformedLine(path, lineNumber, fields.count);
    *subItems[subItem - 1] = sharers[subItem].share(fields.first[subItem]);
  }
}

}  // namespace

QString textOfEquationFile(const QByteArray& bytes, const QString& path) {
  if (!hasUtf16ByteOrderMark(bytes) && bytes.contains('\0'))
    cannotRead(path, QStringLiteral("it is not a text file (it holds NUL bytes)"));
  return decodeTextFile(bytes);
}

void appendEquationText(EquationListModel& list, QStringView text, const QString& path) {
  std::array<RepeatSharer, kFieldsPerRow> sharers;
  RowBatch rows(list);
  int lineNumber = 0;
  try {
    forEachLine(text, [&](QStringView line) { addRowFromLine(rows, line, ++lineNumber, path, sharers); });
  } catch (...) {
    rows.flush();  // the rows before the malformed line, and what it had, stay
    throw;
  }
  rows.flush();
}

platform::FileOpenSettings equationFileDialogSettings() {
  platform::FileOpenSettings settings;
  settings.fileName = QString();
  settings.multipleFiles = true;
  settings.openReadOnly = true;
  settings.title = QString::fromLatin1(kEquationFileDialogTitle);
  settings.filter = QString::fromLatin1(kEquationFileDialogFilter);
  settings.namesRoom = kEquationFileDialogRoom;
  return settings;
}

QString NormalizeSelectedPath(const QString& path) {
  if (!path.startsWith(QLatin1Char('/')))
    return QString(path).replace(QLatin1String("//"), QLatin1String("/"));
  qsizetype firstName = 0;
  while (firstName < path.size() && path[firstName] == QLatin1Char('/')) ++firstName;
  return QLatin1Char('/') + path.mid(firstName).replace(QLatin1String("//"), QLatin1String("/"));
}

void LoadEquationFile(EquationListModel& list, const QString& path, platform::Dialogs& dialogs) {
  if (!platform::FileExists(path)) {
    dialogs.messageBox(QString::fromLatin1(kFileNotFoundText), platform::Buttons::Ok, platform::Icon::None);
    return;
  }
  appendEquationText(list, readTextFile(path), path);
}

}  // namespace equations
