// Reading the screen for the capture tool (see ScreenCapture.h).
#include "tools/ScreenCapture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

bool CanReadScreen(const QString& platformName, const QString& waylandDisplay, const QString& sessionType) {
    return platformName == QLatin1String("xcb") && waylandDisplay.isEmpty() &&
           sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) != 0;
}

bool ScreenCaptureAvailable() {
    return CanReadScreen(QGuiApplication::platformName(), qEnvironmentVariable("WAYLAND_DISPLAY"),
                         qEnvironmentVariable("XDG_SESSION_TYPE"));
}

QString ScreenCaptureUnavailableText() {
    return QCoreApplication::translate("ScreenCapture",
                                       "这个桌面会话（Wayland）不允许程序读取屏幕，截图在这里不可用。");
}

QImage GrabPrimaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QImage();
    const QRect area = screen->geometry();
    QImage image = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    // A scaled screen grabs device pixels: the picture has the screen's size in logical pixels.
    if (!image.isNull() && image.size() != area.size())
        image = image.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_RGB32);
}
