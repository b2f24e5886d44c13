// Clearing the compatibility engine's disk cache and cookie store by source address.
#include "common/UrlCache.h"

#include "common/AppPaths.h"
#include "common/FileSearch.h"
#include "common/WebCookieJar.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkCacheMetaData>
#include <QNetworkDiskCache>

namespace {
// Removes entries of one disk cache folder by their source address, as the cleaner's rules say.
void ClearDiskCache(const QString& cacheFolder, const QString& filter, bool txtOnly,
                    const std::atomic<bool>* stopFlag) {
    if (!QFileInfo(cacheFolder).isDir())
        return;
    QNetworkDiskCache cache;
    cache.setCacheDirectory(cacheFolder);
    QStringList files;
    // A mask also applies to subfolder names, so every file is listed and the entries picked here.
    FindFilesRecursive(cacheFolder, QStringLiteral("*"), &files);
    for (const QString& file : qAsConst(files)) {
        if (stopFlag && stopFlag->load())
            return;
        if (!file.endsWith(QLatin1String(".d")))
            continue;
        const QNetworkCacheMetaData meta = cache.fileMetaData(file);
        if (!meta.isValid())
            continue; // not a cache entry: left alone
        const QString url = meta.url().toString();
        const bool isTxt = url.toLower().endsWith(QLatin1String(".txt"));
        const bool remove = txtOnly
                                ? isTxt && (filter.isEmpty() || url.contains(filter))
                                : (!filter.isEmpty() && url.contains(filter)) || (filter.isEmpty() && !isTxt);
        if (remove)
            QFile::remove(file);
    }
}
} // namespace

void ClearUrlCache(const QString& filter, bool txtOnly, const std::atomic<bool>* stopFlag) {
    const QString folder = CacheDir() + QLatin1String("webcontrol/");
    ClearDiskCache(folder, filter, txtOnly, stopFlag);
    // The compatibility engine keeps its cookies in a jar, not as ".txt" cache entries.
    if (txtOnly && !(stopFlag && stopFlag->load()))
        TWebCookieJar::RemoveCookiesOfFile(TWebCookieJar::DefaultFile(), filter);
}
