// The options page's rules that need no widget: writing one key to memory and the data file at
// once, and which download folders can be accepted.
#pragma once

#include <QString>

class TConfig;

// Configuration keys the options page writes.
enum TOptionKey : int {
    okStartMode = 2,
    okHomePage = 3,
    okFilterPopups = 4,
    okBossKeyEnabled = 5,
    okBossKey = 6,
    okDownloadFolderMode = 7,
    okDownloadFolder = 8,
    okPlaySound = 9,
    okConfirmDelete = 10,
    okDisableShortcuts = 11,
    okDefaultBrowser = 13,
    okClearAtExit = 14
};

// Sets the key's typed field from the text and writes the text to the data file. The field
// changes even when the write fails (the value holds until the program ends); answers the write.
bool StoreOption(TConfig& config, int key, const QString& text);
// "1" or "0" stored under the key.
bool StoreFlag(TConfig& config, int key, bool on);
// The typed field of a boolean key (4, 5, 9, 10, 11, 13, 14); false for other keys.
bool FlagOption(const TConfig& config, int key);
// The home page the page shows: key 3, or the navigation page while key 3 is empty.
QString ShownHomePage(const TConfig& config, const QString& navigationPage);
// The download folder the page shows: key 8, or the default download folder while it is empty.
QString ShownDownloadFolder(const TConfig& config, const QString& defaultFolder);
// True when files can be created in the folder: it exists, is a folder, and a probe file could
// be written and removed there (permission bits alone do not tell on every file system).
bool IsWritableFolder(const QString& folder);
