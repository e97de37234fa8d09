#pragma once
// Where a new workbook window opens and at what size: inside the usable area of the screen the
// main window is on, at the size the user last gave such a window, cascaded below the ones
// already open. All lengths are in the screen's logical (device-independent) pixels.
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QWidget;

namespace view {

inline constexpr QSize kDefaultWorkbookWindowSize{1100, 760};
// A new window may take at most this share of the usable area, so a cascade has room to show.
inline constexpr double kDefaultShareOfScreen = 0.9;

// The client rectangle for a window that wants `wanted` and is framed by `frame`: no larger than
// `available` less the frame, moved `cascade` steps of `step` right and down from the top left
// corner (made smaller where the step leaves too little room), starting again at the corner
// after a quarter of the area.
QRect placeInside(QSize wanted, const QRect& available, const QMargins& frame, int cascade, int step);

// The size a new window asks for: the remembered one, else the default bounded to a share of
// the usable area.
QSize wantedSize(const std::optional<QSize>& remembered, const QRect& available);

// The window manager's frame around `window`, once it is shown; nothing before that or without one.
QMargins frameMarginsOf(const QWidget* window);

// The last size the user gave a workbook window, kept in an ini file of its own. An empty path
// keeps nothing.
class WindowSizeMemory {
 public:
  explicit WindowSizeMemory(QString file) : file_(std::move(file)) {}
  // The default file: the per-user settings folder of the program, or none when the program
  // has no name (tests).
  static QString defaultFile();

  std::optional<QSize> recall() const;
  void remember(QSize size) const;
  // Remembers the window's normal size when it closes, if the user changed it since now.
  void watch(QWidget* window) const;

 private:
  QString file_;
};

}  // namespace view
