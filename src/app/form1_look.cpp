// The window's look: the optional skin and the hover cursor file.
#include "app/form1.h"
#include "platform/error_report.h"

namespace app {

void Form1::ApplySkin() {}
void Form1::loadCursorFile(platform::ErrorTrap&) {}

}  // namespace app
