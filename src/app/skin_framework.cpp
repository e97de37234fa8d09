#include "app/skin_framework.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <QTimer>
#include <QWidget>

#include "style_sheet_text.h"
#include "platform/error_report.h"

namespace app {
namespace {

Q_LOGGING_CATEGORY(skinLog, SkinFramework::kLogCategory, QtInfoMsg)

// A skin is a page or two of rules; anything far larger is not one.
constexpr qint64 kLargestSheet = 1 << 20;

[[noreturn]] void fail(const QString& description) { throw platform::StepFailure(description.toStdString()); }

QString readStyleSheet(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) fail(QStringLiteral("The skin file %1 was not found").arg(path));
  if (info.size() > kLargestSheet) fail(QStringLiteral("The skin file %1 is too large").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) fail(QStringLiteral("The skin file %1 could not be read").arg(path));
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString sheet = decoder(file.readAll());
  if (decoder.hasError()) fail(QStringLiteral("The skin file %1 is not UTF-8 text").arg(path));
  if (style_sheet::isBlank(sheet)) fail(QStringLiteral("The skin file %1 is empty").arg(path));
  if (const auto error = style_sheet::structuralError(sheet))
    fail(QStringLiteral("The skin file %1 is not a valid style sheet: %2").arg(path, *error));
  return sheet;
}

}  // namespace

// Re-applies the skin when the application's palette changes (the desktop's scheme did). The
// widgets take their new palette from events posted with the change, so the skin follows once
// those are handled, and several changes in a row cost one re-application.
class SkinFramework::DesktopWatcher : public QObject {
 public:
  explicit DesktopWatcher(SkinFramework& skin) : skin_(skin) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && !skin_.applying_ && !pending_) {
      pending_ = true;
      QTimer::singleShot(0, this, [this] {
        pending_ = false;
        skin_.note(QStringLiteral("reapply"));
        skin_.putOnEverything();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  SkinFramework& skin_;
  bool pending_ = false;
};

SkinFramework::SkinFramework() = default;

SkinFramework::~SkinFramework() {
  watcher_.reset();
  restoreApplicationSheet();
}

void SkinFramework::note(const QString& operation) const { qCDebug(skinLog).noquote() << operation; }

void SkinFramework::LoadSkin(const QString& path, const QString& overrides) {
  note(QStringLiteral("LoadSkin ") + path);
  QString sheet = readStyleSheet(path);
  if (!overrides.isEmpty()) sheet += QLatin1Char('\n') + readStyleSheet(overrides);
  styleSheet_ = sheet;
}

SkinOptions SkinFramework::options() const {
  note(QStringLiteral("options"));
  return options_;
}

void SkinFramework::setOptions(SkinOptions options) {
  note(QStringLiteral("setOptions ") + QString::number(options.toInt()));
  options_ = options;
}

void SkinFramework::setProperty(SkinProperty id, bool value) {
  note(QStringLiteral("setProperty %1 %2").arg(static_cast<int>(id)).arg(value ? QStringLiteral("on") : QStringLiteral("off")));
  switch (id) {
    case SkinProperty::Dialogs:
      dialogs_ = value;
      break;
    case SkinProperty::FollowDesktop:
      followDesktop_ = value;
      break;
    default:
      fail(QStringLiteral("The skin has no property %1").arg(static_cast<int>(id)));
  }
}

bool SkinFramework::property(SkinProperty id) const {
  if (id == SkinProperty::Dialogs) return dialogs_;
  if (id == SkinProperty::FollowDesktop) return followDesktop_;
  return false;
}

void SkinFramework::ApplyWindow(QWidget* window) {
  note(QStringLiteral("ApplyWindow ") + (window ? window->objectName() : QString()));
  if (!window) fail(QStringLiteral("There is no window to skin"));
  if (styleSheet_.isEmpty()) fail(QStringLiteral("No skin is loaded"));
  if (!options_.testFlag(SkinOption::StyleControls) && window->objectName().isEmpty())
    fail(QStringLiteral("A window without an object name can only be skinned with its controls"));
  window_ = window;
  putOnEverything();
  if (followDesktop_ && !watcher_) watcher_ = std::make_unique<DesktopWatcher>(*this);
  if (!followDesktop_) watcher_.reset();
}

void SkinFramework::putOnEverything() {
  applying_ = true;
  if (window_) putOnWindow();
  if (dialogs_) putOnDialogs();
  else restoreApplicationSheet();
  applying_ = false;
}

void SkinFramework::putOnWindow() {
  const QString name = window_->objectName();
  const QString sheet = options_.testFlag(SkinOption::StyleControls)
                            ? styleSheet_
                            : style_sheet::rewriteSelectors(styleSheet_, [&](const QString& selector) {
                                return QStringList{style_sheet::withObjectName(selector, name)};
                              });
  // Cleared first, so that palette(...) colours are looked up afresh.
  window_->setStyleSheet(QString());
  window_->setStyleSheet(sheet);
}

void SkinFramework::putOnDialogs() {
  if (!ownsApplicationSheet_) {
    previousApplicationSheet_ = qApp->styleSheet();
    ownsApplicationSheet_ = true;
  }
  qApp->setStyleSheet(QString());
  qApp->setStyleSheet(style_sheet::rewriteSelectors(styleSheet_, style_sheet::forDialogs));
}

void SkinFramework::restoreApplicationSheet() {
  if (!ownsApplicationSheet_ || !qApp) return;
  qApp->setStyleSheet(previousApplicationSheet_);
  ownsApplicationSheet_ = false;
}

}  // namespace app
