// The compatibility engine's share of the engine settings.
#include "browser/EngineSettings.h"

#include <QWebSettings>

void ApplyWebKitSettings(QWebSettings* settings) {
    // The engine's default lets a local page read every other local file; desktop browsers refuse.
    settings->setAttribute(QWebSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebSettings::PluginsEnabled, false);
    settings->setAttribute(QWebSettings::JavaEnabled, false);
    settings->setAttribute(QWebSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebSettings::JavascriptCanOpenWindows, true);
    settings->setAttribute(QWebSettings::JavascriptCanCloseWindows, true);
    settings->setDefaultTextEncoding(QStringLiteral("gb2312"));
}
