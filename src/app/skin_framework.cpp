#include "app/skin_framework.h"

namespace app {

void SkinFramework::LoadSkin(const QString&, const QString&) {}
void SkinFramework::setProperty(int, bool) {}
void SkinFramework::ApplyWindow(QWidget*) {}

}  // namespace app
