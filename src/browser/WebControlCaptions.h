// Chinese texts for the compatibility engine (QtWebKit). The engine asks Qt's translation for every
// text it shows itself under the name "QWebPage": its right-click menu ("Open Link", "Save Image"),
// the file input's button ("Choose File", "No file selected") and the form buttons. Qt ships no
// Chinese for it, so those would stand in English among the browser's own texts.
#pragma once

#include <QString>

// Installs the translation into the application once; later calls do nothing. Must run before the
// engine makes its first page actions.
void InstallWebControlCaptions();
// The Chinese text of one of the engine's English texts; empty when it has none.
QString WebControlCaption(const QString& english);
