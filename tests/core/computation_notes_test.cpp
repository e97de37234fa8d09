// Notes on the values a workbook's cells cannot show: formulas left to the spreadsheet
// application and circular references, told per chart series in the order a run plots them.
#include <gtest/gtest.h>

#include "core/computation_notes.h"
#include "core/workbook_model.h"

namespace {

using core::ComputationNote;

// A Data sheet laid out as the graphing run lays it out: equation i's x values 1..rows in column
// 2i - 1, its formula filled down column 2i ("X" standing for the row's x cell, "#" for its row).
struct Book {
  Book() { model.rename(data, "Data"); }

  void equation(int i, int rows, const std::string& formula) {
    for (int row = 1; row <= rows; ++row) {
      model.setNumber(data, row, 2 * i - 1, row);
      std::string text = formula;
      const std::string x = core::cellName(row, 2 * i - 1);
      for (std::size_t at = text.find('X'); at != std::string::npos; at = text.find('X', at + x.size()))
        text.replace(at, 1, x);
      for (std::size_t at = text.find('#'); at != std::string::npos; at = text.find('#', at))
        text.replace(at, 1, std::to_string(row));
      model.setText(data, row, 2 * i, "=" + text);
    }
  }
  // A chart sheet after the others, before Data.
  core::ChartData& chart(const std::string& title = {}) {
    auto sheet = model.addChartBeforeActive();
    model.activate(data);
    sheet->chart->hasTitle = !title.empty();
    sheet->chart->title = title;
    return *sheet->chart;
  }
  // A series of equation i's columns, rows 1..lastRow.
  void series(core::ChartData& chart, int i, int lastRow, const std::string& name = "Series1") {
    auto series = std::make_shared<core::SeriesData>();
    series->name = name;
    series->xValues = core::SeriesReference{model.find("Data"), {1, 2 * i - 1, lastRow, 2 * i - 1}};
    series->values = core::SeriesReference{model.find("Data"), {1, 2 * i, lastRow, 2 * i}};
    chart.series.push_back(series);
  }

  core::WorkbookModel model{1, core::seededRandomSource(1)};
  core::SheetNode& data = *model.at(1);
};

constexpr const char* kOutside = "WEBSERVICE(\"http://example.invalid/\"&X)";

TEST(ComputationNotes, SeparateChartsAreToldByTheirTitlesInChartOrder) {
  Book book;
  // Column J, plotted by no series: numbers, then two cells left to the spreadsheet application.
  for (int row = 1; row <= 3; ++row) book.model.setNumber(book.data, row, 10, row);
  for (int row = 4; row <= 5; ++row) book.model.setText(book.data, row, 10, "=WEBSERVICE(\"http://example.invalid/\")");
  book.equation(1, 5, "X*X");
  book.equation(2, 5, "X+J#");  // rows 4 and 5 read the cells left to the spreadsheet
  book.equation(3, 5, "SUM(F:F)+X");
  for (int i = 1; i <= 3; ++i) book.series(book.chart("F(x) = eq" + std::to_string(i)), i, 6);
  const auto notes = core::computationNotes(book.model);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].series, 2);
  EXPECT_EQ(notes[0].name, "F(x) = eq2");
  EXPECT_EQ(notes[0].uncomputed, 2);
  EXPECT_FALSE(notes[0].hasCircle());
  EXPECT_EQ(notes[1].series, 3);
  EXPECT_EQ(notes[1].uncomputed, 0);
  ASSERT_TRUE(notes[1].hasCircle());
  EXPECT_EQ(notes[1].firstCircularRow, 1);
  EXPECT_EQ(notes[1].firstCircularColumn, 6);
  EXPECT_EQ(notes[2].series, 0);  // the cells of column J themselves
  EXPECT_EQ(notes[2].column, 10);
  EXPECT_EQ(notes[2].uncomputed, 2);
}

TEST(ComputationNotes, OneChartIsToldBySeriesNamesAndACircleThroughTwoEquationsNamesBoth) {
  Book book;
  book.equation(1, 3, "D1+X");
  book.equation(2, 4, "B1+X");
  book.equation(3, 2, kOutside);
  core::ChartData& chart = book.chart();
  // As the run leaves it: series 1 over the whole block's height, the others over their own rows.
  book.series(chart, 1, 4, "F(x) = d1+x");
  book.series(chart, 2, 4, "F(x) = b1+x");
  book.series(chart, 3, 2, "F(x) = web");
  const auto notes = core::computationNotes(book.model);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].name, "F(x) = d1+x");
  EXPECT_TRUE(notes[0].hasCircle());
  EXPECT_EQ(core::cellName(notes[0].firstCircularRow, notes[0].firstCircularColumn), "B1");
  EXPECT_EQ(core::cellName(notes[1].firstCircularRow, notes[1].firstCircularColumn), "D1");
  EXPECT_EQ(notes[2].series, 3);
  EXPECT_EQ(notes[2].uncomputed, 2);
}

TEST(ComputationNotes, CellsNoSeriesPlotsAreToldByColumnAfterTheSeries) {
  Book book;
  book.equation(1, 4, kOutside);
  book.equation(2, 4, kOutside);
  core::ChartData& chart = book.chart("F(x) = two");
  book.series(chart, 2, 2);  // rows 3 and 4 of equation 2 and all of equation 1 are plotted by none
  const auto notes = core::computationNotes(book.model);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].series, 1);
  EXPECT_EQ(notes[0].uncomputed, 2);
  EXPECT_EQ(notes[1].series, 0);
  EXPECT_EQ(notes[1].column, 2);
  EXPECT_EQ(notes[1].uncomputed, 4);
  EXPECT_EQ(notes[2].column, 4);
  EXPECT_EQ(notes[2].uncomputed, 2);
  const auto sentences = core::noteSentences(notes[1], notes[1].name);
  ASSERT_EQ(sentences.size(), 1u);
  EXPECT_EQ(sentences[0].rfind("4 values in column B of sheet Data could not be computed here: they need", 0), 0u)
      << sentences[0];
}

TEST(ComputationNotes, NothingIsToldOfACleanBookOrOfCirclesThatAreGone) {
  Book book;
  book.equation(1, 3, "SIN(X)+1/(X-2)");  // an error is the spreadsheet's own value: nothing to tell
  book.series(book.chart("F(x) = clean"), 1, 4);
  EXPECT_TRUE(core::computationNotes(book.model).empty());

  book.equation(2, 3, "SUM(D:D)");
  book.series(book.chart("F(x) = circle"), 2, 4);
  ASSERT_EQ(core::computationNotes(book.model).size(), 1u);
  for (int row = 1; row <= 3; ++row) book.model.setNumber(book.data, row, 4, row);  // the formulas overwritten
  EXPECT_TRUE(core::computationNotes(book.model).empty());
}

TEST(ComputationNotes, SentencesSayHowManyAndWhereTheValuesAreComputed) {
  ComputationNote note;
  note.series = 2;
  note.uncomputed = 1;
  auto sentences = core::noteSentences(note, "webservice(x)");
  ASSERT_EQ(sentences.size(), 1u);
  EXPECT_EQ(sentences[0],
            "1 value of equation 2 (webservice(x)) could not be computed here: it needs a function that Tessaline "
            "leaves to your spreadsheet application, which computes it when it opens the workbook.");
  note.uncomputed = 21;
  sentences = core::noteSentences(note, "webservice(x)", core::NoteAudience::Pictures);
  EXPECT_EQ(sentences.at(0),
            "21 values of equation 2 (webservice(x)) could not be computed here: they need a function that Tessaline "
            "leaves to a spreadsheet application, and the pictures leave them out.");
  EXPECT_EQ(core::noteSentences(note, "").at(0).rfind("21 values of equation 2 could not", 0), 0u) << "a series without a name";
  ComputationNote circle;
  circle.series = 1;
  circle.circular = 3;
  circle.firstCircularRow = 7;
  circle.firstCircularColumn = 2;
  sentences = core::noteSentences(circle, "sum(b:b)+x");
  ASSERT_EQ(sentences.size(), 1u);
  EXPECT_EQ(sentences[0], "equation 1 (sum(b:b)+x) reads its own cell B7 (a circular reference): a cell in a circle "
                          "reads 0, so its chart is wrong.");
}

}  // namespace
