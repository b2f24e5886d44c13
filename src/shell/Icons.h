// The main window's icons: the program's drawn icons, and the engine indicator's.
#pragma once

#include "common/AppIcons.h"

// The engine icon of a kernel: 0 Chromium, 1 the compatibility engine.
QIcon KernelIcon(int kernel);
