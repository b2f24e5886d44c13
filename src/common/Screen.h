// The primary screen's size, for centring the main window.
#pragma once

#include <QSize>

// The primary screen's size; 0 x 0 without a screen.
QSize ScreenResolution();
