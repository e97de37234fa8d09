#pragma once
// The main window: its controls as designed, and one handler per user action.
#include <QCursor>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "app/services.h"
#include "app/skin_framework.h"
#include "app/equation_table_model.h"

class QPushButton;
class QTreeView;
class QGroupBox;
class QRadioButton;
class QProgressBar;

namespace platform {
class ErrorTrap;
}
namespace graphing {
class GraphingRun;
class GraphingWindow;
}  // namespace graphing

namespace app {

// Pointer states of the main window, with the numbers the original design gave them.
enum class MousePointer { Default = 0, Busy = 11, Custom = 99 };

inline constexpr char kProductName[] = "Tessaline";
inline constexpr char kHomePageAddress[] = "https://www.quorvane.com/tessaline";

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(Services& services, QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up and closing.
  void Form_Load();
  void Form_QueryUnload();
  void Form_Unload();

  // The six push buttons.
  void PushButton1_Click();  // Add Equation
  void PushButton2_Click();  // Start Graphing
  void PushButton3_Click();  // Clear List
  void PushButton4_Click();  // Load Equations From File
  void PushButton5_Click();  // Help
  void PushButton6_Click();  // Load Sample/Example Files

  // The list.
  void ListView1_DblClick();
  void ListView1_KeyDown(Qt::Key key, Qt::KeyboardModifiers modifiers);

  // Hover: the push buttons show the custom pointer, the background, frame and list the arrow.
  void PushButton_MouseMove();
  void Form_MouseMove();
  void Frame1_MouseMove();
  void ListView1_MouseMove();

  // Look.
  void ApplySkin();
  // Widens and heightens controls whose captions the window's font would cut short.
  void fitCaptions();

  MousePointer mousePointer() const { return mousePointer_; }
  void setMousePointer(MousePointer state);
  void setMouseIcon(const QCursor& cursor);

  EquationTableModel& list() { return list_; }
  bool graphingBusy() const;
  // The progress bar while the finished workbook is written: how far, from 0 to 1.
  void showWritingProgress(double fraction);

  // Design lengths are in twips (1/1440 inch); the screen's logical DPI turns them into pixels.
  int twipsToPixels(int twips) const;

  QPushButton* PushButton1 = nullptr;
  QPushButton* PushButton2 = nullptr;
  QPushButton* PushButton3 = nullptr;
  QPushButton* PushButton4 = nullptr;
  QPushButton* PushButton5 = nullptr;
  QPushButton* PushButton6 = nullptr;
  QTreeView* ListView1 = nullptr;
  QGroupBox* Frame1 = nullptr;
  QRadioButton* Option1 = nullptr;
  QRadioButton* Option2 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  SkinFramework SkinFramework1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void placeControl(QWidget* control, int left, int top, int width, int height);
  void watchMouseMoves();
  void removeSelectedRow();
  void setUpListColumns(platform::ErrorTrap& trap);
  void checkEngineCanStart();
  void restoreSavedList(platform::ErrorTrap& trap);
  void loadCursorFile(platform::ErrorTrap& trap);
  QStringList lookFolders() const;
  void centreOnScreen();
  void bringNewWindowsToFront(const QWidgetList& before);

  Services& services_;
  EquationTableModel list_;
  MousePointer mousePointer_ = MousePointer::Default;
  bool savedListUnread_ = false;  // the saved list could not be read at start-up
  std::unique_ptr<QCursor> mouseIcon_;
  std::unique_ptr<graphing::GraphingWindow> graphingWindow_;
  std::unique_ptr<graphing::GraphingRun> graphingRun_;
};

// The data folder of an installed program whose executable is in programFolder.
QString installedDataFolder(const QString& programFolder);

// The title of boxes that name none of their own, made from the product name.
QString applicationTitleFor(const QString& productName);
void SetApplicationTitle();
// About one start in a hundred opens the home page.
void MaybeOpenHomePage(platform::Clock& clock, platform::Random& random, platform::Launcher& launcher);

}  // namespace app
