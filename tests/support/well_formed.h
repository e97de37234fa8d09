#pragma once
// Whether every part of a written workbook is well-formed XML, checked by a strict parser
// outside the program (tests/support/xlsx_wellformed.py).
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testing_support {

// Empty when every part of every book parses; otherwise the parser's complaints.
inline QString wellFormedProblems(const QStringList& books) {
  QProcess python;
  python.start(QStringLiteral("/usr/bin/python3"),
               QStringList{qEnvironmentVariable("TESSALINE_SOURCE_DIR") + QStringLiteral("/tests/support/xlsx_wellformed.py")} +
                   books);
  if (!python.waitForFinished(60000)) return QStringLiteral("the checker did not finish");
  const QString out = QString::fromUtf8(python.readAllStandardOutput()).trimmed();
  if (python.exitCode() != 0 && out.isEmpty()) return QString::fromUtf8(python.readAllStandardError());
  return python.exitCode() == 0 ? QString() : out;
}

}  // namespace testing_support
