// The settings file of the engine's developer tools. The tools keep their settings (panel layout,
// chosen panel, the page's screencast) in one JSON file of the engine's profile folder, read each
// time the tools open. Left at its default, the screencast of the inspected page opens first and
// squeezes the Elements tree to the side.
#pragma once

#include <QString>

class TDevToolsPrefs final {
public:
    // The file in the profile folder.
    static QString FileName(const QString& profileFolder);
    // Switches the screencast off so that the tools open on Elements; every other setting of the
    // file stays. A file that is not a JSON object is started anew. False when it cannot be written.
    static bool OpenWithoutScreencast(const QString& profileFolder);
};
