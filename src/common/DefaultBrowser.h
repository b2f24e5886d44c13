// Making this program the desktop's default web browser, through xdg-settings and a desktop entry.
#pragma once

#include <QString>

// The desktop entry that stands for this program when it is the default browser.
extern const char* const BrowserDesktopEntry; // "quellon.desktop"
// The desktop's default web browser: "Brisvane" when it is this program, else the name of its
// .desktop file without ".desktop"; empty when the desktop cannot tell (xdg-settings is asked,
// with a time limit).
QString DefaultBrowserProgId();
// Whether RegisterAsDefaultBrowser worked, and the sentence that tells the user (Chinese).
struct TDefaultBrowserResult {
    bool Ok = false;
    QString Message;
};
// Makes this program the desktop's default web browser through xdg-settings, naming the installed
// entry (InstalledBrowserDesktopFile) or else the user's entry written for the executable, and asks
// the desktop back whether it took the setting.
TDefaultBrowserResult RegisterAsDefaultBrowser(const QString& executablePath);
// The entry an installation put in place for a program folder <prefix>/lib/quellon/:
// <prefix>/share/applications/quellon.desktop, when it exists and is the entry of that name the
// desktop finds first along its data folders; else empty.
QString InstalledBrowserDesktopFile(const QString& programFolder);
// Writes the user's quellon.desktop that opens web addresses with the executable; its path, or
// empty when it could not be written.
QString WriteBrowserDesktopFile(const QString& executablePath);
