// The security-relevant settings of both engines, kept in one place so that every view of the
// program gets the same ones: local pages read no other local file and reach no remote address
// with scripts, no plugins, no Java, and scripts may open windows (the tabs show popups).
#pragma once

class QWebEngineSettings;
class QWebSettings;

// Chromium: the default profile's settings and each page's own settings.
void ApplyChromiumSettings(QWebEngineSettings* settings);
// Compatibility engine: the global settings and each page's own settings. Defined in the engine's
// module (EngineSettingsWebKit.cpp), so the program links QtWebKit only through that module.
void ApplyWebKitSettings(QWebSettings* settings);
