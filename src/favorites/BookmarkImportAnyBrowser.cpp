// The import of other browsers' bookmark files.
#include "favorites/BookmarkImportAnyBrowser.h"

#include "common/Logging.h"
#include "favorites/BookmarkImport.h"
#include "favorites/BookmarkImportBatch.h"
#include "favorites/BookmarkParser.h"
#include "favorites/Favorites.h"

#include <QThread>
#include <QUrl>

bool IsImportableAddress(const QString& url) {
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (!parsed.isValid())
        return false;
    const QString scheme = parsed.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return !parsed.path().isEmpty();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                     scheme == QLatin1String("ftp");
    return web && !parsed.host().isEmpty();
}

QString FlattenedFavoriteName(const TBookmarkLink& link) {
    QString name = link.Name.simplified();
    if (name.isEmpty())
        name = link.Url.trimmed();
    QStringList parts = link.Folders;
    parts.append(name);
    return parts.join(QLatin1Char('/'));
}

bool ImportAnyBrowserFavorites(TFavorites& favorites, const TBookmarkDocument& document,
                               TBookmarkImportCount* count) {
    *count = {};
    if (document.Links.isEmpty() && !document.HasList) {
        WriteLog(QStringLiteral("Import favorites: the document holds no bookmark list"));
        return false;
    }
    // Taken links go after every stored favorite, in the file's order (equal rankings show in the
    // order they were added).
    const QString ranking = QString::number(TFavorites::NewRanking);
    TBookmarkImportBatch batch(favorites);
    for (const TBookmarkLink& link : document.Links) {
        if (QThread::currentThread()->isInterruptionRequested())
            return false;
        const QString url = link.Url.trimmed();
        if (!IsImportableAddress(url) || batch.Known(url)) {
            ++count->Skipped;
            continue;
        }
        if (!batch.Add(FlattenedFavoriteName(link), url, ranking))
            return false;
        ++count->Taken;
    }
    return batch.Flush();
}

bool ImportAnyBrowserBookmarkFile(TFavorites& favorites, const QString& fileName, TBookmarkImportCount* count) {
    *count = {};
    QByteArray bytes;
    if (!ReadBookmarkFile(fileName, &bytes))
        return false;
    return ImportAnyBrowserFavorites(favorites, ParseBookmarkHtml(bytes, GuessBookmarkText(bytes)), count);
}
