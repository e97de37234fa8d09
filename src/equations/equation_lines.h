#pragma once
// Lines and comma-separated fields of an equation file, as views into the file's text.
#include <QStringView>
#include <array>

namespace equations {

// Calls onLine(line) for each line. Lines end at CR LF, CR or LF; a line end that is the last
// thing in the text starts no further line, and two line ends in a row enclose an empty line.
template <class OnLine>
void forEachLine(QStringView text, OnLine&& onLine) {
  const QChar* const begin = text.data();
  const QChar* const end = begin + text.size();
  const QChar* lineStart = begin;
  for (const QChar* at = begin; at != end; ++at) {
    const char16_t c = at->unicode();
    if (c != u'\r' && c != u'\n') continue;
    onLine(QStringView(lineStart, at));
    if (c == u'\r' && at + 1 != end && at[1].unicode() == u'\n') ++at;
    lineStart = at + 1;
  }
  if (lineStart != end) onLine(QStringView(lineStart, end));
}

// The first four fields of a line cut at every comma, each without leading and trailing spaces
// (tabs stay), and how many fields the line has in all. A line with no characters has none.
struct LineFields {
  std::array<QStringView, 4> first;
  int count = 0;
};
LineFields fieldsOf(QStringView line);

}  // namespace equations
