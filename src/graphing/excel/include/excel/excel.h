#pragma once
// Forwards to the interface's own include folder for code that still names it by its old path.
#include "include/excel/excel.h"
