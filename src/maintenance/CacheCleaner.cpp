// The cache cleaner's work.
#include "maintenance/CacheCleaner.h"

#include "common/AppPaths.h"
#include "common/UrlCache.h"
#include "downloads/DownloadQueue.h"
#include "history/History.h"
#include "storage/Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString WithSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Removes every file below the folder (folders stay). Files that cannot be removed and folders
// that cannot be read are added to failures. With a stop flag, stops before the next file.
void RemoveFilesBelow(const QString& folder, QStringList& failures, const std::atomic<bool>* stop = nullptr) {
    const QFileInfo root(folder);
    if (!root.exists())
        return;
    if (!root.isDir()) {
        if (!QFile::remove(folder))
            failures.append(folder);
        return;
    }
    QDir dir(folder);
    dir.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (!root.isReadable() || !root.isExecutable()) {
        failures.append(WithSlash(folder));
        return;
    }
    for (const QFileInfo& entry : dir.entryInfoList()) {
        if (stop && stop->load())
            return;
        if (entry.isDir() && !entry.isSymLink())
            RemoveFilesBelow(entry.filePath(), failures, stop);
        else if (!QFile::remove(entry.filePath()))
            failures.append(entry.filePath());
    }
}

// The failures that are still there: the engine removes cache files of its own while the cleaner
// walks them, and a file it took away first is cleared, not failed. Store names (no path) stay.
QStringList StillPresent(const QStringList& failures) {
    QStringList present;
    for (const QString& failure : failures) {
        if (!failure.startsWith(QLatin1Char('/')) || QFileInfo::exists(failure))
            present.append(failure);
    }
    return present;
}

} // namespace

int StoredCleanKinds(const TConfig& config) {
    bool ok = false;
    const int kinds = config.GetValue(TConfigKey::CleanKinds).toInt(&ok);
    return ok ? (kinds & ckAll) : kDefaultCleanKinds;
}

bool StoreCleanKinds(TConfig& config, int kinds) {
    return config.SetValue(TConfigKey::CleanKinds, QString::number(kinds & ckAll));
}

TCleanFolders TCleanFolders::Default() {
    return {UserDataDir(), CacheDir()};
}

TCacheCleaner::TCacheCleaner(THistory* history, TDownloadQueue* downloads, TCleanFolders folders)
    : m_history(history), m_downloads(downloads), m_folders(std::move(folders)) {}

bool TCacheCleaner::StepStopped(int kind, const std::atomic<bool>& stop) const {
    if (stop.load())
        return true;
    if (OnStep)
        OnStep(kind);
    return stop.load();
}

TCleanReport TCacheCleaner::Clean(int kinds, const std::atomic<bool>& stop) {
    TCleanReport report;
    for (int kind = ckHistory; kind <= ckCookies; kind <<= 1) {
        if (!(kinds & kind))
            continue;
        if (StepStopped(kind, stop)) {
            report.Stopped = true;
            return report;
        }
        switch (kind) {
        case ckHistory:
            // History, its search index and the page log in one transaction.
            if (m_history && !m_history->ClearAllHistory())
                report.Failures.append(QStringLiteral("qb_history"));
            break;
        case ckDownloads:
            if (m_downloads && !m_downloads->DeleteInactiveDownloads())
                report.Failures.append(QStringLiteral("qb_download"));
            break;
        case ckCache:
            ClearCache(stop, report);
            break;
        case ckAddressList:
            if (m_history && !(kinds & ckHistory) && !m_history->ClearHistory())
                report.Failures.append(QStringLiteral("qb_history"));
            break;
        case ckCookies:
            ClearCookies(stop, report);
            break;
        }
    }
    report.Stopped = stop.load();
    report.Failures = StillPresent(report.Failures);
    return report;
}

void TCacheCleaner::ClearCache(const std::atomic<bool>& stop, TCleanReport& report) {
    // Every cache entry and every icon file stands alone: a stop between two leaves no store
    // half-written.
    ClearUrlCache(QString(), false, &stop);
    if (!stop.load())
        RemoveFilesBelow(m_folders.FavIcons, report.Failures, &stop);
}

void TCacheCleaner::ClearCookies(const std::atomic<bool>& stop, TCleanReport& report) {
    // The compatibility engine's cookie jar, the live one when it is open.
    ClearUrlCache(QString(), true, &stop);
    // The engines' stores below the data folder (cookie database, local storage, caches) each
    // go as a whole: a database missing half its files would be damaged, so a stop is only
    // heeded between two of them.
    QDir dir(m_folders.EngineData);
    dir.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (QFileInfo(m_folders.EngineData).exists() && !QFileInfo(m_folders.EngineData).isReadable()) {
        report.Failures.append(WithSlash(m_folders.EngineData));
        return;
    }
    for (const QFileInfo& store : dir.entryInfoList()) {
        if (stop.load())
            return;
        RemoveFilesBelow(store.filePath(), report.Failures);
    }
}
