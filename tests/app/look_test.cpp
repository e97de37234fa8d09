// The window's look: the optional skin, the hover cursor file and the pointer under mouse moves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImageWriter>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>

#include "cursor_file.h"
#include "platform/error_report.h"
#include "skin_operations.h"
#include "support/form_fixture.h"

using testing_support::FormFixture;

namespace {

QString report(int line, const QString& description) {
  return platform::errorReportText(platform::ErrorTrap::locationOf("Form_Load"), line, description);
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

QImage handPicture() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < 32; ++y) image.setPixel(y / 2, y, qRgba(200, 30, 40, 255));
  return image;
}

enum class Payload { Bitmap, Png };

// A cursor file: an icon as Qt writes it (a bitmap), or one holding a PNG, with the cursor type
// and the hot spot put where an icon keeps its planes and bit count.
QByteArray cursorBytes(QPoint hotSpot, Payload payload = Payload::Bitmap) {
  QByteArray data;
  if (payload == Payload::Bitmap) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    EXPECT_TRUE(writer.write(handPicture())) << writer.errorString().toStdString();
  } else {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    handPicture().save(&buffer, "PNG");
    data = QByteArray(22, '\0');
    data[4] = 1;
    data[6] = 32;
    data[7] = 32;
    qToLittleEndian<quint32>(png.size(), data.data() + 14);
    qToLittleEndian<quint32>(22, data.data() + 18);
    data += png;
  }
  qToLittleEndian<quint16>(2, data.data() + 2);
  qToLittleEndian<quint16>(hotSpot.x(), data.data() + 10);
  qToLittleEndian<quint16>(hotSpot.y(), data.data() + 12);
  return data;
}

QString sourceFile(const char* relative) {
  // ctest names the checkout; __FILE__ may be relative to the build folder (compiler caches).
  const QString root = qEnvironmentVariable("TESSALINE_SOURCE_DIR");
  if (!root.isEmpty()) return QDir(root).absoluteFilePath(QLatin1String(relative));
  return QFileInfo(QStringLiteral(__FILE__)).dir().absoluteFilePath(QLatin1String("../../") + QLatin1String(relative));
}

// A main window whose program folder is a fresh temporary folder.
class Look : public ::testing::Test {
 protected:
  void SetUp() override { f.services.programFolder = folder.path(); }
  app::Form1& form() { return *f.form; }
  QString skinPath() const { return folder.path() + QStringLiteral("/x/o.cjs"); }
  QString cursorPath() const { return folder.path() + QStringLiteral("/HAND-M.CUR"); }
  void writeSkin(const QByteArray& sheet = "QPushButton { color: #203040; }") { writeFile(skinPath(), sheet); }
  void recordSkinOperations() {
    skinLog.emplace([this](const QString& operation) { operations << operation; });
  }
  // The controls whose designed background the skin may change.
  std::vector<QWidget*> designedFaces() { return {&form(), form().Frame1, form().Option1, form().Option2}; }

  QTemporaryDir folder;
  FormFixture f;
  QStringList operations;
  std::optional<testing_support::SkinOperations> skinLog;
};

bool hasButtonFace(const QWidget* widget) {
  return widget->backgroundRole() == QPalette::Button && widget->autoFillBackground();
}

// ---- Is there a skin? -----------------------------------------------------------------------

struct SkinPresence {
  const char* name;
  std::function<void(const QString& programFolder)> arrange;
  bool applied;
};

class SkinPresenceCases : public Look, public ::testing::WithParamInterface<SkinPresence> {};

TEST_P(SkinPresenceCases, OnlyAPlainVisibleFileChangesTheLook) {
  GetParam().arrange(folder.path());
  recordSkinOperations();
  std::vector<QPalette::ColorRole> designed;
  for (QWidget* widget : designedFaces()) designed.push_back(widget->backgroundRole());

  form().ApplySkin();

  if (GetParam().applied) {
    EXPECT_EQ(operations.size(), 6);
    for (QWidget* widget : designedFaces()) EXPECT_TRUE(hasButtonFace(widget)) << widget->objectName().toStdString();
    return;
  }
  EXPECT_EQ(operations, QStringList{}) << "no skin operation at all";
  EXPECT_EQ(form().styleSheet(), QString());
  for (size_t i = 0; i < designed.size(); ++i) {
    EXPECT_EQ(designedFaces()[i]->backgroundRole(), designed[i]) << designedFaces()[i]->objectName().toStdString();
    EXPECT_FALSE(designedFaces()[i]->autoFillBackground());
  }
}

const QByteArray kSheet = "QPushButton { color: #203040; }";

INSTANTIATE_TEST_SUITE_P(
    Cases, SkinPresenceCases,
    ::testing::Values(
        SkinPresence{"NoFile", [](const QString&) {}, false},
        SkinPresence{"NoFileButTheFolder", [](const QString& p) { QDir(p).mkpath(QStringLiteral("x")); }, false},
        SkinPresence{"AFolderInItsPlace", [](const QString& p) { QDir(p).mkpath(QStringLiteral("x/o.cjs")); }, false},
        SkinPresence{"HiddenByItsFolderList",
                     [](const QString& p) {
                       writeFile(p + QStringLiteral("/x/o.cjs"), kSheet);
                       writeFile(p + QStringLiteral("/x/.hidden"), "other\no.cjs\n");
                     },
                     false},
        SkinPresence{"InAHiddenFolder",
                     [](const QString& p) {
                       writeFile(p + QStringLiteral("/x/o.cjs"), kSheet);
                       writeFile(p + QStringLiteral("/.hidden"), "x\n");
                     },
                     false},
        SkinPresence{"ListedNeighbourOnly",
                     [](const QString& p) {
                       writeFile(p + QStringLiteral("/x/o.cjs"), kSheet);
                       writeFile(p + QStringLiteral("/x/.hidden"), "o.cjs.old\n");
                     },
                     true},
        SkinPresence{"Present", [](const QString& p) { writeFile(p + QStringLiteral("/x/o.cjs"), kSheet); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Applying it -----------------------------------------------------------------------------

TEST_F(Look, ColoursChangeBeforeTheSkinLoadsAndTheWindowIsSkinnedLast) {
  writeSkin();
  auto* label = new QLabel(QStringLiteral("Note"), &form());
  auto* check = new QCheckBox(QStringLiteral("Check"), form().Frame1);
  auto* frame = new QFrame(&form());
  const std::vector<QWidget*> faced = {&form(), form().Frame1, form().Option1, form().Option2, label, check, frame};
  const std::vector<QWidget*> untouched = {form().PushButton1, form().PushButton2, form().PushButton3,
                                           form().PushButton4, form().PushButton5, form().PushButton6,
                                           form().ListView1,   form().ProgressBar1};
  bool facedAtLoad = false;
  bool untouchedAtLoad = false;
  testing_support::SkinOperations watch([&](const QString& operation) {
    operations << operation;
    if (!operation.startsWith(QLatin1String("LoadSkin"))) return;
    facedAtLoad = std::all_of(faced.begin(), faced.end(), hasButtonFace);
    untouchedAtLoad = std::none_of(untouched.begin(), untouched.end(), hasButtonFace);
  });
  form().SkinFramework1.setOptions(app::SkinOptions::fromInt(4));
  operations.clear();

  form().ApplySkin();

  EXPECT_TRUE(facedAtLoad) << "the window and its option buttons, check boxes, frames and labels";
  EXPECT_TRUE(untouchedAtLoad) << "push buttons, the list view and the progress bar keep theirs";
  EXPECT_EQ(operations, (QStringList{QStringLiteral("LoadSkin ") + skinPath(), QStringLiteral("options"),
                                     QStringLiteral("setOptions 5"), QStringLiteral("setProperty 5 on"),
                                     QStringLiteral("setProperty 10 on"), QStringLiteral("ApplyWindow Form1")}));
  EXPECT_EQ(form().SkinFramework1.options(), 5);
  EXPECT_EQ(form().styleSheet(), QString::fromUtf8(kSheet)) << "bit 0: the whole skin, controls included";
  EXPECT_TRUE(qApp->styleSheet().contains(QLatin1String("QDialog QPushButton")));
  EXPECT_EQ(form().palette().color(form().backgroundRole()), form().palette().color(QPalette::Button));
}

TEST_F(Look, TheFaceFollowsTheDesktopsButtonColour) {
  writeSkin();
  form().ApplySkin();
  const QPalette original = QApplication::palette();
  QPalette changed = original;
  changed.setColor(QPalette::Button, QColor(0x3C4A5E));
  QApplication::setPalette(changed);
  QCoreApplication::processEvents();  // widgets take the new palette from posted events
  for (QWidget* widget : designedFaces())
    EXPECT_EQ(widget->palette().color(widget->backgroundRole()), QColor(0x3C4A5E)) << widget->objectName().toStdString();
  QApplication::setPalette(original);
}

TEST_F(Look, TheShippedSkinIsASoundStyleSheetAndAppliesWhole) {
  QFile shipped(sourceFile("src/app/resources/skin.qss"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly)) << shipped.fileName().toStdString();
  const QByteArray sheet = shipped.readAll();
  writeSkin(sheet);
  form().ApplySkin();
  EXPECT_EQ(form().styleSheet(), QString::fromUtf8(sheet));
  for (const char* control : {"QPushButton", "QTreeView", "QHeaderView::section", "QGroupBox", "QRadioButton",
                              "QProgressBar", "QToolTip", "QMessageBox", "QLineEdit"})
    EXPECT_TRUE(form().styleSheet().contains(QLatin1String(control))) << control;
}

TEST_F(Look, ASkinThatFailsIsReportedAtLine104AndTheCursorStepStillRuns) {
  writeSkin("QPushButton { color: red;");
  writeFile(cursorPath(), cursorBytes({5, 1}));
  f.dialogs.answerMessage();
  form().Form_Load();
  EXPECT_EQ(f.dialogs.messageTexts(),
            std::vector<QString>{report(104, QStringLiteral("The skin file %1 is not a valid style sheet: "
                                                            "a '{' is never closed").arg(skinPath()))});
  form().setMousePointer(app::MousePointer::Custom);
  EXPECT_EQ(form().cursor().shape(), Qt::BitmapCursor) << "the hand was loaded";
  EXPECT_EQ(f.random.seeds.size(), 1u) << "start-up went on";
}

// ---- The cursor file ---------------------------------------------------------------------------

struct CursorCase {
  const char* name;
  std::function<void(const QString& path)> arrange;
  std::vector<std::pair<int, QString>> reports;  // line, description with %1 for the path
  bool icon;
};

class CursorCases : public Look, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(CursorCases, StartUpGoesOnWithOrWithoutTheHand) {
  GetParam().arrange(cursorPath());
  std::vector<QString> expected;
  for (const auto& [line, description] : GetParam().reports) {
    expected.push_back(report(line, description.arg(cursorPath())));
    f.dialogs.answerMessage();
  }
  form().Form_Load();
  EXPECT_EQ(f.dialogs.messageTexts(), expected);
  EXPECT_EQ(f.random.seeds.size(), 1u) << "start-up went on";
  form().setMousePointer(app::MousePointer::Custom);
  EXPECT_EQ(form().cursor().shape(), GetParam().icon ? Qt::BitmapCursor : Qt::PointingHandCursor);
}

QByteArray withTypeOne(QByteArray data) {
  data[2] = 1;
  return data;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CursorCases,
    ::testing::Values(
        CursorCase{"NoFile", [](const QString&) {}, {}, false},
        CursorCase{"Valid", [](const QString& p) { writeFile(p, cursorBytes({7, 0})); }, {}, true},
        CursorCase{"HiddenStillCounts",
                   [](const QString& p) {
                     writeFile(p, cursorBytes({7, 0}));
                     writeFile(QFileInfo(p).absolutePath() + QStringLiteral("/.hidden"), "HAND-M.CUR\n");
                   },
                   {},
                   true},
        CursorCase{"Text",
                   [](const QString& p) { writeFile(p, "not a picture at all, only some text\n"); },
                   {{108, QStringLiteral("Invalid picture: %1 is not a cursor file (no cursor header)")}},
                   false},
        CursorCase{"Short",
                   [](const QString& p) { writeFile(p, "hi"); },
                   {{108, QStringLiteral("Invalid picture: %1 is not a cursor file (too short)")}},
                   false},
        CursorCase{"AnIcon",
                   [](const QString& p) { writeFile(p, withTypeOne(cursorBytes({0, 0}))); },
                   {{108, QStringLiteral("Invalid picture: %1 is not a cursor file (no cursor header)")}},
                   false},
        CursorCase{"CutShort",
                   [](const QString& p) { writeFile(p, cursorBytes({0, 0}).left(100)); },
                   {{108, QStringLiteral("Invalid picture: %1 is not a cursor file (cut short)")}},
                   false},
        CursorCase{"GarbledPicture",
                   [](const QString& p) {
                     QByteArray data = cursorBytes({0, 0}, Payload::Png);
                     data.replace(22, 16, QByteArray(16, 'z'));
                     writeFile(p, data);
                   },
                   {{108, QStringLiteral("Invalid picture: %1 is not a cursor file (the picture cannot be decoded)")}},
                   false},
        CursorCase{"HotSpotOutside",
                   [](const QString& p) { writeFile(p, cursorBytes({32, 4})); },
                   {{108, QStringLiteral("Invalid picture: %1 is not a cursor file (hot spot outside the picture)")}},
                   false},
        // A link to itself: its time cannot be read, the test counts as held and the load is tried.
        CursorCase{"TimeUnreadable",
                   [](const QString& p) { QFile::link(QStringLiteral("HAND-M.CUR"), p); },
                   {{106, QStringLiteral("The time of %1 could not be read: ") + QString::fromLocal8Bit(std::strerror(ELOOP))},
                    {108, QStringLiteral("The cursor file %1 could not be read")}},
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

struct HotSpotCase {
  const char* name;
  QPoint hotSpot;
  Payload payload;
};

class CursorHotSpots : public Look, public ::testing::WithParamInterface<HotSpotCase> {};

TEST_P(CursorHotSpots, TheCustomPointerHasTheFilesPictureAndHotSpot) {
  const auto picture = app::decodeCursor(cursorBytes(GetParam().hotSpot, GetParam().payload), QStringLiteral("c"));
  EXPECT_EQ(picture.hotSpot, GetParam().hotSpot);
  EXPECT_EQ(picture.image.size(), QSize(32, 32));
  EXPECT_EQ(picture.image.convertToFormat(QImage::Format_ARGB32).pixel(5, 10), qRgba(200, 30, 40, 255));
  EXPECT_EQ(qAlpha(picture.image.convertToFormat(QImage::Format_ARGB32).pixel(30, 2)), 0);

  writeFile(cursorPath(), cursorBytes(GetParam().hotSpot, GetParam().payload));
  form().Form_Load();
  form().setMousePointer(app::MousePointer::Custom);
  EXPECT_EQ(form().cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(form().cursor().hotSpot(), GetParam().hotSpot);
  EXPECT_EQ(form().cursor().pixmap().size(), QSize(32, 32));
}

INSTANTIATE_TEST_SUITE_P(Cases, CursorHotSpots,
                         ::testing::Values(HotSpotCase{"Fingertip", {7, 0}, Payload::Bitmap},
                                           HotSpotCase{"Origin", {0, 0}, Payload::Bitmap},
                                           HotSpotCase{"FarCorner", {31, 31}, Payload::Bitmap},
                                           HotSpotCase{"PngPicture", {16, 9}, Payload::Png}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShippedCursor, IsAHandWithItsHotSpotAtTheFingertip) {
  const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/app/HAND-M.CUR");
  if (!QFileInfo::exists(path)) GTEST_SKIP() << "build the tessaline target to make " << path.toStdString();
  const auto picture = app::readCursorFile(path);
  EXPECT_EQ(picture.image.size(), QSize(32, 32));
  EXPECT_EQ(picture.hotSpot, QPoint(7, 0));
  const QImage argb = picture.image.convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(qAlpha(argb.pixel(picture.hotSpot)), 255) << "the hot spot is on the hand";
  EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0) << "the corner is see-through";
}

// ---- Installed: the data folder beside bin/ --------------------------------------------------

// An installed layout in a temporary folder: the program in <root>/bin, its data in
// <root>/share/tessaline.
class InstalledLook : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    f.services.programFolder = bin();
    skinLog.emplace([this](const QString& operation) { operations << operation; });
  }
  QString bin() const { return root.path() + QStringLiteral("/bin"); }
  QString data() const { return root.path() + QStringLiteral("/share/tessaline"); }
  bool customCursorLoaded() {
    f.form->setMousePointer(app::MousePointer::Custom);
    return f.form->cursor().shape() == Qt::BitmapCursor;
  }

  QTemporaryDir root;
  FormFixture f;
  QStringList operations;
  std::optional<testing_support::SkinOperations> skinLog;
};

TEST_F(InstalledLook, TheDataFolderIsFoundFromTheProgramFolder) {
  EXPECT_EQ(app::installedDataFolder(bin()), data());
}

TEST_F(InstalledLook, SkinAndCursorInTheDataFolderAreUsed) {
  writeFile(data() + QStringLiteral("/x/o.cjs"), kSheet);
  writeFile(data() + QStringLiteral("/HAND-M.CUR"), cursorBytes({7, 0}));
  f.form->Form_Load();
  EXPECT_TRUE(operations.contains(QStringLiteral("LoadSkin ") + data() + QStringLiteral("/x/o.cjs"))) << operations.join(", ").toStdString();
  EXPECT_TRUE(customCursorLoaded());
  EXPECT_EQ(f.form->cursor().hotSpot(), QPoint(7, 0));
  EXPECT_EQ(f.dialogs.messageTexts(), std::vector<QString>{});
}

TEST_F(InstalledLook, FilesBesideTheProgramComeFirst) {
  writeFile(data() + QStringLiteral("/x/o.cjs"), kSheet);
  writeFile(data() + QStringLiteral("/HAND-M.CUR"), cursorBytes({7, 0}));
  writeFile(bin() + QStringLiteral("/x/o.cjs"), kSheet);
  writeFile(bin() + QStringLiteral("/HAND-M.CUR"), cursorBytes({3, 9}));
  f.form->Form_Load();
  EXPECT_TRUE(operations.contains(QStringLiteral("LoadSkin ") + bin() + QStringLiteral("/x/o.cjs"))) << operations.join(", ").toStdString();
  EXPECT_TRUE(customCursorLoaded());
  EXPECT_EQ(f.form->cursor().hotSpot(), QPoint(3, 9));
}

TEST_F(InstalledLook, AHiddenSkinBesideTheProgramGivesWayToTheDataFolder) {
  writeFile(bin() + QStringLiteral("/x/o.cjs"), kSheet);
  writeFile(bin() + QStringLiteral("/x/.hidden"), "o.cjs\n");
  writeFile(data() + QStringLiteral("/x/o.cjs"), kSheet);
  f.form->ApplySkin();
  EXPECT_EQ(operations.value(0), QStringLiteral("LoadSkin ") + data() + QStringLiteral("/x/o.cjs"));
}

TEST_F(InstalledLook, AHiddenDataFolderIsNoSkin) {
  writeFile(data() + QStringLiteral("/x/o.cjs"), kSheet);
  writeFile(data() + QStringLiteral("/x/.hidden"), "o.cjs\n");
  f.form->ApplySkin();
  EXPECT_EQ(operations, QStringList{});
  EXPECT_EQ(f.form->styleSheet(), QString());
}

// ---- Hover ----------------------------------------------------------------------------------

void moveOver(QWidget* widget) {
  QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &move);
}

struct HoverCase {
  std::string name;
  std::function<QWidget*(app::Form1&)> control;
  app::MousePointer before;
  app::MousePointer after;
};

class Hover : public Look, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(Hover, AMoveSetsThePointerStateOfItsControl) {
  form().setMousePointer(GetParam().before);
  moveOver(GetParam().control(form()));
  EXPECT_EQ(form().mousePointer(), GetParam().after);
}

using F = app::Form1;
std::vector<HoverCase> hoverCases() {
  const std::vector<std::pair<const char*, std::function<QWidget*(F&)>>> buttons = {
      {"PushButton1", [](F& w) { return w.PushButton1; }}, {"PushButton2", [](F& w) { return w.PushButton2; }},
      {"PushButton3", [](F& w) { return w.PushButton3; }}, {"PushButton4", [](F& w) { return w.PushButton4; }},
      {"PushButton5", [](F& w) { return w.PushButton5; }}, {"PushButton6", [](F& w) { return w.PushButton6; }}};
  const std::vector<std::pair<const char*, std::function<QWidget*(F&)>>> arrows = {
      {"Form", [](F& w) { return static_cast<QWidget*>(&w); }},
      {"Frame1", [](F& w) { return w.Frame1; }},
      {"ListView1", [](F& w) { return w.ListView1->viewport(); }},
      {"ListView1Header", [](F& w) { return w.ListView1->header(); }}};
  const std::vector<std::pair<const char*, std::function<QWidget*(F&)>>> silent = {
      {"Option1", [](F& w) { return w.Option1; }},
      {"Option2", [](F& w) { return w.Option2; }},
      {"ProgressBar1", [](F& w) { return w.ProgressBar1; }}};
  std::vector<HoverCase> cases;
  auto name = [](const char* control, const char* what) { return std::string(control) + what; };
  for (const auto& [control, get] : buttons) {
    cases.push_back({name(control, "ShowsTheHand"), get, app::MousePointer::Default, app::MousePointer::Custom});
    cases.push_back({name(control, "KeepsBusy"), get, app::MousePointer::Busy, app::MousePointer::Busy});
  }
  for (const auto& [control, get] : arrows) {
    cases.push_back({name(control, "ShowsTheArrow"), get, app::MousePointer::Custom, app::MousePointer::Default});
    cases.push_back({name(control, "KeepsBusy"), get, app::MousePointer::Busy, app::MousePointer::Busy});
  }
  for (const auto& [control, get] : silent) {
    cases.push_back({name(control, "KeepsTheHand"), get, app::MousePointer::Custom, app::MousePointer::Custom});
    cases.push_back({name(control, "KeepsTheArrow"), get, app::MousePointer::Default, app::MousePointer::Default});
    cases.push_back({name(control, "KeepsBusy"), get, app::MousePointer::Busy, app::MousePointer::Busy});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Controls, Hover, ::testing::ValuesIn(hoverCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(Look, FromAButtonOntoTheProgressBarTheHandStays) {
  moveOver(form().PushButton2);
  ASSERT_EQ(form().cursor().shape(), Qt::PointingHandCursor);
  moveOver(form().ProgressBar1);
  EXPECT_EQ(form().mousePointer(), app::MousePointer::Custom);
  EXPECT_EQ(form().cursor().shape(), Qt::PointingHandCursor);
  moveOver(&form());
  EXPECT_EQ(form().cursor().shape(), Qt::ArrowCursor);
}

TEST_F(Look, TheLoadedPictureIsTheHandOverButtons) {
  writeFile(cursorPath(), cursorBytes({3, 4}));
  form().Form_Load();
  moveOver(form().PushButton4);
  EXPECT_EQ(form().cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(form().cursor().hotSpot(), QPoint(3, 4));
  moveOver(form().ListView1->viewport());
  EXPECT_EQ(form().cursor().shape(), Qt::ArrowCursor);
  form().setMousePointer(app::MousePointer::Busy);
  moveOver(form().PushButton4);
  EXPECT_EQ(form().cursor().shape(), Qt::WaitCursor);
}

}  // namespace
