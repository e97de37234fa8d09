// The Sheets collection and sheet rules: names, visibility, deletion, addressing.
#include <gtest/gtest.h>

#include "support/engine_test_support.h"

namespace {

using engine_test::TestEngine;

class SheetsTest : public ::testing::Test {
 protected:
  TestEngine engine;
};

TEST_F(SheetsTest, NewWorkbookHasTheConfiguredNumberOfSheetsNamedSheetN) {
  for (int count : {1, 2, 3}) {
    auto app = engine.application(count);
    auto sheets = app->sheets();
    ASSERT_EQ(sheets->count(), count);
    for (int i = 1; i <= count; ++i) EXPECT_EQ(sheets->item(i)->name(), "Sheet" + std::to_string(i));
    EXPECT_EQ(app->activeWorkbook()->activeSheet()->name, "Sheet1");
  }
}

TEST_F(SheetsTest, SheetsAndChartsNeedAWorkbook) {
  automation::EngineFactory factory(engine.options());
  auto app = factory.createEngine();
  EXPECT_THROW(app->sheets(), excel::AutomationError);
  EXPECT_THROW(app->charts(), excel::AutomationError);
  EXPECT_THROW(app->setSheetsInNewWorkbook(0), excel::AutomationError);
  EXPECT_THROW(app->setSheetsInNewWorkbook(256), excel::AutomationError);
}

TEST_F(SheetsTest, ItemByNumberOrByNameWithoutRegardToCase) {
  auto sheets = engine.application(3)->sheets();
  EXPECT_EQ(sheets->item("sHEET2")->name(), "Sheet2");
  EXPECT_EQ(sheets->item(3)->name(), "Sheet3");
  EXPECT_THROW(sheets->item(0), excel::AutomationError);
  EXPECT_THROW(sheets->item(4), excel::AutomationError);
  EXPECT_THROW(sheets->item("Sheet4"), excel::AutomationError);
}

std::string repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

struct NameCase {
  const char* label;
  std::string name;
  bool allowed;
};

class SheetNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(SheetNames, FollowTheSpreadsheetRules) {
  TestEngine engine;
  auto sheet = engine.application(2)->sheets()->item(1);
  if (GetParam().allowed) {
    EXPECT_NO_THROW(sheet->setName(GetParam().name));
    EXPECT_EQ(sheet->name(), GetParam().name);
  } else {
    EXPECT_THROW(sheet->setName(GetParam().name), excel::AutomationError);
    EXPECT_EQ(sheet->name(), "Sheet1");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetNames,
    ::testing::Values(NameCase{"plain", "Data", true}, NameCase{"oneCharacter", "D", true},
                      NameCase{"thirtyOne", std::string(31, 'x'), true},
                      NameCase{"thirtyOneUmlauts", repeat("\xC3\xA4", 31), true},
                      NameCase{"thirtyTwoUmlauts", repeat("\xC3\xA4", 32), false},
                      NameCase{"thirtyTwo", std::string(32, 'x'), false}, NameCase{"empty", "", false},
                      NameCase{"colon", "a:b", false}, NameCase{"backslash", "a\\b", false},
                      NameCase{"slash", "a/b", false}, NameCase{"question", "a?b", false},
                      NameCase{"star", "a*b", false}, NameCase{"openBracket", "a[b", false},
                      NameCase{"closeBracket", "a]b", false}, NameCase{"leadingApostrophe", "'ab", false},
                      NameCase{"innerApostrophe", "a'b", true}, NameCase{"sameAsOtherInOtherCase", "SHEET2", false},
                      NameCase{"ownNameInOtherCase", "SHEET1", true}, NameCase{"spaces", "My graph 1", true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SheetsTest, HidingAndDeletingKeepOneVisibleSheet) {
  auto app = engine.application(3);
  auto sheets = app->sheets();
  sheets->item(1)->setVisible(false);
  sheets->item(2)->setVisible(false);
  EXPECT_THROW(sheets->item(3)->setVisible(false), excel::AutomationError);
  EXPECT_THROW(sheets->item(3)->deleteSheet(), excel::AutomationError);
  EXPECT_EQ(sheets->count(), 3);
  sheets->item(1)->deleteSheet();  // hidden sheets may go
  EXPECT_EQ(sheets->count(), 2);
  EXPECT_EQ(sheets->item(1)->name(), "Sheet2");
}

TEST_F(SheetsTest, TheActiveSheetMovesOnWhenHiddenOrDeleted) {
  auto app = engine.application(3);
  auto model = app->activeWorkbook();
  auto sheets = app->sheets();
  sheets->item(1)->setVisible(false);
  EXPECT_EQ(model->activeSheet()->name, "Sheet2");
  sheets->item("Sheet2")->deleteSheet();
  EXPECT_EQ(model->activeSheet()->name, "Sheet3");
}

TEST_F(SheetsTest, HandlesToADeletedSheetFailInsteadOfCrashing) {
  auto sheets = engine.application(2)->sheets();
  auto first = sheets->item(1);
  first->deleteSheet();
  EXPECT_THROW(first->name(), excel::AutomationError);
  EXPECT_THROW(first->setCellNumber(1, 1, 1.0), excel::AutomationError);
  EXPECT_THROW(first->range("A1"), excel::AutomationError);
  EXPECT_THROW(first->deleteSheet(), excel::AutomationError);
  EXPECT_EQ(sheets->count(), 1);
}

TEST_F(SheetsTest, RangesComeFromA1TextAndBadTextIsRefused) {
  auto sheet = engine.application()->sheets()->item(1);
  auto range = std::dynamic_pointer_cast<automation::EngineRange>(sheet->range("A1:F21"));
  ASSERT_TRUE(range);
  EXPECT_EQ(range->block(), (core::CellBlock{1, 1, 21, 6}));
  for (const char* bad : {"", "A0", "1A", "A1:", "XFE1", "Data!A1"})
    EXPECT_THROW(sheet->range(bad), excel::AutomationError) << bad;
}

}  // namespace
