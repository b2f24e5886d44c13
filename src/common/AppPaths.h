// Process-wide folders: the portable program folder and the per-user folders beside it.
#pragma once

#include <QString>

// The executable's folder (canonical path) ending in "/". Computed from /proc/self/exe on first
// use, so it is valid before any application object exists.
QString AppDir();
// Tests run the program logic against a temporary program folder.
void SetAppDir(const QString& folder);
// Local application data + "Brisvane/" (favicon files).
QString UserDataDir();
// Downloads folder + "Quellon下载/", created with its parents when missing.
QString DefaultDownloadDir();
// The vendor site root ending in "/": the environment variable QUELLON_SITE_ROOT when set (tests
// point it at a local server), else the build's setting, else the bundled res/site/ as a file URL.
QString SiteRoot();
// SiteRoot() + "123.html": the navigation page.
QString NavigationPageUrl();
