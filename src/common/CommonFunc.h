// The free helper functions shared by most of the program: hashing, sizes, times, addresses,
// favicon links, file types, folders, default-browser registration and logging. No state.
// Functions that need widgets live in Dialogs.h, page snapshots in browser/Snapshot.h.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <atomic>

enum TFileType : int {
    ftDefault = 0,
    ftVideo,
    ftWord,
    ftExe,
    ftAudio,
    ftPdf,
    ftImage,
    ftPpt,
    ftRar,
    ftTxt,
    ftExcel
};

// Modifier bits of a global hot key (the values the hot-key registration expects).
enum THotKeyModifier : int { MOD_ALT = 1, MOD_CONTROL = 2, MOD_SHIFT = 4 };
// Bits of a stored shortcut value: virtual-key code in the low byte plus these.
enum TShortcutBits : int { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

// 32 lower-case hex digits of the MD5 of the text's UTF-8 bytes.
QString Md5Hex(const QString& text);
// 1023 -> "1023B", 1024 -> "1.00K", 1572864 -> "1.50M", 1073741824 -> "1.00G".
QString FormatSize(qint64 bytes);
// Kept though nothing calls it: the public helper set includes it.
// Blocking GET of a page's text (decoded with the data-file codec): what arrived before a failure,
// empty when nothing did. Reading stops after maxBytes bytes and after timeLimitMs in all (the
// favicon link is in the page's head; a page streamed without end must not hold the caller).
QString FetchUrlText(const QString& url, int maxBytes = 2 * 1024 * 1024, int timeLimitMs = 30000);
// Kept though nothing calls it: the public helper set includes it.
// The address of the page's rel="shortcut icon" link, made absolute; empty when none.
QString FindFavIconLink(const QString& pageUrl, const QString& pageText);
// Kept though nothing calls it: the public helper set includes it.
// The system temporary folder ending in "/".
QString TempFolder();
// Local application data folder ending in "/".
QString LocalAppDataFolder();
// Kept though nothing calls it: the public helper set includes it.
// There is no short path form here: the canonical path (or the path as given when it does not exist).
QString ShortPath(const QString& path);
// The address up to its last "/" or ":" (fragment and query cut off first); "http://host" gives
// "http://host/".
QString UrlDirectory(const QString& url);
// The text between a leading "http://" or "https://" and the first "/", letter case kept.
QString HostOfUrl(const QString& url);
// Appends every matching file below the folder (subfolders searched with the same mask; "*" and
// "*.*" match every name, other masks ignore letter case).
void FindFilesRecursive(const QString& folder, const QString& mask, QStringList* list);
int ShiftToHotKeyModifiers(bool shift, bool alt, bool ctrl);
// Kept though nothing calls it: the public helper set includes it.
template <class T> T ChooseValue(bool condition, const T& a, const T& b) {
    return condition ? a : b;
}
// "[Brisvane 1.0.0.0]: text" on the program's log (standard error, category "quellon").
void WriteLog(const QString& text);
// Local date-time <-> Unix seconds, with the time-zone offset in force at that moment. A local
// time the clock skips (inside a daylight-saving gap) counts as the next valid time, the moment
// of the change.
qint32 DateTimeToUnixTime(const QDateTime& localTime);
QDateTime UnixTimeToDateTime(qint64 seconds);
// Md5Hex(url) + ".ico".
QString FavIconFileName(const QString& url);
// The registrable domain of the address's host (port dropped), by the known Chinese and generic
// suffixes: "http://a.b.gov.cn/x" gives "b.gov.cn".
QString MainDomainOfUrl(const QString& url);
// The lower-cased "scheme://host/" of a web address; for other text, up to its first "/".
QString SiteRootOfUrl(const QString& url);
// Deletes entries of the compatibility engine's disk cache (CacheDir() + "webcontrol/") and its
// cookie store by their source address; polls stopFlag before each entry.
void ClearUrlCache(const QString& filter, bool txtOnly, const std::atomic<bool>* stopFlag);
// The image scaled into a size x size square with a one-pixel margin; a null image on failure or
// when the target file already exists.
QImage MakeThumbnail(const QString& imageFile, const QString& targetFile, int size, bool save);
int FileTypeOfExtension(const QString& extension);
bool IsTextFile(const QString& path);
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
// Nothing to set here: the compatibility engine has no emulation level. Kept as the start-up
// step the public helper set names, so that a platform with emulation levels fills it in.
void SetBrowserEmulation(const QString& executableFileName);
// Kept though nothing calls it: the public helper set includes it.
// True when the text takes a different number of bytes in the data-file codec than UTF-16 units.
bool HasMultiByteChars(const QString& text);
// The text's UTF-8 bytes with letters, digits and ! $ ' ( ) * - . @ _ kept, a blank as "+" and every
// other byte as "%" and two upper-case hex digits (search words, download file names).
QString EncodeUrlText(const QString& text);
// Kept though nothing calls it: the public helper set includes it.
// The compatibility engine shows no script-error windows: nothing to close.
void CloseScriptErrorWindows();
// The primary screen's size; 0 x 0 without a screen.
QSize ScreenResolution();
