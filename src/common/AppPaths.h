// Process-wide folders: the program folder, where the user's data file and cache live (beside the
// program when its folder is the user's own, else in the user's data and cache folders), and the
// per-user folders.
#pragma once

#include <QString>

// The executable's folder (canonical path) ending in "/". Computed from /proc/self/exe on first
// use, so it is valid before any application object exists.
QString AppDir();
// Tests run the program logic against a temporary program folder.
void SetAppDir(const QString& folder);
// The file whose presence in the program folder marks it as installed for every user of the
// machine (a system package): then nobody's data lives in it, the super-user's included.
extern const char* const SharedInstallMarker;
// True when dat/ and cache/ live beside the executable: the program folder is writable and not
// marked as installed for every user. Otherwise they live per user (UserRoot, UserCacheRoot).
bool IsPortable();
// Per-user homes of an installed program: $XDG_DATA_HOME/quellon/ and $XDG_CACHE_HOME/quellon/
// (by default ~/.local/share/quellon/ and ~/.cache/quellon/).
QString UserRoot();
QString UserCacheRoot();
// The folder holding the data file, ending in "/": AppDir() + "dat/" for a portable folder, else
// UserRoot() + "dat/".
QString DataDir();
// DataDir() + "data.dat".
QString DataFilePath();
// The data file shipped in the program folder: AppDir() + "dat/data.dat".
QString ShippedDataFilePath();
// The engines' cache and site data, ending in "/": AppDir() + "cache/" for a portable folder, else
// UserCacheRoot() + "cache/".
QString CacheDir();
// Creates DataDir() and, for an installed program whose user has no data file yet, copies the
// shipped one there (private to the user; the program never creates tables itself). Answers
// DataFilePath(); what fails is logged, and the caller's open then fails as for a missing file.
QString ProvideDataFile();
// Local application data + "Brisvane/" (favicon files).
QString UserDataDir();
// Downloads folder + "Quellon下载/", created with its parents when missing.
QString DefaultDownloadDir();
// The vendor site root ending in "/": the environment variable QUELLON_SITE_ROOT when set (tests
// point it at a local server), else the build's setting, else the bundled res/site/ as a file URL.
QString SiteRoot();
// SiteRoot() + "123.html": the navigation page.
QString NavigationPageUrl();
// Kept though nothing calls it: the public helper set includes it.
// The system temporary folder ending in "/".
QString TempFolder();
// Local application data folder ending in "/".
QString LocalAppDataFolder();
// Kept though nothing calls it: the public helper set includes it.
// There is no short path form here: the canonical path (or the path as given when it does not exist).
QString ShortPath(const QString& path);
