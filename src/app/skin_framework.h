#pragma once
// Paints the main window from a skin file (a Qt style sheet).
#include <QString>

class QWidget;

namespace app {

class SkinFramework {
 public:
  void LoadSkin(const QString& path, const QString& ini);
  int options() const { return options_; }
  void setOptions(int options) { options_ = options; }
  void setProperty(int id, bool value);
  void ApplyWindow(QWidget* window);

 private:
  QString styleSheet_;
  int options_ = 0;
};

}  // namespace app
