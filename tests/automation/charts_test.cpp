// Chart sheets and charts: placement, names, type, source data, series, axes, title.
#include <gtest/gtest.h>

#include "support/engine_test_support.h"

namespace {

using engine_test::TestEngine;

std::vector<std::string> sheetNames(excel::Sheets& sheets) {
  std::vector<std::string> names;
  for (int i = 1; i <= sheets.count(); ++i) names.push_back(sheets.item(i)->name());
  return names;
}

class ChartsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = engine.application(1);
    data = app->sheets()->item(1);
    data->setName("Data");
    charts = app->charts();
  }
  std::shared_ptr<automation::EngineSeries> series(excel::Chart& chart, int index) {
    return std::dynamic_pointer_cast<automation::EngineSeries>(chart.seriesCollection()->item(index));
  }

  TestEngine engine;
  std::shared_ptr<automation::EngineApplication> app;
  std::shared_ptr<excel::Sheet> data;
  std::shared_ptr<excel::Charts> charts;
};

TEST_F(ChartsTest, AddPlacesANewChartBeforeTheActiveSheetAndActivatesIt) {
  auto first = charts->add();
  EXPECT_EQ(first->name(), "Chart1");
  auto second = charts->add();  // before Chart1, which is active now
  EXPECT_EQ(second->name(), "Chart2");
  EXPECT_EQ(sheetNames(*app->sheets()), (std::vector<std::string>{"Chart2", "Chart1", "Data"}));
  EXPECT_EQ(app->activeWorkbook()->activeSheet()->name, "Chart2");
  EXPECT_EQ(charts->count(), 2);
  EXPECT_EQ(charts->item(1)->name(), "Chart2");  // charts come in sheet order
}

TEST_F(ChartsTest, AddAfterPlacesTheChartRightAfterTheGivenOne) {
  auto first = charts->add();
  auto second = charts->addAfter(*first, 1);
  auto third = charts->addAfter(*first, 1);
  EXPECT_EQ(sheetNames(*app->sheets()), (std::vector<std::string>{"Chart1", "Chart3", "Chart2", "Data"}));
  EXPECT_THROW(charts->addAfter(*first, 0), excel::AutomationError);
  first->setName("Deleted");
  app->sheets()->item("Deleted")->deleteSheet();
  EXPECT_THROW(charts->addAfter(*first, 1), excel::AutomationError);
}

TEST_F(ChartsTest, AChartSheetNeverBecomesTheLastSheet) {
  // Whatever sheet is active, the new chart goes before it; the Data sheet stays last.
  for (int i = 0; i < 6; ++i) {
    auto chart = charts->add();
    auto sheets = app->sheets();
    EXPECT_EQ(sheets->item(sheets->count())->name(), "Data");
    if (i % 2) charts->item(charts->count())->select();
  }
  data->setCellNumber(1, 1, 1);  // Data keeps working as a worksheet
}

TEST_F(ChartsTest, SelectMakesTheChartActiveAndHiddenChartsCannotBeSelected) {
  auto first = charts->add();
  auto second = charts->addAfter(*first, 1);
  first->select();
  EXPECT_EQ(app->activeWorkbook()->activeSheet()->name, "Chart1");
  app->sheets()->item("Chart2")->setVisible(false);
  EXPECT_THROW(second->select(), excel::AutomationError);
}

TEST_F(ChartsTest, ChartNamesFollowSheetNameRules) {
  auto chart = charts->add();
  chart->setName("y = x^2");
  EXPECT_EQ(app->sheets()->item("Y = X^2")->name(), "y = x^2");
  EXPECT_THROW(chart->setName("DATA"), excel::AutomationError);
  EXPECT_THROW(chart->setName("a/b"), excel::AutomationError);
  EXPECT_THROW(chart->setName(std::string(32, 'c')), excel::AutomationError);
  EXPECT_EQ(chart->name(), "y = x^2");
}

TEST_F(ChartsTest, ChartTypesOutsideTheExportableOnesAreRefused) {
  auto chart = std::dynamic_pointer_cast<automation::EngineChart>(charts->add());
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  EXPECT_EQ(chart->data().type, core::ChartType::XYScatterSmoothNoMarkers);
  for (int type : {72, 74, 75, -4169, 4, 51, 57, 1, 5}) EXPECT_NO_THROW(chart->setChartType(type)) << type;
  for (int type : {0, 2, 99, -4100}) EXPECT_THROW(chart->setChartType(type), excel::AutomationError) << type;
  EXPECT_EQ(chart->data().type, core::ChartType::Pie);
}

struct SourceCase {
  const char* name;
  const char* block;
  int seriesCount;
};

class SourceData : public ::testing::TestWithParam<SourceCase> {};

// On an XY chart the first column is x and every further column a series over the block's rows.
TEST_P(SourceData, XYChartsTakeTheFirstColumnAsX) {
  TestEngine engine;
  auto app = engine.application();
  auto data = app->sheets()->item(1);
  data->setName("Data");
  auto chart = app->charts()->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range(GetParam().block), excel::xlColumns);
  auto collection = chart->seriesCollection();
  ASSERT_EQ(collection->count(), GetParam().seriesCount);
  const auto block = *core::parseA1Block(GetParam().block);
  for (int i = 1; i <= collection->count(); ++i) {
    auto s = std::dynamic_pointer_cast<automation::EngineSeries>(collection->item(i));
    EXPECT_EQ(s->xValues(), core::formatR1C1Reference("Data", {block.firstRow, block.firstColumn, block.lastRow, block.firstColumn}));
    EXPECT_EQ(s->values(), core::formatR1C1Reference("Data", {block.firstRow, block.firstColumn + i, block.lastRow, block.firstColumn + i}));
    EXPECT_EQ(s->name(), "Series" + std::to_string(i));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SourceData,
                         ::testing::Values(SourceCase{"twoColumns", "A1:B12", 1},
                                           SourceCase{"sixColumns", "A1:F21", 5},
                                           SourceCase{"offsetBlock", "C5:F9", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChartsTest, ASingleColumnOnAnXYChartIsOneSeriesWithoutX) {
  auto chart = charts->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("B2:B6"), excel::xlColumns);
  ASSERT_EQ(chart->seriesCollection()->count(), 1);
  EXPECT_EQ(series(*chart, 1)->xValues(), "");
  EXPECT_EQ(series(*chart, 1)->values(), "=Data!R2C2:R6C2");
}

TEST_F(ChartsTest, SourceDataByRowsTakesTheFirstRowAsX) {
  auto chart = charts->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("A1:E3"), automation::xlRows);
  ASSERT_EQ(chart->seriesCollection()->count(), 2);
  EXPECT_EQ(series(*chart, 2)->xValues(), "=Data!R1C1:R1C5");
  EXPECT_EQ(series(*chart, 2)->values(), "=Data!R3C1:R3C5");
}

TEST_F(ChartsTest, SourceDataReplacesSeriesAndOldHandlesFail) {
  auto chart = charts->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("A1:F21"), excel::xlColumns);
  auto old = chart->seriesCollection()->item(5);
  chart->setSourceData(*data->range("A1:B21"), excel::xlColumns);
  EXPECT_EQ(chart->seriesCollection()->count(), 1);
  EXPECT_THROW(old->setName("x"), excel::AutomationError);
  EXPECT_THROW(chart->setSourceData(*data->range("A1:B2"), 3), excel::AutomationError);
}

TEST_F(ChartsTest, SourceDataOnANonXYChartMakesEveryColumnASeries) {
  auto chart = charts->add();
  chart->setChartType(4);
  chart->setSourceData(*data->range("A1:C3"), excel::xlColumns);
  ASSERT_EQ(chart->seriesCollection()->count(), 3);
  EXPECT_EQ(series(*chart, 1)->xValues(), "");
  EXPECT_EQ(series(*chart, 1)->values(), "=Data!R1C1:R3C1");
}

TEST_F(ChartsTest, SeriesTakeR1C1ReferencesAndRefuseBadOnes) {
  auto chart = charts->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("A1:F21"), excel::xlColumns);
  auto s = series(*chart, 2);
  s->setXValues("=Data!R1C3:R21C3");
  s->setValues("=data!R1C4:R21C4");
  s->setName("y = x^2");
  EXPECT_EQ(s->xValues(), "=Data!R1C3:R21C3");
  EXPECT_EQ(s->values(), "=Data!R1C4:R21C4");
  EXPECT_EQ(s->name(), "y = x^2");
  for (const char* bad : {"=Data!R0C3:R21C3", "=Data!R1C0", "=Nowhere!R1C1:R2C1", "Data!A1:A5", "", "=Chart1!R1C1"})
    EXPECT_THROW(s->setValues(bad), excel::AutomationError) << bad;
  EXPECT_EQ(s->values(), "=Data!R1C4:R21C4");
  data->setName("Renamed");  // references follow the sheet
  EXPECT_EQ(s->xValues(), "=Renamed!R1C3:R21C3");
}

TEST_F(ChartsTest, SeriesItemsAreNumberedFromOneAndDeleteRenumbers) {
  auto chart = charts->add();
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  chart->setSourceData(*data->range("A1:D5"), excel::xlColumns);
  auto collection = chart->seriesCollection();
  EXPECT_THROW(collection->item(0), excel::AutomationError);
  EXPECT_THROW(collection->item(4), excel::AutomationError);
  auto first = collection->item(1);
  first->deleteSeries();
  EXPECT_EQ(collection->count(), 2);
  EXPECT_EQ(series(*chart, 1)->values(), "=Data!R1C3:R5C3");
  EXPECT_THROW(first->deleteSeries(), excel::AutomationError);
}

TEST_F(ChartsTest, AxesStartWithExcelsGridlinesAndCanBeChanged) {
  auto chart = std::dynamic_pointer_cast<automation::EngineChart>(charts->add());
  chart->setChartType(excel::xlXYScatterSmoothNoMarkers);
  EXPECT_FALSE(chart->data().categoryAxis.major);
  EXPECT_FALSE(chart->data().categoryAxis.minor);
  EXPECT_TRUE(chart->data().valueAxis.major);
  EXPECT_FALSE(chart->data().valueAxis.minor);
  chart->axes(excel::xlCategory)->setHasMajorGridlines(true);
  chart->axes(excel::xlCategory)->setHasMinorGridlines(true);
  chart->axes(excel::xlValue)->setHasMajorGridlines(false);
  EXPECT_TRUE(chart->data().categoryAxis.major);
  EXPECT_TRUE(chart->data().categoryAxis.minor);
  EXPECT_FALSE(chart->data().valueAxis.major);
  EXPECT_THROW(chart->axes(3), excel::AutomationError);
  chart->setChartType(5);  // a pie has no axes
  EXPECT_THROW(chart->axes(excel::xlValue), excel::AutomationError);
}

TEST_F(ChartsTest, TitleTextNeedsATitleAndLocationAsNewSheetIsANoOp) {
  auto chart = std::dynamic_pointer_cast<automation::EngineChart>(charts->add());
  EXPECT_THROW(chart->setTitleText("y"), excel::AutomationError);
  chart->setHasTitle(true);
  chart->setTitleText("y = sin(x)");
  EXPECT_EQ(chart->data().title, "y = sin(x)");
  const auto before = app->activeWorkbook()->sheets();
  chart->location(excel::xlLocationAsNewSheet);
  EXPECT_EQ(app->activeWorkbook()->sheets(), before);
  EXPECT_THROW(chart->location(2), excel::AutomationError);
}

TEST_F(ChartsTest, ChartHandlesFailAfterTheirSheetIsDeleted) {
  auto chart = charts->add();
  auto axis = chart->axes(excel::xlValue);
  app->sheets()->item("Chart1")->deleteSheet();
  EXPECT_THROW(chart->name(), excel::AutomationError);
  EXPECT_THROW(chart->setChartType(73), excel::AutomationError);
  EXPECT_THROW(axis->setHasMajorGridlines(true), excel::AutomationError);
  EXPECT_THROW(charts->item(1), excel::AutomationError);
}

}  // namespace
