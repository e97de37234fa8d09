#pragma once
// The Charts collection (the chart sheets of a workbook, in sheet order), charts, their series
// and axes, over one WorkbookModel.
#include <memory>

#include "excel/excel.h"
#include "core/workbook_model.h"

namespace automation {

inline constexpr int xlRows = 1;

class EngineAxis : public excel::Axis {
 public:
  EngineAxis(std::shared_ptr<core::SheetNode> chart, int type) : chart_(std::move(chart)), type_(type) {}
  void setHasMajorGridlines(bool on) override;
  void setHasMinorGridlines(bool on) override;

 private:
  core::AxisGridlines& gridlines();
  std::shared_ptr<core::SheetNode> chart_;
  int type_;
};

class EngineSeries : public excel::Series {
 public:
  EngineSeries(std::shared_ptr<core::WorkbookModel> model, std::shared_ptr<core::SheetNode> chart,
               std::shared_ptr<core::SeriesData> series)
      : model_(std::move(model)), chart_(std::move(chart)), series_(std::move(series)) {}

  void setXValues(const std::string& reference) override;
  void setValues(const std::string& reference) override;
  void setName(const std::string& name) override;
  void deleteSeries() override;

  // Reading back, as the object model shows them ("=Data!R1C1:R21C1"; empty when unset).
  std::string xValues();
  std::string values();
  std::string name();

 private:
  core::SeriesData& live();
  core::SeriesReference resolve(const std::string& reference);

  std::shared_ptr<core::WorkbookModel> model_;
  std::shared_ptr<core::SheetNode> chart_;
  std::shared_ptr<core::SeriesData> series_;
};

class EngineSeriesCollection : public excel::SeriesCollection {
 public:
  EngineSeriesCollection(std::shared_ptr<core::WorkbookModel> model, std::shared_ptr<core::SheetNode> chart)
      : model_(std::move(model)), chart_(std::move(chart)) {}
  int count() override;
  std::shared_ptr<excel::Series> item(int index) override;

 private:
  std::shared_ptr<core::WorkbookModel> model_;
  std::shared_ptr<core::SheetNode> chart_;
};

class EngineChart : public excel::Chart {
 public:
  EngineChart(std::shared_ptr<core::WorkbookModel> model, std::shared_ptr<core::SheetNode> node)
      : model_(std::move(model)), node_(std::move(node)) {}

  std::string name() override;
  void setName(const std::string& name) override;
  void setChartType(int type) override;
  void setSourceData(const excel::Range& source, int plotBy) override;
  void location(int where) override;
  void setHasTitle(bool on) override;
  void setTitleText(const std::string& text) override;
  std::shared_ptr<excel::Axis> axes(int type) override;
  std::shared_ptr<excel::SeriesCollection> seriesCollection() override;
  void select() override;

  const std::shared_ptr<core::SheetNode>& node() const { return node_; }
  core::ChartData& data();

 private:
  std::shared_ptr<core::WorkbookModel> model_;
  std::shared_ptr<core::SheetNode> node_;
};

class EngineCharts : public excel::Charts {
 public:
  explicit EngineCharts(std::shared_ptr<core::WorkbookModel> model) : model_(std::move(model)) {}
  int count() override;
  std::shared_ptr<excel::Chart> item(int index) override;
  std::shared_ptr<excel::Chart> add() override;
  std::shared_ptr<excel::Chart> addAfter(const excel::Chart& after, int count) override;

 private:
  std::shared_ptr<core::WorkbookModel> model_;
};

}  // namespace automation
