#include "app/form1.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTreeView>

#include "graphing/excel_checks.h"
#include "graphing/graphing_run.h"
#include "graphing/graphing_window.h"
#include "platform/clock.h"
#include "platform/error_report.h"
#include "platform/launcher.h"

// The window's resources live in a static library: register them before first use.
static void initResources() { Q_INIT_RESOURCE(app); }

namespace app {
namespace {

constexpr int kClientWidth = 8040;
constexpr int kClientHeight = 6030;
constexpr int kListColumnWidths[] = {3700, 1300, 1300, 1300};
constexpr const char* kListColumnCaptions[] = {"Equations", "Start", "End", "Steps"};
// The steps that set up the list's columns: each caption, then each width.
constexpr int kColumnCaptionLines[] = {128, 130, 132, 134};
constexpr int kColumnWidthLines[] = {136, 138, 140, 142};

QPushButton* makeButton(QWidget* parent, const char* caption, const char* objectName) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

Form1::Form1(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      services_(services) {
  initResources();
  setObjectName(QStringLiteral("Form1"));
  setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
  setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
  buildControls();
  fitCaptions();
  watchMouseMoves();
}

Form1::~Form1() = default;

int Form1::twipsToPixels(int twips) const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
  return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

void Form1::placeControl(QWidget* control, int left, int top, int width, int height) {
  control->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                       twipsToPixels(height));
}

void Form1::buildControls() {
  // Controls are made in their designed tab order, which Qt's focus chain then follows:
  // ListView1, ProgressBar1, PushButton5, Frame1, Option1, Option2, PushButton1, PushButton4,
  // PushButton2, PushButton3, PushButton6.
  ListView1 = new QTreeView(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setModel(&list_);
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setSortingEnabled(false);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setAllColumnsShowFocus(true);
  ListView1->header()->setStretchLastSection(false);
  ListView1->header()->setSectionsMovable(false);
  ListView1->setToolTip(QStringLiteral("Double-click item to remove it."));
  placeControl(ListView1, 120, 630, 7800, 2145);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setFormat(QStringLiteral("Progress Bar"));
  ProgressBar1->setAlignment(Qt::AlignCenter);
  placeControl(ProgressBar1, 120, 5520, 7800, 405);

  PushButton5 = makeButton(this, "Help", "PushButton5");
  placeControl(PushButton5, 120, 120, 7800, 405);

  Frame1 = new QGroupBox(QStringLiteral("Graph Options"), this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  placeControl(Frame1, 120, 3840, 7800, 1030);
  Option1 = new QRadioButton(QStringLiteral("Graph each equation on separate graph"), Frame1);
  Option1->setObjectName(QStringLiteral("Option1"));
  placeControl(Option1, 240, 300, 3750, 255);
  Option2 = new QRadioButton(QStringLiteral("Graph all equations on one graph"), Frame1);
  Option2->setObjectName(QStringLiteral("Option2"));
  placeControl(Option2, 240, 650, 3750, 255);
  Option1->setChecked(true);

  PushButton1 = makeButton(this, "Add Equation", "PushButton1");
  placeControl(PushButton1, 120, 2880, 3840, 405);
  PushButton4 = makeButton(this, "Load Equations From File", "PushButton4");
  placeControl(PushButton4, 4080, 2880, 3840, 405);
  PushButton2 = makeButton(this, "Start Graphing", "PushButton2");
  placeControl(PushButton2, 120, 5000, 7800, 405);

  PushButton3 = makeButton(this, "Clear List", "PushButton3");
  placeControl(PushButton3, 120, 3390, 3840, 405);
  PushButton6 = makeButton(this, "Load Sample/Example Files", "PushButton6");
  placeControl(PushButton6, 4080, 3390, 3840, 405);

  connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
  connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
  connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
  connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
  connect(PushButton5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
  connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
}

void Form1::watchMouseMoves() {
  setMouseTracking(true);
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) {
    child->setMouseTracking(true);
    // A move over a control is that control's alone, never also the window's or the frame's.
    child->setAttribute(Qt::WA_NoMousePropagation);
  }
  for (QWidget* watched : {static_cast<QWidget*>(PushButton1), static_cast<QWidget*>(PushButton2),
                           static_cast<QWidget*>(PushButton3), static_cast<QWidget*>(PushButton4),
                           static_cast<QWidget*>(PushButton5), static_cast<QWidget*>(PushButton6),
                           static_cast<QWidget*>(Frame1), ListView1->viewport(),
                           static_cast<QWidget*>(ListView1->header())}) {
    watched->installEventFilter(this);
  }
  ListView1->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
      if (watched == this) Form_MouseMove();
      else if (watched == Frame1) Frame1_MouseMove();
      else if (watched == ListView1->viewport() || watched == ListView1->header()) ListView1_MouseMove();
      else if (qobject_cast<QPushButton*>(watched)) PushButton_MouseMove();
      break;
    case QEvent::MouseButtonDblClick:
      // The press before it has already selected the row under the pointer.
      if (watched == ListView1->viewport()) ListView1_DblClick();
      break;
    case QEvent::KeyPress:
      if (watched == ListView1) {
        auto* key = static_cast<QKeyEvent*>(event);
        ListView1_KeyDown(static_cast<Qt::Key>(key->key()), key->modifiers());
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

// ---- Start-up -------------------------------------------------------------------------------

void Form1::Form_Load() {
  platform::ErrorTrap trap(services_.dialogs, platform::ErrorTrap::locationOf("Form_Load"));
  trap.step(102, [&] { setWindowTitle(QString::fromLatin1(kProductName)); });
  trap.step(102, [&] { setWindowIcon(QIcon(QStringLiteral(":/tessaline/icon.svg"))); });
  trap.step(102, [&] { SetApplicationTitle(); });
  trap.step(104, [&] { ApplySkin(); });
  loadCursorFile(trap);
  trap.step(110, [&] { MaybeOpenHomePage(services_.clock, services_.random, services_.launcher); });
  setUpListColumns(trap);
  restoreSavedList(trap);
  trap.step(166, [&] { checkEngineCanStart(); });
  fitCaptions();  // the skin may have changed the fonts
  centreOnScreen();
}

// An engine needs its working folder: when that is what fails, the box names the folder rather
// than the spreadsheet application, and the program ends as it would without an engine.
void Form1::checkEngineCanStart() {
  if (services_.workingFolderProblem) {
    if (const QString problem = services_.workingFolderProblem(); !problem.isEmpty()) {
      services_.dialogs.messageBox(problem, platform::Buttons::Ok, platform::Icon::None);
      services_.endProgram();
      return;
    }
  }
  graphing::CheckExcelInstalled(services_.excel, services_.dialogs, services_.endProgram);
}

void Form1::setUpListColumns(platform::ErrorTrap& trap) {
  for (int i = 0; i < 4; ++i)
    trap.step(kColumnCaptionLines[i], [&] { list_.addColumn(QString::fromLatin1(kListColumnCaptions[i])); });
  for (int i = 0; i < 4; ++i)
    trap.step(kColumnWidthLines[i], [&] { ListView1->setColumnWidth(i, twipsToPixels(kListColumnWidths[i])); });
}

void Form1::centreOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

QString applicationTitleFor(const QString& productName) {
  // Cut at the last space at least once, and again while the title is over 40 characters.
  // A name without a space is kept whole (at most 40 characters of it).
  QString title = productName;
  do {
    const int space = title.lastIndexOf(QLatin1Char(' '));
    if (space < 0) return title.left(40);
    title = title.left(space);
  } while (title.size() > 40);
  return title;
}

void SetApplicationTitle() {
  platform::setApplicationTitle(applicationTitleFor(QString::fromLatin1(kProductName)));
}

void MaybeOpenHomePage(platform::Clock& clock, platform::Random& random, platform::Launcher& launcher) {
  random.seed(static_cast<unsigned>(clock.secondsSinceMidnight()));
  const int k = static_cast<int>(100 * random.next()) + 1;
  if (k != 7) return;
  if (!launcher.openUrl(QString::fromLatin1(kHomePageAddress)))
    throw platform::StepFailure("The home page could not be opened");
}

// ---- Closing --------------------------------------------------------------------------------

void Form1::closeEvent(QCloseEvent* event) {
  Form_QueryUnload();
  event->accept();
  Form_Unload();
}

void Form1::Form_Unload() {
  if (services_.endProgram) services_.endProgram();
}

// ---- The list -------------------------------------------------------------------------------

void Form1::ListView1_DblClick() { removeSelectedRow(); }

// Only the Delete key removes a row, whatever the modifiers; printable keys never do.
void Form1::ListView1_KeyDown(Qt::Key key, Qt::KeyboardModifiers /*modifiers*/) {
  if (key != Qt::Key_Delete) return;
  removeSelectedRow();
}

void Form1::removeSelectedRow() {
  if (mousePointer_ == MousePointer::Busy) return;
  if (list_.count() == 0) return;
  const QModelIndexList selected = ListView1->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  list_.removeRow(selected.first().row() + 1);
}

// ---- Pointer --------------------------------------------------------------------------------

void Form1::setMousePointer(MousePointer state) {
  mousePointer_ = state;
  switch (state) {
    case MousePointer::Busy:
      setCursor(Qt::WaitCursor);
      break;
    case MousePointer::Custom:
      setCursor(mouseIcon_ ? *mouseIcon_ : QCursor(Qt::PointingHandCursor));
      break;
    case MousePointer::Default:
      unsetCursor();
      break;
  }
}

void Form1::setMouseIcon(const QCursor& cursor) {
  mouseIcon_ = std::make_unique<QCursor>(cursor);
  if (mousePointer_ == MousePointer::Custom) setMousePointer(MousePointer::Custom);
}

void Form1::PushButton_MouseMove() {
  if (mousePointer_ != MousePointer::Busy) setMousePointer(MousePointer::Custom);
}

void Form1::Form_MouseMove() {
  if (mousePointer_ != MousePointer::Busy) setMousePointer(MousePointer::Default);
}

void Form1::Frame1_MouseMove() {
  if (mousePointer_ != MousePointer::Busy) setMousePointer(MousePointer::Default);
}

void Form1::ListView1_MouseMove() {
  if (mousePointer_ != MousePointer::Busy) setMousePointer(MousePointer::Default);
}

}  // namespace app
