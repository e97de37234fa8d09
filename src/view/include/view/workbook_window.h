#pragma once
// The window that shows a workbook after a run: one tab per sheet in workbook order, hidden
// sheets left out until asked for, the active sheet in front. Its status bar tells of values
// that could not be computed here and of circular references. It keeps the workbook (and
// whatever `keepAlive` holds, such as the instance that made it) until it closes.
#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;

namespace core {
class WorkbookModel;
struct SheetNode;
}  // namespace core

namespace view {

class ChartView;
class DataSheetView;

// What the window asks of the rest of the program. Each may throw std::exception whose what()
// is shown to the user.
struct WorkbookWindowActions {
  std::function<void(const core::WorkbookModel&, const QString& path)> writeXlsx;
  // The desktop's default application; calls back, perhaps later, with the failure or an empty text.
  std::function<void(const QString& file, std::function<void(const QString& failure)> finished)> openInSpreadsheet;
  std::function<QString(QWidget* parent, const QString& suggested)> chooseSaveAsPath;  // empty: cancelled
  std::function<void(QWidget* parent, const QString& text)> showMessage;
  std::function<void(QWidget* parent, const QString& title, const QString& text)> showAbout;

  // File dialog and message box; writeXlsx and openInSpreadsheet left for the caller.
  static WorkbookWindowActions withQtDialogs();
};

class WorkbookWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `bookFile` is the workbook's file (BookN.xlsx): it names the window and is what the
  // spreadsheet application opens.
  WorkbookWindow(std::shared_ptr<const core::WorkbookModel> workbook, QString bookFile,
                 WorkbookWindowActions actions, std::shared_ptr<const void> keepAlive = {},
                 QWidget* parent = nullptr);
  ~WorkbookWindow() override;

  static QString titleFor(const QString& bookFile);  // "Book3 - Tessaline"
  // Help > About: the program's name, version and licence.
  static QString aboutText();

  QTabWidget* tabs() const { return tabs_; }
  QStringList tabTitles() const;
  QString currentSheetName() const;
  bool showsHiddenSheets() const;
  // Showing hidden sheets brings the first of them to the front.
  void setShowHiddenSheets(bool show);
  void showSheet(const QString& name);
  ChartView* chartView(const QString& sheetName) const;
  // The status bar's note on the workbook's values; hidden when there is nothing to tell.
  QLabel* computationNotes() const { return notes_; }
  DataSheetView* dataSheetView(const QString& sheetName) const;

  // Save As to this path, the kind chosen by its suffix. False (and the user told why) when
  // nothing could be saved.
  bool saveAs(const QString& path);
  void saveAsWithDialog();
  // Hands the book to the spreadsheet application; the status bar and, on failure, a message
  // tell how that went once the opener has answered.
  void openInSpreadsheet();
  void showAbout();
  // The sheet tabs one step to the right (+1) or left (-1); `wrap` goes round at the ends.
  void stepSheet(int step, bool wrap);

 private:
  void buildMenus();
  void addSheetSteps(QMenu* menu);
  void rebuildTabs();
  void bringFirstHiddenSheetToFront();
  QWidget* widgetFor(const std::shared_ptr<core::SheetNode>& sheet);
  std::shared_ptr<core::SheetNode> frontSheet() const;
  void tell(const QString& text);
  void showComputationNotes();

  std::shared_ptr<const core::WorkbookModel> workbook_;
  QString bookFile_;
  WorkbookWindowActions actions_;
  std::shared_ptr<const void> keepAlive_;
  QTabWidget* tabs_;
  QAction* showHidden_ = nullptr;
  QLabel* hint_ = nullptr;   // how to use the sheet in front
  QLabel* notes_ = nullptr;  // what the cells do not show: values not computed here, circles
  std::map<const core::SheetNode*, QWidget*> pages_;
  QString lastSaveAs_;
};

}  // namespace view
