#include "core/computation_notes.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "core/cell_address.h"
#include "core/workbook_model.h"

namespace core {
namespace {

// A block a series reads, owned by the note of that series.
struct PlottedBlock {
  CellBlock block;
  std::size_t note;
};

// The notes being gathered and, per sheet and column, the series blocks that cover it.
class NoteBook {
 public:
  explicit NoteBook(const WorkbookModel& workbook) {
    for (const auto& sheet : workbook.sheets())
      if (sheet->isChart() && !sheet->deleted) addChart(*sheet->chart);
  }

  ComputationNote& noteFor(const SheetNode& sheet, std::int32_t row, std::int32_t column) {
    const auto covering = blocks_.find({&sheet, column});
    if (covering != blocks_.end())
      for (const PlottedBlock& plotted : covering->second)
        if (row >= plotted.block.firstRow && row <= plotted.block.lastRow) return notes_[plotted.note];
    auto [unplotted, added] = unplotted_.try_emplace({&sheet, column});
    if (added) unplotted->second = {.series = 0, .name = {}, .sheet = &sheet, .column = column};
    return unplotted->second;
  }

  // The notes that have something to say, series first, then unplotted cells by column.
  std::vector<ComputationNote> take(const WorkbookModel& workbook) {
    std::vector<ComputationNote> out;
    const auto telling = [](const ComputationNote& note) { return note.uncomputed > 0 || note.circular > 0; };
    std::copy_if(notes_.begin(), notes_.end(), std::back_inserter(out), telling);
    std::vector<ComputationNote> rest;
    for (auto& [place, note] : unplotted_)
      if (telling(note)) rest.push_back(std::move(note));
    std::stable_sort(rest.begin(), rest.end(), [&](const ComputationNote& a, const ComputationNote& b) {
      return std::pair(workbook.position(*a.sheet), a.column) < std::pair(workbook.position(*b.sheet), b.column);
    });
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
  }

 private:
  void addChart(const ChartData& chart) {
    std::vector<const SeriesData*> live;
    for (const auto& series : chart.series)
      if (series && !series->deleted) live.push_back(series.get());
    for (const SeriesData* series : live) {
      ComputationNote note;
      note.series = static_cast<int>(notes_.size()) + 1;
      // A chart of one series is named by its title; the series then has only a made-up name.
      note.name = chart.hasTitle && live.size() == 1 ? chart.title : series->name;
      notes_.push_back(std::move(note));
      for (const auto* reference : {&series->values, &series->xValues})
        if (*reference) cover(**reference, notes_.size() - 1);
    }
  }

  void cover(const SeriesReference& reference, std::size_t note) {
    const auto sheet = reference.sheet.lock();
    if (!sheet || sheet->deleted) return;
    for (std::int32_t column = reference.block.firstColumn; column <= reference.block.lastColumn; ++column)
      blocks_[{sheet.get(), column}].push_back({reference.block, note});
  }

  using Place = std::pair<const SheetNode*, std::int32_t>;  // a sheet's column
  std::vector<ComputationNote> notes_;                      // one per series, in order
  std::map<Place, std::vector<PlottedBlock>> blocks_;
  std::map<Place, ComputationNote> unplotted_;
};

// Computes every formula (a value computed before is only read) and counts those without one.
void countUncomputed(const WorkbookModel& workbook, const SheetNode& sheet, NoteBook& notes) {
  const WorksheetCells& cells = *sheet.cells;
  for (std::int32_t column = 1; column <= cells.columnCount(); ++column) {
    const auto slots = cells.column(column);
    for (std::size_t index = 0; index < slots.size(); ++index) {
      if (slots[index].kind != CellKind::Formula) continue;
      const auto row = static_cast<std::int32_t>(index + 1);
      if (workbook.formulaValue(sheet, slots[index], row, column).isUncomputed())
        ++notes.noteFor(sheet, row, column).uncomputed;
    }
  }
}

bool isLiveWorksheet(const SheetNode& sheet) { return !sheet.isChart() && !sheet.deleted && sheet.cells; }

// The model lists the cells found in circles while values were computed; only those on a live
// worksheet that still hold a formula are told.
void countCircles(const WorkbookModel& workbook, NoteBook& notes) {
  for (const WorkbookModel::CircularCell& cell : workbook.circularCells()) {
    const auto sheet = std::find_if(workbook.sheets().begin(), workbook.sheets().end(),
                                    [&](const auto& node) { return node.get() == cell.sheet; });
    if (sheet == workbook.sheets().end() || !isLiveWorksheet(**sheet)) continue;
    if ((*sheet)->cells->cell(cell.row, cell.column).kind != CellKind::Formula) continue;
    ComputationNote& note = notes.noteFor(**sheet, cell.row, cell.column);
    const bool above = std::tie(cell.row, cell.column) < std::tie(note.firstCircularRow, note.firstCircularColumn);
    if (note.circular++ == 0 || above) {
      note.firstCircularRow = cell.row;
      note.firstCircularColumn = cell.column;
    }
  }
}

// "equation 2 (x*x)", or for cells no series plots "column D of sheet Data".
std::string subjectOf(const ComputationNote& note, std::string_view equation) {
  if (note.series > 0)
    return "equation " + std::to_string(note.series) + (equation.empty() ? "" : " (" + std::string(equation) + ")");
  return "column " + columnLetters(note.column) + " of sheet " + note.sheet->name;
}

std::string uncomputedSentence(const ComputationNote& note, std::string_view equation, NoteAudience audience) {
  const bool one = note.uncomputed == 1;
  const std::string count = one ? "1 value" : std::to_string(note.uncomputed) + " values";
  const std::string what = count + (note.series > 0 ? " of " : " in ") + subjectOf(note, equation) +
                           " could not be computed here: " + (one ? "it needs" : "they need") +
                           " a function that Tessaline leaves to ";
  if (audience == NoteAudience::Pictures)
    return what + "a spreadsheet application, and the pictures leave " + (one ? "it" : "them") + " out.";
  return what + "your spreadsheet application, which computes " + (one ? "it" : "them") +
         " when it opens the workbook.";
}

std::string circularSentence(const ComputationNote& note, std::string_view equation) {
  const std::string cell = cellName(note.firstCircularRow, note.firstCircularColumn);
  if (note.series > 0)
    return subjectOf(note, equation) + " reads its own cell " + cell +
           " (a circular reference): a cell in a circle reads 0, so its chart is wrong.";
  return "cell " + cell + " of sheet " + note.sheet->name + " reads itself (a circular reference): it reads 0.";
}

}  // namespace

std::vector<ComputationNote> computationNotes(const WorkbookModel& workbook) {
  NoteBook notes(workbook);
  for (const auto& sheet : workbook.sheets())
    if (isLiveWorksheet(*sheet)) countUncomputed(workbook, *sheet, notes);
  countCircles(workbook, notes);
  return notes.take(workbook);
}

std::vector<std::string> noteSentences(const ComputationNote& note, std::string_view equation, NoteAudience audience) {
  std::vector<std::string> sentences;
  if (note.uncomputed > 0) sentences.push_back(uncomputedSentence(note, equation, audience));
  if (note.circular > 0) sentences.push_back(circularSentence(note, equation));
  return sentences;
}

}  // namespace core
