// Chromium's share of the engine settings.
#include "browser/EngineSettings.h"

#include <QWebEngineSettings>

void ApplyChromiumSettings(QWebEngineSettings* settings) {
    // A local page (a saved page, a dropped file) is its own origin: its scripts read neither
    // other local files nor remote addresses, as in desktop browsers.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    // Links to other programs (mailto:, tel: ...) reach the page's navigation check only after a
    // click; there the user is asked before anything starts.
    settings->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowUnknownUrlSchemesFromUserInteraction);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    settings->setDefaultTextEncoding(QStringLiteral("gb2312"));
}
