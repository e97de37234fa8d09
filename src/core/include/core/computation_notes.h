#pragma once
// What a reader of a workbook must be told about its values beyond what the cells show:
// formulas this engine could not compute (they need outside data, or read a cell that does;
// the spreadsheet application computes them when it opens the file), and formulas that read
// their own cell, directly or through others (a circular reference, read as 0).
//
// Notes are gathered per chart series, counted across the chart sheets in workbook order, each
// chart's series in order: a graphing run plots equation K as the K-th series so counted. A
// cell that no series plots gets a note of its own column.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class WorkbookModel;
struct SheetNode;

struct ComputationNote {
  int series = 0;    // 1-based as counted above; 0 for cells no series plots
  std::string name;  // the series as its chart names it: its title when it is the chart's only series
  const SheetNode* sheet = nullptr;  // series 0: the sheet and column of the cells
  std::int32_t column = 0;
  std::int64_t uncomputed = 0;  // formula cells without a value here
  std::int64_t circular = 0;    // formula cells in a circular reference
  std::int32_t firstCircularRow = 0, firstCircularColumn = 0;  // the topmost of them

  bool hasCircle() const { return circular > 0; }
};

// Every note of the workbook, series first in their order, then columns no series plots.
// Computes every formula of its worksheets that is not computed yet.
std::vector<ComputationNote> computationNotes(const WorkbookModel& workbook);

// Where the reader meets the values: a workbook keeps the uncomputed formulas for the
// spreadsheet application; pictures only leave them out.
enum class NoteAudience { Workbook, Pictures };

// The note in sentences, one per kind of cell: "3 values of equation 2 (EQUATION) could not be
// computed here: ..." and "equation 2 (EQUATION) reads its own cell D1 (a circular reference):
// ...". `equation` is the text in the parentheses. Sentences begin in lower case, so that a
// tool's name may stand before them.
std::vector<std::string> noteSentences(const ComputationNote& note, std::string_view equation,
                                       NoteAudience audience = NoteAudience::Workbook);

}  // namespace core
