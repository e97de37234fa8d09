#include "view/window_placement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>

namespace view {
namespace {

constexpr char kSizeKey[] = "WorkbookWindow/size";
// Smaller than this, a remembered size is a slip of the hand (or a damaged file), not a choice.
constexpr QSize kSmallestRemembered{240, 160};

// Writes the window's size to the memory as it closes, when the user changed it: the size it
// was given to fit a small screen is not a choice.
class CloseWatcher : public QObject {
 public:
  CloseWatcher(QWidget* window, const WindowSizeMemory& memory)
      : QObject(window), memory_(memory), given_(window->size()) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      const auto* window = static_cast<QWidget*>(watched);
      const QRect normal = window->normalGeometry();  // not the maximized or full-screen size
      const QSize size = normal.isValid() ? normal.size() : window->size();
      if (size != given_) memory_.remember(size);
    }
    return false;
  }

 private:
  WindowSizeMemory memory_;
  QSize given_;
};

}  // namespace

QRect placeInside(QSize wanted, const QRect& available, const QMargins& frame, int cascade, int step) {
  const QSize room(available.width() - frame.left() - frame.right(), available.height() - frame.top() - frame.bottom());
  step = std::max(step, 1);
  // A cascade goes down at most a quarter of the area and then starts again at the corner; a
  // window that would run past the edge there is made smaller rather than pushed out.
  const int positions = std::max(0, std::min(room.width(), room.height())) / 4 / step + 1;
  const int offset = (std::max(cascade, 0) % positions) * step;
  const QSize size = wanted.boundedTo(room - QSize(offset, offset)).expandedTo(QSize(1, 1));
  return QRect(available.topLeft() + QPoint(frame.left() + offset, frame.top() + offset), size);
}

QSize wantedSize(const std::optional<QSize>& remembered, const QRect& available) {
  if (remembered && remembered->width() >= kSmallestRemembered.width() &&
      remembered->height() >= kSmallestRemembered.height())
    return *remembered;
  const QSize share(static_cast<int>(available.width() * kDefaultShareOfScreen),
                    static_cast<int>(available.height() * kDefaultShareOfScreen));
  return kDefaultWorkbookWindowSize.boundedTo(share);
}

QMargins frameMarginsOf(const QWidget* window) {
  if (!window || !window->isVisible()) return {};
  const QRect frame = window->frameGeometry();
  const QRect client = window->geometry();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                  frame.bottom() - client.bottom());
}

QString WindowSizeMemory::defaultFile() {
  const QString organization = QCoreApplication::organizationName();
  if (organization.isEmpty()) return {};
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' + organization + '/' +
         QCoreApplication::applicationName() + "/workbook-window.ini";
}

std::optional<QSize> WindowSizeMemory::recall() const {
  if (file_.isEmpty()) return std::nullopt;
  const QVariant size = QSettings(file_, QSettings::IniFormat).value(kSizeKey);
  if (!size.canConvert<QSize>() || !size.toSize().isValid()) return std::nullopt;
  return size.toSize();
}

void WindowSizeMemory::remember(QSize size) const {
  if (file_.isEmpty() || !size.isValid()) return;
  QSettings settings(file_, QSettings::IniFormat);
  settings.setValue(kSizeKey, size);
}

void WindowSizeMemory::watch(QWidget* window) const { new CloseWatcher(window, *this); }

}  // namespace view
