// Reading the screen for the capture tool. On an X11 session the primary screen is grabbed; a
// Wayland session does not let an application read the screen, so the capture is not offered there.
#pragma once

#include <QImage>
#include <QString>

// Whether this session lets the program read the screen: Qt's X11 platform ("xcb") outside a
// Wayland session (under XWayland a grab would show only the program's own X windows).
bool CanReadScreen(const QString& platformName, const QString& waylandDisplay, const QString& sessionType);
// The same for the running program.
bool ScreenCaptureAvailable();
// What the capture button says where the screen cannot be read.
QString ScreenCaptureUnavailableText();
// The whole primary screen at its size in pixels; a null image without a screen.
QImage GrabPrimaryScreen();
