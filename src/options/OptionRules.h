// The options page's rules that need no widget: writing one key to memory and the data file at
// once, and which download folders can be accepted.
#pragma once

#include "storage/Config.h"

#include <QString>

// Sets the key's typed field from the text and writes the text to the data file. The field
// changes even when the write fails (the value holds until the program ends); answers the write.
bool StoreOption(TConfig& config, TConfigKey key, const QString& text);
// "1" or "0" stored under the key.
bool StoreFlag(TConfig& config, TConfigKey key, bool on);
// The typed field of a boolean key; false for other keys.
bool FlagOption(const TConfig& config, TConfigKey key);
// The home page the page shows: the stored one, or the navigation page while none is stored.
QString ShownHomePage(const TConfig& config, const QString& navigationPage);
// The download folder the page shows: the chosen one, or the default download folder while none is.
QString ShownDownloadFolder(const TConfig& config, const QString& defaultFolder);
// True when files can be created in the folder: it exists, is a folder, and a probe file could
// be written and removed there (permission bits alone do not tell on every file system).
bool IsWritableFolder(const QString& folder);
