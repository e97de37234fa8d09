// Filling and keeping the list: Add Equation, files, samples, Clear List, Help, the saved list.
#include "app/form1.h"
#include "platform/error_report.h"

namespace app {

void Form1::PushButton1_Click() {}
void Form1::PushButton3_Click() {}
void Form1::PushButton4_Click() {}
void Form1::PushButton5_Click() {}
void Form1::PushButton6_Click() {}
void Form1::Form_QueryUnload() {}
void Form1::restoreSavedList(platform::ErrorTrap&) {}

}  // namespace app
