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
    // An old engine gets nothing a page does not need to show itself: the same-origin rule stays
    // on, https pages load no http parts, and no page asks for notifications or prefetches names.
    settings->setAttribute(QWebSettings::WebSecurityEnabled, true);
    settings->setAttribute(QWebSettings::AllowRunningInsecureContent, false);
    settings->setAttribute(QWebSettings::XSSAuditingEnabled, true);
    settings->setAttribute(QWebSettings::NotificationsEnabled, false);
    settings->setAttribute(QWebSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebSettings::HyperlinkAuditingEnabled, false);
    settings->setDefaultTextEncoding(QStringLiteral("gb2312"));
}
