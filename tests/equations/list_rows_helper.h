#pragma once
// Test helpers: the rows of an equation list as plain text, and small files in a temporary folder.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <ostream>
#include <vector>

#include "equations/equation_list.h"

namespace testing_support {

using RowTexts = std::array<QString, 4>;

inline std::vector<RowTexts> rowsOf(const equations::EquationListModel& list) {
  std::vector<RowTexts> rows;
  for (int position = 1; position <= list.count(); ++position) {
    const equations::EquationEntry entry = list.entry(position);
    rows.push_back({entry.equation, entry.start, entry.end, entry.step});
  }
  return rows;
}

inline QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
  return path;
}

}  // namespace testing_support

// Readable failure output for QString comparisons.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE
