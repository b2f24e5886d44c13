// Foreign top-level windows on the X11 display: found by caption, asked to close.
#pragma once

#include <QSize>
#include <QStringList>

// True when the program runs on an X11 display (the other functions then work).
bool X11WindowsAvailable();
// The first viewable top-level window (or window a window manager framed) whose caption is one
// of titles, or 0. Always 0 off X11.
quint32 FindX11Window(const QStringList& titles);
// True while the window exists.
bool X11WindowExists(quint32 window);
// The window's size, invalid when it is gone.
QSize X11WindowSize(quint32 window);
// Sends the window the window manager's close request (WM_DELETE_WINDOW).
void X11RequestClose(quint32 window);
