#include "package_plan.h"

namespace xlsx {

PackagePlan planPackage(const core::WorkbookModel& model) {
  PackagePlan plan;
  for (const auto& sheet : model.sheets()) {
    PlannedSheet planned{sheet.get(), sheet->isChart()};
    planned.part = planned.chart ? ++plan.chartsheets : ++plan.worksheets;
    plan.sheets.push_back(planned);
  }
  std::size_t active = plan.sheets.size();
  for (std::size_t i = 0; i < plan.sheets.size() && active == plan.sheets.size(); ++i)
    if (plan.sheets[i].chart && plan.sheets[i].node->visible) active = i;
  for (std::size_t i = 0; i < plan.sheets.size() && active == plan.sheets.size(); ++i)
    if (plan.sheets[i].node == model.activeSheet().get()) active = i;
  if (active == plan.sheets.size()) active = 0;
  plan.activeTab = active;
  plan.sheets[active].selected = true;
  for (std::size_t i = 0; i < plan.sheets.size(); ++i)
    if (plan.sheets[i].node->visible) {
      plan.firstVisibleTab = i;
      break;
    }
  return plan;
}

}  // namespace xlsx
