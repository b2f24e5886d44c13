// The cache cleaner's work, on any thread: the five kinds of browsing traces, each removed as a
// whole (a stop between kinds or between stores leaves every store either cleared or untouched),
// and a report of what could not be removed.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class TConfig;
class TDownloadQueue;
class THistory;

enum TCleanKind : int {
    ckHistory = 1,     // history rows, their search index, the page log (and so the closed pages)
    ckDownloads = 2,   // download records that are not running
    ckCache = 4,       // the compatibility engine's cache entries and the site icons
    ckAddressList = 8, // the address bar's list (drawn from history)
    ckCookies = 16,    // cookies and the engines' site data
    ckAll = 31
};

// The kinds last ticked in the cleaner are kept under TConfigKey::CleanKinds: with
// TConfigKey::ClearTracesOnExit on, they are cleared when the browser exits.
// The kinds ticked when the cleaner first opens: all but cookies and site data.
constexpr int kDefaultCleanKinds = ckAll & ~ckCookies;
// The stored kinds, or the default ones while none are stored.
int StoredCleanKinds(const TConfig& config);
bool StoreCleanKinds(TConfig& config, int kinds);

// Where the file stores live.
struct TCleanFolders {
    QString FavIcons;   // site icon files
    QString EngineData; // the engines' cache and site data (the compatibility engine's below it)

    // UserDataDir() and CacheDir().
    static TCleanFolders Default();
};

struct TCleanReport {
    bool Stopped = false;
    QStringList Failures; // stores, files and folders that could not be cleared
};

class TCacheCleaner {
public:
    // Either store may be null: its kind is then skipped.
    TCacheCleaner(THistory* history, TDownloadQueue* downloads,
                  TCleanFolders folders = TCleanFolders::Default());

    // Runs before each kind with that kind (tests stop the run there).
    std::function<void(int kind)> OnStep;

    // Clears the kinds (TCleanKind bits), in the order of the bits; returns at the next check
    // once stop is set.
    TCleanReport Clean(int kinds, const std::atomic<bool>& stop);

private:
    bool StepStopped(int kind, const std::atomic<bool>& stop) const;
    void ClearCache(const std::atomic<bool>& stop, TCleanReport& report);
    void ClearCookies(const std::atomic<bool>& stop, TCleanReport& report);

    THistory* m_history;
    TDownloadQueue* m_downloads;
    TCleanFolders m_folders;
};
