#include "view/workbook_window.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include "render/chart_extraction.h"
#include "render/chart_pictures.h"
#include "core/computation_notes.h"
#include "core/workbook_model.h"
#include "view/chart_view.h"
#include "view/data_csv.h"
#include "view/data_sheet_view.h"
#include "view/window_placement.h"

#ifndef TESSALINE_VERSION
#define TESSALINE_VERSION "unknown"
#endif

namespace view {
namespace {

const char* const kSaveAsFilters =
    "Excel workbook (*.xlsx);;Data sheet as CSV (*.csv);;Charts as PNG pictures (*.png);;"
    "Charts as SVG pictures (*.svg);;Charts as PDF document (*.pdf)";
const char* const kChartHint = "Scroll to zoom, drag a rectangle to zoom in, double-click to see the whole chart.";
const char* const kSheetHint = "Select a cell to see its formula above the table.";

enum class SaveKind { Xlsx, Csv, Pictures };

std::optional<SaveKind> saveKindOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "xlsx") return SaveKind::Xlsx;
  if (suffix == "csv") return SaveKind::Csv;
  if (render::pictureFormatOf(path)) return SaveKind::Pictures;
  return std::nullopt;
}

// The suffix of the filter the user picked, added when the typed name has none.
QString withSuffixOfFilter(QString path, const QString& filter) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  const int star = filter.indexOf("*.");
  if (star < 0) return path;
  return path + filter.mid(star + 1, filter.indexOf(')', star) - star - 1);
}

// The notes on the workbook's values, a sentence each, naming every equation as its chart does.
QStringList computationNoteSentences(const core::WorkbookModel& workbook) {
  QStringList sentences;
  for (const core::ComputationNote& note : core::computationNotes(workbook))
    for (const std::string& sentence : core::noteSentences(note, note.name)) {
      QString text = QString::fromStdString(sentence);
      text[0] = text[0].toUpper();
      sentences << text;
    }
  return sentences;
}

}  // namespace

WorkbookWindowActions WorkbookWindowActions::withQtDialogs() {
  WorkbookWindowActions actions;
  actions.chooseSaveAsPath = [](QWidget* parent, const QString& suggested) {
    QString filter;
    const QString path = QFileDialog::getSaveFileName(parent, QObject::tr("Save As"), suggested,
                                                      QString::fromLatin1(kSaveAsFilters), &filter);
    return withSuffixOfFilter(path, filter);
  };
  actions.showMessage = [](QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("Tessaline"), text);
  };
  actions.showAbout = [](QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::about(parent, title, text);
  };
  return actions;
}

WorkbookWindow::WorkbookWindow(std::shared_ptr<const core::WorkbookModel> workbook, QString bookFile,
                               WorkbookWindowActions actions, std::shared_ptr<const void> keepAlive, QWidget* parent)
    : QMainWindow(parent),
      workbook_(std::move(workbook)),
      bookFile_(std::move(bookFile)),
      actions_(std::move(actions)),
      keepAlive_(std::move(keepAlive)),
      tabs_(new QTabWidget(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(titleFor(bookFile_));
  tabs_->setTabPosition(QTabWidget::South);  // sheet tabs sit below the sheet, as in a spreadsheet
  tabs_->setDocumentMode(true);
  tabs_->setUsesScrollButtons(true);
  tabs_->setElideMode(Qt::ElideNone);
  setCentralWidget(tabs_);
  buildMenus();
  hint_ = new QLabel(this);
  hint_->setStyleSheet("color: #595959; padding: 0 6px;");
  hint_->setMinimumWidth(1);  // on a small screen the hint gives way rather than widen the window
  statusBar()->addPermanentWidget(hint_);
  showComputationNotes();
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    hint_->setText(qobject_cast<ChartView*>(tabs_->currentWidget()) ? tr(kChartHint) : tr(kSheetHint));
  });
  rebuildTabs();
  hint_->setText(qobject_cast<ChartView*>(tabs_->currentWidget()) ? tr(kChartHint) : tr(kSheetHint));
  resize(kDefaultWorkbookWindowSize);
}

WorkbookWindow::~WorkbookWindow() = default;

QString WorkbookWindow::titleFor(const QString& bookFile) {
  return QFileInfo(bookFile).completeBaseName() + " - Tessaline";
}

QString WorkbookWindow::aboutText() {
  return tr("<p><b>Tessaline</b> %1</p>"
            "<p>Plots many equations in x at once into a spreadsheet workbook.</p>"
            "<p>Copyright 2026 Quorvane. Free software under the MIT licence (Expat): you may use, copy, "
            "modify and distribute it; it comes without warranty.</p>"
            "<p><a href=\"https://www.quorvane.com/tessaline\">www.quorvane.com/tessaline</a></p>")
      .arg(QStringLiteral(TESSALINE_VERSION));
}

void WorkbookWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* saveAs = file->addAction(tr("Save &As..."), this, &WorkbookWindow::saveAsWithDialog);
  // The book is already on disk, so Save asks where to put a copy, as Save As does.
  saveAs->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
  QAction* open = file->addAction(tr("&Open in Spreadsheet Application"), this, &WorkbookWindow::openInSpreadsheet);
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  file->addSeparator();
  QAction* close = file->addAction(tr("&Close"), this, &QWidget::close);
  close->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});

  QMenu* sheets = menuBar()->addMenu(tr("&View"));
  showHidden_ = sheets->addAction(tr("Show &Hidden Sheets"));
  showHidden_->setCheckable(true);
  connect(showHidden_, &QAction::toggled, this, [this](bool shown) {
    rebuildTabs();
    if (shown) bringFirstHiddenSheetToFront();  // as unhiding a sheet does
  });
  sheets->addAction(tr("&Reset Zoom"), this, [this] {
    if (auto* chart = qobject_cast<ChartView*>(tabs_->currentWidget())) chart->resetZoom();
  });
  addSheetSteps(sheets);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(tr("&About Tessaline"), this, &WorkbookWindow::showAbout);

  QToolBar* bar = addToolBar(tr("Workbook"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar->addAction(saveAs);
  bar->addAction(open);
  bar->addAction(showHidden_);
}

// Ctrl+PgDn and Ctrl+PgUp stop at the last and first sheet, as in a spreadsheet; Ctrl+Tab and
// Ctrl+Shift+Tab go round, as between tabs elsewhere. Window shortcuts, so that they work
// whichever page has the focus.
void WorkbookWindow::addSheetSteps(QMenu* menu) {
  menu->addSeparator();
  QAction* next = menu->addAction(tr("&Next Sheet"), this, [this] { stepSheet(+1, false); });
  next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  QAction* previous = menu->addAction(tr("&Previous Sheet"), this, [this] { stepSheet(-1, false); });
  previous->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
  auto* nextRound = new QAction(this);
  nextRound->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
  connect(nextRound, &QAction::triggered, this, [this] { stepSheet(+1, true); });
  auto* previousRound = new QAction(this);
  // A keyboard sends Shift+Tab as Backtab; both spellings are bound.
  previousRound->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)});
  connect(previousRound, &QAction::triggered, this, [this] { stepSheet(-1, true); });
  addActions({nextRound, previousRound});
}

void WorkbookWindow::stepSheet(int step, bool wrap) {
  const int count = tabs_->count();
  if (count == 0) return;
  int index = tabs_->currentIndex() + step;
  if (wrap) index = (index % count + count) % count;
  if (index >= 0 && index < count) tabs_->setCurrentIndex(index);
}

void WorkbookWindow::showAbout() {
  if (actions_.showAbout) actions_.showAbout(this, tr("About Tessaline"), aboutText());
}

std::shared_ptr<core::SheetNode> WorkbookWindow::frontSheet() const {
  const auto& active = workbook_->activeSheet();
  if (active && (active->visible || showsHiddenSheets())) return active;
  for (const auto& sheet : workbook_->sheets())
    if (sheet->isChart() && sheet->visible) return sheet;
  for (const auto& sheet : workbook_->sheets())
    if (sheet->visible) return sheet;
  return nullptr;
}

QWidget* WorkbookWindow::widgetFor(const std::shared_ptr<core::SheetNode>& sheet) {
  auto found = pages_.find(sheet.get());
  if (found != pages_.end()) return found->second;
  QWidget* page = nullptr;
  if (sheet->isChart()) {
    auto* chart = new ChartView([workbook = workbook_, sheet] { return render::plotChartOf(*workbook, *sheet); }, this);
    connect(chart, &ChartView::pointHovered, this, [this](const QString& text) {
      if (text.isEmpty()) statusBar()->clearMessage();
      else statusBar()->showMessage(text);
    });
    page = chart;
  } else {
    page = new DataSheetView(workbook_, sheet, this);
  }
  pages_[sheet.get()] = page;
  return page;
}

// In the status bar's own place, so that a hovered point's text covers it only for a while. A
// long note is cut at the window's edge; its tooltip holds every sentence.
void WorkbookWindow::showComputationNotes() {
  notes_ = new QLabel(this);
  notes_->setStyleSheet("color: #9C5700; padding: 0 6px;");
  notes_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(notes_, 1);
  const QStringList sentences = computationNoteSentences(*workbook_);
  notes_->setText(sentences.join("  "));
  notes_->setToolTip(sentences.join('\n'));
  notes_->setVisible(!sentences.isEmpty());
}

void WorkbookWindow::rebuildTabs() {
  QWidget* current = tabs_->currentWidget();
  const bool firstTime = tabs_->count() == 0;
  tabs_->blockSignals(true);
  tabs_->clear();  // the pages stay, owned by the window
  for (const auto& sheet : workbook_->sheets()) {
    if (!sheet->visible && !showsHiddenSheets()) continue;
    const int at = tabs_->addTab(widgetFor(sheet), QString::fromStdString(sheet->name));
    if (!sheet->visible) tabs_->setTabToolTip(at, tr("A hidden sheet"));
  }
  tabs_->blockSignals(false);
  const int kept = current ? tabs_->indexOf(current) : -1;
  if (!firstTime && kept >= 0) tabs_->setCurrentIndex(kept);
  else if (const auto front = frontSheet()) tabs_->setCurrentWidget(pages_[front.get()]);
}

void WorkbookWindow::bringFirstHiddenSheetToFront() {
  for (const auto& sheet : workbook_->sheets())
    if (!sheet->visible) return tabs_->setCurrentWidget(widgetFor(sheet));
}

QStringList WorkbookWindow::tabTitles() const {
  QStringList titles;
  for (int i = 0; i < tabs_->count(); ++i) titles << tabs_->tabText(i);
  return titles;
}

QString WorkbookWindow::currentSheetName() const {
  return tabs_->currentIndex() < 0 ? QString() : tabs_->tabText(tabs_->currentIndex());
}

bool WorkbookWindow::showsHiddenSheets() const { return showHidden_ && showHidden_->isChecked(); }

void WorkbookWindow::setShowHiddenSheets(bool show) { showHidden_->setChecked(show); }

void WorkbookWindow::showSheet(const QString& name) {
  const auto sheet = workbook_->find(name.toStdString());
  if (!sheet) return;
  if (!sheet->visible) setShowHiddenSheets(true);
  tabs_->setCurrentWidget(widgetFor(sheet));
}

ChartView* WorkbookWindow::chartView(const QString& sheetName) const {
  const auto sheet = workbook_->find(sheetName.toStdString());
  auto found = sheet ? pages_.find(sheet.get()) : pages_.end();
  return found == pages_.end() ? nullptr : qobject_cast<ChartView*>(found->second);
}

DataSheetView* WorkbookWindow::dataSheetView(const QString& sheetName) const {
  const auto sheet = workbook_->find(sheetName.toStdString());
  auto found = sheet ? pages_.find(sheet.get()) : pages_.end();
  return found == pages_.end() ? nullptr : qobject_cast<DataSheetView*>(found->second);
}

void WorkbookWindow::tell(const QString& text) {
  if (actions_.showMessage) actions_.showMessage(this, text);
}

bool WorkbookWindow::saveAs(const QString& path) {
  const auto kind = saveKindOf(path);
  if (!kind) {
    tell(tr("\"%1\" was not saved. Tessaline saves the workbook as .xlsx, the Data sheet as .csv and the "
            "charts as .png, .svg or .pdf; please choose a name that ends in one of these.").arg(path));
    return false;
  }
  try {
    QStringList written{path};
    switch (*kind) {
      case SaveKind::Xlsx:
        if (!actions_.writeXlsx) throw SaveError("Saving as .xlsx is not available here.");
        actions_.writeXlsx(*workbook_, path);
        break;
      case SaveKind::Csv: writeDataCsv(*workbook_, path); break;
      case SaveKind::Pictures: written = render::writeChartPictures(render::plotChartsOf(*workbook_), path); break;
    }
    lastSaveAs_ = path;
    const QString what = written.size() <= 3 ? written.join(", ")
                                             : tr("%1 pictures, %2 to %3").arg(written.size()).arg(written.first(), written.last());
    statusBar()->showMessage(tr("Saved %1").arg(what), 8000);
    return true;
  } catch (const std::exception& error) {
    tell(QString::fromStdString(error.what()));
    return false;
  }
}

void WorkbookWindow::saveAsWithDialog() {
  if (!actions_.chooseSaveAsPath) return;
  const QString suggested = lastSaveAs_.isEmpty() ? bookFile_ : lastSaveAs_;
  const QString path = actions_.chooseSaveAsPath(this, suggested);
  if (!path.isEmpty()) saveAs(path);
}

void WorkbookWindow::openInSpreadsheet() {
  try {
    // The file may have gone since the run wrote it: write it again rather than fail.
    if (!QFileInfo::exists(bookFile_)) {
      if (!actions_.writeXlsx) throw SaveError(QString("\"%1\" no longer exists.").arg(bookFile_).toStdString());
      actions_.writeXlsx(*workbook_, bookFile_);
    }
    if (!actions_.openInSpreadsheet) throw SaveError("No spreadsheet application is set up.");
    statusBar()->showMessage(tr("Opening %1 in the spreadsheet application...").arg(bookFile_));
    // The opener answers later; the window may be gone by then.
    actions_.openInSpreadsheet(bookFile_, [window = QPointer<WorkbookWindow>(this)](const QString& failure) {
      if (!window) return;
      if (failure.isEmpty()) {
        window->statusBar()->showMessage(tr("Opened %1 in the spreadsheet application").arg(window->bookFile_), 8000);
        return;
      }
      window->statusBar()->clearMessage();
      window->tell(failure);
    });
  } catch (const std::exception& error) {
    tell(QString::fromStdString(error.what()));
  }
}

}  // namespace view
