// Texts a workbook file cannot hold are refused where they enter the workbook, and described
// visibly in the messages.
#include <gtest/gtest.h>

#include "core/storable_text.h"
#include "core/workbook_model.h"

namespace {

TEST(StorableText, FindsControlCharactersNonCharactersAndStrayBytes) {
  EXPECT_FALSE(core::unstorableCharacter("sin(x)+\xC3\xA4\xF0\x9F\x93\x88\t\r\n"));
  EXPECT_EQ(core::unstorableCharacter("x&\"\x1b\""), "the control character U+001B");
  EXPECT_EQ(core::unstorableCharacter(std::string("a\0b", 3)), "the control character U+0000");
  EXPECT_EQ(core::unstorableCharacter("x+\xEF\xBF\xBF"), "the non-character U+FFFF");
  EXPECT_EQ(core::unstorableCharacter("x+\xEF\xBF\xBE"), "the non-character U+FFFE");
  EXPECT_EQ(core::unstorableCharacter("x\xFF"), "the byte 0xFF, which is not UTF-8");
  EXPECT_EQ(core::unstorableCharacter("\xED\xA0\x80"), "the byte 0xED, which is not UTF-8");  // a surrogate
  EXPECT_EQ(core::unstorableCharacter("\xC3"), "the byte 0xC3, which is not UTF-8");          // cut short
}

TEST(StorableText, ReplacementsAndVisibleFormsKeepEverythingElse) {
  EXPECT_EQ(core::storableText("a\x1b\xC3\xA4\xEF\xBF\xBF\xFF" "b"), "a\xEF\xBF\xBD\xC3\xA4\xEF\xBF\xBD\xEF\xBF\xBD" "b");
  EXPECT_EQ(core::visibleText("a\x1b\xC3\xA4\xEF\xBF\xBF\xFF" "b"), "a<U+001B>\xC3\xA4<U+FFFF><0xFF>b");
  EXPECT_EQ(core::storableText("plain\ttext"), "plain\ttext");
}

TEST(StorableText, TheWorkbookRefusesThemInFormulasTextCellsAndSheetNames) {
  core::WorkbookModel book(1);
  core::SheetNode& sheet = *book.at(1);
  try {
    book.setText(sheet, 1, 2, "=A1&\"\x1b\"");
    FAIL() << "a formula with ESC was accepted";
  } catch (const core::WorkbookError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("U+001B"), std::string::npos) << message;
    EXPECT_NE(message.find("=A1&\"<U+001B>\""), std::string::npos) << message;
    EXPECT_EQ(message.find('\x1b'), std::string::npos);
  }
  EXPECT_THROW(book.setText(sheet, 1, 2, "=A1+\xEF\xBF\xBF"), core::WorkbookError);
  EXPECT_THROW(book.setText(sheet, 1, 2, "text \x01"), core::WorkbookError);
  EXPECT_THROW(book.setValue(sheet, 1, 2, calc::Value(std::string("\x1f"))), core::WorkbookError);
  EXPECT_EQ(sheet.cells->slot(1, 2), nullptr) << "nothing was stored";
  EXPECT_THROW(book.rename(sheet, "Da\x1bta"), core::WorkbookError);
  EXPECT_THROW(book.rename(sheet, "Data\xFF"), core::WorkbookError);
  EXPECT_EQ(sheet.name, "Sheet1");
  book.setText(sheet, 1, 2, "=A1&\"\t\"");  // a tab can be stored
  EXPECT_NE(sheet.cells->slot(1, 2), nullptr);
}

TEST(TextCells, HoldUpTo32767CharactersCountedAsTheSpreadsheetDoesNotAsBytes) {
  core::WorkbookModel book(1);
  core::SheetNode& sheet = *book.at(1);
  std::string umlauts;
  for (int i = 0; i < 20000; ++i) umlauts += "\xC3\xA4";  // 40,000 bytes, 20,000 characters
  EXPECT_NO_THROW(book.setText(sheet, 1, 1, umlauts));
  EXPECT_NO_THROW(book.setText(sheet, 2, 1, std::string(32767, 'a')));
  EXPECT_THROW(book.setText(sheet, 3, 1, std::string(32768, 'a')), core::WorkbookError);
}

}  // namespace
