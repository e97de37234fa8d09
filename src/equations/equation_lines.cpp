#include "equation_lines.h"

namespace equations {
namespace {

QStringView withoutSpaces(QStringView field) {
  qsizetype first = 0;
  qsizetype last = field.size();
  while (first < last && field[first] == QLatin1Char(' ')) ++first;
  while (last > first && field[last - 1] == QLatin1Char(' ')) --last;
  return field.sliced(first, last - first);
}

}  // namespace

LineFields fieldsOf(QStringView line) {
  LineFields fields;
  if (line.isEmpty()) return fields;
  qsizetype fieldStart = 0;
  for (;;) {
    const qsizetype comma = line.indexOf(QLatin1Char(','), fieldStart);
    const qsizetype fieldEnd = comma < 0 ? line.size() : comma;
    if (fields.count < 4)
      fields.first[static_cast<size_t>(fields.count)] = withoutSpaces(line.sliced(fieldStart, fieldEnd - fieldStart));
    ++fields.count;
    if (comma < 0) return fields;
    fieldStart = comma + 1;
  }
}

}  // namespace equations
