// The primary screen's size, for centring the main window.
#include "common/Screen.h"

#include <QGuiApplication>
#include <QScreen>

QSize ScreenResolution() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QSize(0, 0);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(0, 0);
    return screen->geometry().size() * screen->devicePixelRatio();
}
